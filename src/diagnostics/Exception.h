#pragma once
// The general exception class: every failure of the program travels as an
// exception that carries only a message text. The classes below it name the
// kind of failure so that a caller can catch one kind and let others pass.

#include <QByteArray>
#include <QString>
#include <exception>

class Exception : public std::exception
{
public:
    explicit Exception(const QString &message);

    const QString &Message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    QString m_message;
    QByteArray m_what; // UTF-8 copy for what()
};

#define LEXIVANE_DECLARE_EXCEPTION(Name) \
    class Name : public Exception        \
    {                                    \
    public:                              \
        using Exception::Exception;      \
    }

// A stream could not supply the bytes asked for ("Stream read error").
LEXIVANE_DECLARE_EXCEPTION(EReadError);
// A stream did not take all the bytes written to it ("Stream write error").
LEXIVANE_DECLARE_EXCEPTION(EWriteError);
// A file could not be opened for reading ("Cannot open file %s").
LEXIVANE_DECLARE_EXCEPTION(EFOpenError);
// A file could not be created ("Cannot create file %s").
LEXIVANE_DECLARE_EXCEPTION(EFCreateError);
// An index outside a list ("List index out of bounds (%d)").
LEXIVANE_DECLARE_EXCEPTION(EListError);
// A text file could not be created or written ("Disk full", "I/O error %d", ...).
LEXIVANE_DECLARE_EXCEPTION(EInOutError);
