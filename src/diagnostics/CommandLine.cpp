#include "diagnostics/CommandLine.h"

bool &DebugMode()
{
    static bool debugMode = false;
    return debugMode;
}

QString &StartupFileName()
{
    static QString fileName;
    return fileName;
}

void ReadCommandLine(const QStringList &arguments)
{
    for (const QString &argument : arguments) {
        if (argument.toUpper() == QLatin1String("-DEBUG"))
            DebugMode() = true;
        else if (!argument.startsWith(QLatin1Char('-')))
            StartupFileName() = argument;
    }
}
