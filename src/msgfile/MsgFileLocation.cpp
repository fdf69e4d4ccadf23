#include "msgfile/MsgFileLocation.h"

#include "msgfile/FileUtils.h"
#include "platform/ProfileFile.h"
#include "platform/Registry.h"

namespace {

// The message file in the directory that the registry value RootDirectory of
// Key names, when that file exists.
QString FindThroughRegistry(const QString &key, const QString &msgFileName)
{
    TRegistry registry(RegistryRoot::LocalMachine);
    if (!registry.OpenKeyReadOnly(key) || !registry.ValueExists(QStringLiteral("RootDirectory")))
        return {};
    const QString directory = registry.ReadString(QStringLiteral("RootDirectory"));
    if (directory.isEmpty())
        return {};
    const QString path = JoinPath(directory, msgFileName);
    return FileExists(path) ? path : QString();
}

} // namespace

QString FindMsgFile32()
{
    const QString current = FindThroughRegistry(QStringLiteral("\\SOFTWARE\\InterBase Corp\\InterBase\\CurrentVersion"),
                                                QStringLiteral("interbase.msg"));
    if (!current.isEmpty())
        return current;
    return FindThroughRegistry(QStringLiteral("\\SOFTWARE\\Borland\\Interbase\\CurrentVersion"),
                               QStringLiteral("interbas.msg"));
}

QString FindMsgFile16()
{
    const QString directory = GetProfileString(QStringLiteral("Interbase"), QStringLiteral("RootDirectory"), QString(), 1024);
    if (directory.isEmpty())
        return {};
    const QString path = JoinPath(directory, QStringLiteral("interbas.msg"));
    return FileExists(path) ? path : QString();
}
