// lexivane-bench: times the message file core on a large generated file,
// each operation beside the raw reading or writing of the same bytes.
//
//   lexivane-bench [--messages N] [--runs R] [--dir DIR]
//
// Prints the best of R runs for each operation and the peak memory of a load
// (measured in a child process of its own, so that nothing else counts).

#include "BenchSupport.h"
#include "msgfile/MsgFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <functional>

namespace {

// Messages with texts of 0 to 140 bytes (70 on average), codes ascending as
// a server numbers them.
TMsgData Generate(int count)
{
    QRandomGenerator random(20261207);
    TMsgData data;
    data.SetHeader(QByteArray::fromHex("01000004000000000000000002000000"));
    QByteArray text;
    for (int i = 0; i < count; ++i) {
        const int length = int(random.bounded(141));
        text.resize(length);
        for (int j = 0; j < length; ++j)
            text[j] = char(' ' + random.bounded(95));
        data.AddMessage(quint32((i / 5000) * 10000 + i % 5000 + 1), text);
    }
    return data;
}

// The process's peak resident memory (VmHWM), in KiB. Unlike getrusage's
// figure, it starts afresh in a new program rather than with its parent's.
long PeakMemoryKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

// Child process: loads the file once and prints the growth of its peak memory.
int MeasureLoad(const QString &fileName)
{
    const long before = PeakMemoryKiB();
    const auto data = LoadMsgData(fileName);
    const long after = PeakMemoryKiB();
    std::printf("%ld %d\n", after - before, data->Count());
    return 0;
}

void Report(const char *what, double ms, const char *rawWhat, double rawMs)
{
    std::printf("%-12s %9.1f ms   %-22s %9.1f ms   ratio %5.2f\n", what, ms, rawWhat, rawMs, ms / rawMs);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 3 && arguments.at(1) == QLatin1String("--measure-load"))
        return MeasureLoad(arguments.at(2));

    const TBenchOptions options = ParseBenchOptions(arguments, 5);
    const int count = options.Messages;
    const int runs = options.Runs;
    QTemporaryDir temporary(BenchTempTemplate(options, QStringLiteral("lexivane-bench")));
    if (!temporary.isValid())
        qFatal("cannot make a temporary folder");
    const QString msgFile = temporary.filePath(QStringLiteral("bench.msg"));
    const QString rawFile = temporary.filePath(QStringLiteral("raw.bin"));
    const QString dumpFile = temporary.filePath(QStringLiteral("bench.txt"));

    SaveMsgData(msgFile, Generate(count));
    // Save, dump and clone work on a loaded store, as in the editor.
    const auto loaded = LoadMsgData(msgFile);
    const TMsgData &data = *loaded;
    if (data.Count() != count)
        qFatal("the file read back holds %d messages, not %d", data.Count(), count);
    const qint64 fileSize = QFileInfo(msgFile).size();
    std::printf("%d messages, %lld bytes (%.1f MB), best of %d runs\n", count, fileSize, fileSize / 1e6, runs);
    const QByteArray fileBytes = RawRead(msgFile); // and into the page cache
    const double rawRead = BestOf(runs, [&] { RawRead(msgFile); });
    const double load = BestOf(runs, [&] { LoadMsgData(msgFile); });
    Report("load", load, "raw read", rawRead);

    // Both write a new file, as the editor's save does (into a temporary file).
    const QString savedFile = temporary.filePath(QStringLiteral("saved.msg"));
    const double rawWrite = BestOf(runs, [&] {
        QFile::remove(rawFile);
        RawWrite(rawFile, fileBytes);
    });
    const double save = BestOf(runs, [&] {
        QFile::remove(savedFile);
        SaveMsgData(savedFile, data);
    });
    Report("save", save, "raw write", rawWrite);

    data.DumpToFile(dumpFile);
    const QByteArray dumpBytes = RawRead(dumpFile);
    const double rawDump = BestOf(runs, [&] { RawWrite(rawFile, dumpBytes); });
    const double dump = BestOf(runs, [&] { data.DumpToFile(dumpFile); });
    Report("dump", dump, "raw write of the dump", rawDump);

    const double copy = BestOf(runs, [&] {
        QByteArray copied(fileBytes.size(), Qt::Uninitialized);
        std::memcpy(copied.data(), fileBytes.constData(), size_t(fileBytes.size()));
    });
    const double clone = BestOf(runs, [&] { data.Clone(); });
    Report("clone", clone, "copy of the file bytes", copy);

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--measure-load"), msgFile});
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        qFatal("the memory measurement failed");
    const QByteArray answer = child.readAllStandardOutput();
    const long peakKiB = QString::fromLatin1(answer).split(QLatin1Char(' ')).value(0).toLong();
    std::printf("load peak memory %.1f MB = %.2f times the file\n", peakKiB * 1024 / 1e6, peakKiB * 1024.0 / fileSize);
    return 0;
}
