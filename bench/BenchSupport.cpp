#include "BenchSupport.h"

#include <QDir>
#include <QElapsedTimer>
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
