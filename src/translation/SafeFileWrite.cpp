#include "translation/SafeFileWrite.h"

#include "msgfile/FaultInjection.h"
#include "msgfile/FileUtils.h"
#include "platform/OsError.h"
#include "uitext/Format.h"
#include "uitext/MsgRes.h"

#include <QFile>

#include <cerrno>
#include <cstdio>

QString WriteTempFileBeside(const QString &fileName, const std::function<void(QIODevice &)> &write)
{
    const QString temp = CreateTempFile(GetFileDir(fileName), QString::fromLatin1(SaveTempPrefix));
    try {
        QFile file(temp);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw EFCreateError(Format(GetMsg(QStringLiteral("ToolCannotCreate")), {temp}));
        write(file);
        if (!file.flush())
            RaiseOSError(EIO);
        file.close();
        SyncFile(temp);
    } catch (...) {
        DeleteFileQuiet(temp);
        throw;
    }
    return temp;
}

void WriteFileSafely(const QString &fileName, const std::function<void(QIODevice &)> &write)
{
    const QString temp = WriteTempFileBeside(fileName, write);
    const int injected = InjectedFault(TFailPoint::ReplaceFile);
    if (injected != 0 || std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(fileName).constData()) != 0) {
        const int error = injected != 0 ? injected : errno;
        DeleteFileQuiet(temp);
        RaiseOSError(error);
    }
    SyncDirectory(GetFileDir(fileName));
}
