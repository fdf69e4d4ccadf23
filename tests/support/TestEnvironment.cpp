#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>

TestEnvironment::TestEnvironment()
{
    Q_ASSERT(m_dir.isValid());
    QDir(m_dir.path()).mkpath(QStringLiteral("system"));
    QDir(m_dir.path()).mkpath(QStringLiteral("user"));
    QDir(m_dir.path()).mkpath(QStringLiteral("home"));
    qputenv("LEXIVANE_SYSTEM_DIR", QFile::encodeName(systemDir()));
    qputenv("LEXIVANE_USER_DIR", QFile::encodeName(userDir()));
    qputenv("HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("home"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("home/.config"))));
    qputenv("XDG_STATE_HOME", QFile::encodeName(stateDir()));
}

QString TestEnvironment::systemDir() const
{
    return m_dir.filePath(QStringLiteral("system"));
}

QString TestEnvironment::userDir() const
{
    return m_dir.filePath(QStringLiteral("user"));
}

QString TestEnvironment::stateDir() const
{
    return m_dir.filePath(QStringLiteral("home/.local/state"));
}

QByteArray ReadWholeFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool WriteWholeFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes) == bytes.size() && file.flush();
}
