#pragma once
// What the benchmarks share: their command line and the best-of timing.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// --messages N, --runs R, --dir DIR (where the generated file goes; the
// system's temporary folder when empty).
struct TBenchOptions
{
    int Messages = 1000000;
    int Runs = 3;
    QString Dir;
};

// Reads the options after the program's name; an option it does not know is
// skipped with its value. Fails the program on fewer than 2 messages or 1 run.
TBenchOptions ParseBenchOptions(const QStringList &arguments, int defaultRuns);

// A template for QTemporaryDir: Name with a unique suffix, in the options'
// folder or the system's temporary folder.
QString BenchTempTemplate(const TBenchOptions &options, const QString &name);

// The shortest of Runs timings of Operation, in milliseconds.
double BestOf(int runs, const std::function<void()> &operation);

// A file's bytes read into memory in one piece, unbuffered: what reading
// the bytes raw costs, beside which the benchmarks time their reads.
QByteArray RawRead(const QString &fileName);
// Bytes written into a new file a megabyte a call, unbuffered.
void RawWrite(const QString &fileName, const QByteArray &bytes);
