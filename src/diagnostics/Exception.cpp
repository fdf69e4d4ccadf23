#include "diagnostics/Exception.h"

Exception::Exception(const QString &message)
    : m_message(message), m_what(message.toUtf8())
{
}
