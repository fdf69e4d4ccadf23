#include "diagnostics/Exception.h"

// Kept out of line so that the return address is the caller's code.
#if defined(__GNUC__) || defined(__clang__)
__attribute__((noinline))
#endif
Exception::Exception(const QString &message)
    : m_message(message), m_what(message.toUtf8())
{
#if defined(__GNUC__) || defined(__clang__)
    m_raiseAddress = __builtin_extract_return_addr(__builtin_return_address(0));
#endif
}
