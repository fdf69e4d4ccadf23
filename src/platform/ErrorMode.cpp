#include "platform/ErrorMode.h"

#include <QtGlobal>

namespace platform {

unsigned SetErrorMode(unsigned mode)
{
    // No system here shows critical-error boxes: there is no mode to set.
    Q_UNUSED(mode);
    return 0;
}

} // namespace platform
