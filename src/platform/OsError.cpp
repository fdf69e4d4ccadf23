#include "platform/OsError.h"

#include "uitext/Format.h"

#include <cerrno>
#include <cstring>

QString OSErrorMessage(int errorCode)
{
    if (errorCode == 0)
        return QStringLiteral("A Win32 API function failed");
    return Format(QStringLiteral("Win32 Error.  Code: %d.\n%s"),
                  {errorCode, QString::fromLocal8Bit(std::strerror(errorCode))});
}

void RaiseOSError(int errorCode)
{
    throw EOSError(OSErrorMessage(errorCode));
}

void RaiseLastOSError()
{
    RaiseOSError(errno);
}

void RaiseInOutError(int errorCode)
{
    switch (errorCode) {
    case ENOENT:
        throw EInOutError(QStringLiteral("File not found"));
    case EINVAL:
    case ENAMETOOLONG:
        throw EInOutError(QStringLiteral("Invalid filename"));
    case EMFILE:
    case ENFILE:
        throw EInOutError(QStringLiteral("Too many open files"));
    case EACCES:
    case EPERM:
    case EROFS:
        throw EInOutError(QStringLiteral("File access denied"));
    case ENOSPC:
    case EDQUOT:
        throw EInOutError(QStringLiteral("Disk full"));
    default:
        throw EInOutError(Format(QStringLiteral("I/O error %d"), {errorCode}));
    }
}
