#include "platform/PlatformPaths.h"

#include <QDir>
#include <QFileInfo>

#ifndef LEXIVANE_DATA_FROM_BIN
#error "LEXIVANE_DATA_FROM_BIN (the data folder relative to the programs' folder) comes from the build"
#endif

namespace {

// An environment variable that is unset or empty counts as not given.
QString Variable(const char *name)
{
    return qEnvironmentVariable(name);
}

QString HomeDir()
{
    const QString home = Variable("HOME");
    return home.isEmpty() ? QDir::homePath() : home;
}

} // namespace

// The environment is read on every call: tests change it while running.
QString SystemConfigDir()
{
    const QString configured = Variable("LEXIVANE_SYSTEM_DIR");
    if (!configured.isEmpty())
        return configured;
    return QStringLiteral("/etc/lexivane");
}

QString UserConfigDir()
{
    const QString configured = Variable("LEXIVANE_USER_DIR");
    if (!configured.isEmpty())
        return configured;
    const QString xdgConfigHome = Variable("XDG_CONFIG_HOME");
    if (!xdgConfigHome.isEmpty())
        return xdgConfigHome + QStringLiteral("/lexivane");
    return HomeDir() + QStringLiteral("/.config/lexivane");
}

QString ChangeFileExt(const QString &path, const QString &extension)
{
    const qsizetype separator = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot <= separator)
        return path + extension;
    return path.left(dot) + extension;
}

QString InstalledDataDir(const QString &programPath)
{
    const QString programDir = QFileInfo(programPath).absolutePath();
    return QDir::cleanPath(programDir + QLatin1Char('/') + QStringLiteral(LEXIVANE_DATA_FROM_BIN)
                           + QStringLiteral("/lexivane"));
}

bool IsInstalledProgram(const QString &programPath)
{
    return QFileInfo(InstalledDataDir(programPath)).isDir();
}

// The XDG base directory rules ignore a relative path.
QString UserStateDir()
{
    const QString xdgStateHome = Variable("XDG_STATE_HOME");
    if (!xdgStateHome.isEmpty() && QDir::isAbsolutePath(xdgStateHome))
        return QDir::cleanPath(xdgStateHome) + QStringLiteral("/lexivane");
    return HomeDir() + QStringLiteral("/.local/state/lexivane");
}
