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

    // The code address the exception was raised from: where this constructor
    // was called, the throw site (for a class declared with the macro below)
    // or the constructor of the derived class just around it. The log names
    // it; nullptr where the compiler cannot tell.
    const void *RaiseAddress() const noexcept { return m_raiseAddress; }

private:
    QString m_message;
    QByteArray m_what; // UTF-8 copy for what()
    const void *m_raiseAddress = nullptr;
};

// The constructor is always inlined, so that the raise address recorded by
// Exception is the throw site's, not a constructor's in between.
#if defined(__GNUC__) || defined(__clang__)
#define LEXIVANE_INLINE_RAISE __attribute__((always_inline)) inline
#else
#define LEXIVANE_INLINE_RAISE inline
#endif

#define LEXIVANE_DECLARE_EXCEPTION(Name)                                                    \
    class Name : public Exception                                                           \
    {                                                                                       \
    public:                                                                                 \
        LEXIVANE_INLINE_RAISE explicit Name(const QString &message) : Exception(message) {} \
    }

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
