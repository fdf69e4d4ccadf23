#pragma once
// The database server's client library (libfbclient.so.2), loaded with
// dlopen, as the judge of the message files we read and write: its message
// lookup is the server's own. Only tests load it; the program never links it.
//
// Everything that can be missing (the library, one of its functions, the
// message file it ships, a file it refuses) comes back as a problem text that
// names what is missing and what installs it, for the test to fail with:
//
//   QString problem;
//   const auto server = TServerMessageFile::Open(fileName, problem);
//   QVERIFY2(server, qPrintable(problem));

#include "msgfile/MsgData.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

// One message file opened with the library's gds__msg_open.
class TServerMessageFile
{
public:
    // The file opened, or null with Problem saying why.
    static std::unique_ptr<TServerMessageFile> Open(const QString &fileName, QString &problem);
    ~TServerMessageFile();
    TServerMessageFile(const TServerMessageFile &) = delete;
    TServerMessageFile &operator=(const TServerMessageFile &) = delete;

    // The library asks for a message by facility (16 bits) and number:
    // code C is facility C / 10000, number C % 10000. A code whose facility
    // does not fit cannot be asked for at all.
    static bool CanLookUp(quint32 code);

    // The text the library returns for Code, or nullopt when it finds none
    // (or Code cannot be asked for, see CanLookUp). Flags, when given,
    // receives the record's flags the library returns with the text.
    std::optional<QByteArray> Lookup(quint32 code, quint16 *flags = nullptr) const;

    // Every message of Expected that the library does not give back exactly
    // (text and record flags), one line each, in Expected's order; empty when
    // it finds every message whole.
    QStringList Mismatches(const TMsgData &expected) const;

private:
    explicit TServerMessageFile(void *handle) : m_handle(handle) {}

    void *m_handle;
    mutable std::vector<char> m_buffer; // the library copies each text into it
};

// The message file the library's package ships (firebird.msg beside the
// library, /usr/lib/<architecture>/firebird/<version>/firebird.msg), or ""
// with Problem saying what is missing.
QString ShippedServerMessageFile(QString &problem);
