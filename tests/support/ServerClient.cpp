#include "support/ServerClient.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>

namespace {

const char kLibraryName[] = "libfbclient.so.2";
const char kInstallHint[] = "tools/install-deps installs it (Debian package libfbclient2)";

// The library's C interface.
using MsgOpenFunction = int (*)(void **handle, const char *fileName);
using MsgLookupFunction = short (*)(void *handle, unsigned short facility, unsigned short number, unsigned short length,
                                    char *buffer, unsigned short *flags);
using MsgCloseFunction = int (*)(void *handle); // what close() returned, 0 when nothing was open

// A text is at most 65535 bytes (its length field); the buffer takes it and
// the NUL the library appends.
constexpr unsigned short kBufferLength = 65535;

struct ClientLibrary
{
    MsgOpenFunction MsgOpen = nullptr;
    MsgLookupFunction MsgLookup = nullptr;
    MsgCloseFunction MsgClose = nullptr;
    QString Problem; // empty when every function was found
};

template <typename Function>
bool Resolve(void *library, const char *name, Function &function, QString &problem)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
    if (!function)
        problem = QStringLiteral("the server's client library %1 has no function %2; %3")
                      .arg(QLatin1String(kLibraryName), QLatin1String(name), QLatin1String(kInstallHint));
    return function != nullptr;
}

ClientLibrary LoadClientLibrary()
{
    ClientLibrary client;
    // Never closed: the library registers clean-up that must find it loaded
    // when the process ends.
    void *library = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        client.Problem = QStringLiteral("the server's client library %1 cannot be loaded (%2); %3")
                             .arg(QLatin1String(kLibraryName), QString::fromLocal8Bit(dlerror()), QLatin1String(kInstallHint));
        return client;
    }
    if (Resolve(library, "gds__msg_open", client.MsgOpen, client.Problem)
        && Resolve(library, "gds__msg_lookup", client.MsgLookup, client.Problem))
        Resolve(library, "gds__msg_close", client.MsgClose, client.Problem);
    return client;
}

const ClientLibrary &Library()
{
    static const ClientLibrary library = LoadClientLibrary();
    return library;
}

constexpr quint32 kCodesPerFacility = 10000;

QString Hex8(quint32 value)
{
    return QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
}

// A text for a failure line: quoted, cut after 60 bytes, every byte other
// than printable ASCII as \xNN.
QString Shown(const QByteArray &text)
{
    QString shown;
    for (const char byte : text.left(60)) {
        const uchar value = uchar(byte);
        if (value >= 0x20 && value < 0x7F && value != '\\')
            shown += QLatin1Char(byte);
        else
            shown += QStringLiteral("\\x%1").arg(value, 2, 16, QLatin1Char('0'));
    }
    return QStringLiteral("\"%1\"%2 (%3 bytes)").arg(shown, text.size() > 60 ? QStringLiteral("...") : QString()).arg(text.size());
}

} // namespace

std::unique_ptr<TServerMessageFile> TServerMessageFile::Open(const QString &fileName, QString &problem)
{
    const ClientLibrary &library = Library();
    if (!library.Problem.isEmpty()) {
        problem = library.Problem;
        return nullptr;
    }
    void *handle = nullptr;
    const int status = library.MsgOpen(&handle, QFile::encodeName(fileName).constData());
    if (status != 0 || !handle) {
        problem = QStringLiteral("gds__msg_open of the server's client library refuses %1 (status %2)").arg(fileName).arg(status);
        return nullptr;
    }
    return std::unique_ptr<TServerMessageFile>(new TServerMessageFile(handle));
}

TServerMessageFile::~TServerMessageFile()
{
    Library().MsgClose(m_handle);
}

bool TServerMessageFile::CanLookUp(quint32 code)
{
    return code / kCodesPerFacility <= 0xFFFFu;
}

std::optional<QByteArray> TServerMessageFile::Lookup(quint32 code, quint16 *flags) const
{
    if (!CanLookUp(code))
        return std::nullopt;
    if (m_buffer.empty())
        m_buffer.resize(size_t(kBufferLength) + 1);
    unsigned short found = 0;
    const short length = Library().MsgLookup(m_handle, (unsigned short)(code / kCodesPerFacility),
                                             (unsigned short)(code % kCodesPerFacility), kBufferLength, m_buffer.data(), &found);
    if (length < 0)
        return std::nullopt;
    if (flags)
        *flags = found;
    return QByteArray(m_buffer.data(), length);
}

QStringList TServerMessageFile::Mismatches(const TMsgData &expected) const
{
    QStringList mismatches;
    for (int i = 0; i < expected.Count(); ++i) {
        const quint32 code = expected.Codes(i);
        if (!CanLookUp(code)) {
            mismatches << QStringLiteral("%1: its facility %2 does not fit the library's 16 bits, so it cannot be looked up")
                              .arg(Hex8(code))
                              .arg(code / kCodesPerFacility);
            continue;
        }
        quint16 flags = 0;
        const std::optional<QByteArray> text = Lookup(code, &flags);
        if (!text)
            mismatches << QStringLiteral("%1: not found").arg(Hex8(code));
        else if (*text != expected.Texts(i))
            mismatches << QStringLiteral("%1: the library gives %2, expected %3").arg(Hex8(code), Shown(*text), Shown(expected.Texts(i)));
        else if (flags != expected.RecordFlags(i))
            mismatches << QStringLiteral("%1: the library gives the flags %2, expected %3").arg(Hex8(code)).arg(flags).arg(expected.RecordFlags(i));
    }
    return mismatches;
}

QString ShippedServerMessageFile(QString &problem)
{
    // /usr/lib/<architecture>/firebird/<version>/firebird.msg, the first in
    // name order.
    const QDir lib(QStringLiteral("/usr/lib"));
    for (const QString &architecture : lib.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QDir firebird(lib.filePath(architecture + QStringLiteral("/firebird")));
        for (const QString &version : firebird.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            const QString candidate = firebird.filePath(version + QStringLiteral("/firebird.msg"));
            if (QFileInfo(candidate).isFile())
                return candidate;
        }
    }
    problem = QStringLiteral("the server's message file firebird.msg, which the client library's package ships, "
                             "is not in /usr/lib/*/firebird/*/; %1")
                  .arg(QLatin1String(kInstallHint));
    return {};
}
