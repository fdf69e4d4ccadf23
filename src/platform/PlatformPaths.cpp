#include "platform/PlatformPaths.h"

#include <QDir>

namespace {

// An environment variable that is unset or empty counts as not given.
QString Variable(const char *name)
{
    return qEnvironmentVariable(name);
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
    const QString home = Variable("HOME");
    return (home.isEmpty() ? QDir::homePath() : home) + QStringLiteral("/.config/lexivane");
}
