#include "platform/ErrorMode.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace platform {

unsigned SetErrorMode(unsigned mode)
{
#ifdef Q_OS_WIN
    return ::SetErrorMode(mode);
#else
    Q_UNUSED(mode);
    return 0;
#endif
}

} // namespace platform
