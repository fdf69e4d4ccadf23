#include "BenchSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QtGlobal>

TBenchOptions ParseBenchOptions(const QStringList &arguments, int defaultRuns)
{
    TBenchOptions options;
    options.Runs = defaultRuns;
    for (int i = 1; i + 1 < arguments.size(); i += 2) {
        if (arguments.at(i) == QLatin1String("--messages"))
            options.Messages = arguments.at(i + 1).toInt();
        else if (arguments.at(i) == QLatin1String("--runs"))
            options.Runs = arguments.at(i + 1).toInt();
        else if (arguments.at(i) == QLatin1String("--dir"))
            options.Dir = arguments.at(i + 1);
    }
    if (options.Messages < 2 || options.Runs < 1)
        qFatal("--messages must be at least 2 and --runs at least 1");
    return options;
}

QString BenchTempTemplate(const TBenchOptions &options, const QString &name)
{
    const QString folder = options.Dir.isEmpty() ? QDir::tempPath() : options.Dir;
    return folder + QLatin1Char('/') + name + QStringLiteral("-XXXXXX");
}

double BestOf(int runs, const std::function<void()> &operation)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        operation();
        best = qMin(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

QByteArray RawRead(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        qFatal("cannot open %s", qPrintable(fileName));
    QByteArray bytes(file.size(), Qt::Uninitialized);
    if (file.read(bytes.data(), bytes.size()) != bytes.size())
        qFatal("cannot read %s", qPrintable(fileName));
    return bytes;
}

void RawWrite(const QString &fileName, const QByteArray &bytes)
{
    constexpr qint64 Block = 1 << 20;
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        qFatal("cannot create %s", qPrintable(fileName));
    for (qint64 at = 0; at < bytes.size(); at += Block) {
        const qint64 size = qMin(Block, bytes.size() - at);
        if (file.write(bytes.constData() + at, size) != size)
            qFatal("cannot write %s", qPrintable(fileName));
    }
}
