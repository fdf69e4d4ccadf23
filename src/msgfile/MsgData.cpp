#include "msgfile/MsgData.h"

#include "diagnostics/Exception.h"
#include "msgfile/ListUtils.h"
#include "platform/CodePages.h"
#include "platform/OsError.h"
#include "uitext/Format.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

TMsgData::TMsgData()
    : m_header(HeaderSize, '\0')
{
}

void TMsgData::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(Format(QStringLiteral("List index out of bounds (%d)"), {index}));
}

QByteArrayView TMsgData::TextView(int index) const
{
    CheckIndex(index);
    const Message &message = m_messages[size_t(index)];
    if (message.OwnText >= 0)
        return m_ownTexts[size_t(message.OwnText)];
    return QByteArrayView(m_fileBytes.constData() + message.Offset, message.Length);
}

QByteArray TMsgData::Texts(int index) const
{
    CheckIndex(index);
    const Message &message = m_messages[size_t(index)];
    if (message.OwnText >= 0)
        return m_ownTexts[size_t(message.OwnText)]; // shared, not copied
    return QByteArray(m_fileBytes.constData() + message.Offset, message.Length);
}

void TMsgData::SetTexts(int index, const QByteArray &text)
{
    CheckIndex(index);
    Message &message = m_messages[size_t(index)];
    if (message.OwnText >= 0) {
        m_ownTexts[size_t(message.OwnText)] = text;
        return;
    }
    message.OwnText = qint32(m_ownTexts.size());
    m_ownTexts.push_back(text);
}

quint32 TMsgData::Codes(int index) const
{
    CheckIndex(index);
    return m_messages[size_t(index)].Code;
}

quint16 TMsgData::RecordFlags(int index) const
{
    CheckIndex(index);
    return m_messages[size_t(index)].RecordFlags;
}

bool TMsgData::Oem(int index) const
{
    CheckIndex(index);
    return m_oem.at(index);
}

void TMsgData::SetOem(int index, bool value)
{
    CheckIndex(index);
    m_oem[index] = value;
}

int TMsgData::IndexOfCode(quint32 code) const
{
    for (size_t i = 0; i < m_messages.size(); ++i) {
        if (m_messages[i].Code == code)
            return int(i);
    }
    return -1;
}

void TMsgData::Assign(const TMsgData &source)
{
    if (&source == this)
        return;
    m_header = source.m_header;
    m_fileBytes = source.m_fileBytes; // shared, never changed
    m_messages = source.m_messages;
    m_ownTexts = source.m_ownTexts;
    CopyList(source.m_oem, m_oem);
}

std::unique_ptr<TMsgData> TMsgData::Clone() const
{
    auto copy = std::make_unique<TMsgData>();
    copy->Assign(*this);
    return copy;
}

void TMsgData::SetHeader(const QByteArray &header)
{
    Q_ASSERT(header.size() == HeaderSize);
    m_header = header.left(HeaderSize);
    m_header.resize(HeaderSize, '\0');
}

void TMsgData::AddMessage(quint32 code, const QByteArray &text, quint16 recordFlags)
{
    m_messages.push_back({code, qint32(m_ownTexts.size()), 0, 0, recordFlags});
    m_ownTexts.push_back(text);
    m_oem.append(false);
}

namespace {

// A text file written through a buffer, with the system's error number for
// every failure, so that the dump can report "Disk full" and its kin.
class DumpFile
{
public:
    explicit DumpFile(const QString &fileName)
        : m_buffer(BufferSize, Qt::Uninitialized)
    {
        m_fd = ::open(QFile::encodeName(fileName).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (m_fd < 0)
            RaiseInOutError(errno);
    }
    ~DumpFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    DumpFile(const DumpFile &) = delete;
    DumpFile &operator=(const DumpFile &) = delete;

    void append(const char *data, qsizetype size)
    {
        // An empty text's view may have no data pointer, which memcpy must
        // not be given even for no bytes.
        if (size == 0)
            return;
        if (size > BufferSize - m_used) {
            flush();
            if (size > BufferSize) {
                WriteAll(data, size);
                return;
            }
        }
        std::memcpy(m_buffer.data() + m_used, data, size_t(size));
        m_used += size;
    }

    void close()
    {
        flush();
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0)
            RaiseInOutError(errno);
    }

private:
    static constexpr qsizetype BufferSize = 1 << 20;

    void flush()
    {
        WriteAll(m_buffer.constData(), m_used);
        m_used = 0;
    }

    void WriteAll(const char *data, qsizetype size)
    {
        while (size > 0) {
            const ssize_t written = ::write(m_fd, data, size_t(size));
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                RaiseInOutError(errno);
            }
            data += written;
            size -= written;
        }
    }

    int m_fd = -1;
    QByteArray m_buffer;
    qsizetype m_used = 0;
};

// The code as eight upper-case hexadecimal digits and a blank.
void FormatCode(quint32 code, char (&head)[9])
{
    static const char digits[] = "0123456789ABCDEF";
    for (int i = 7; i >= 0; --i, code >>= 4)
        head[i] = digits[code & 0xF];
    head[8] = ' ';
}

} // namespace

void TMsgData::DumpToFile(const QString &fileName) const
{
    DumpFile file(fileName);
    QByteArray converted;
    char head[9];
    for (int i = 0; i < Count(); ++i) {
        QByteArrayView text = TextView(i);
        if (m_oem.at(i)) {
            converted = text.toByteArray();
            OemToCharA(converted);
            text = converted;
        }
        FormatCode(m_messages[size_t(i)].Code, head);
        file.append(head, sizeof head);
        file.append(text.data(), text.size());
        file.append("\r\n", 2);
    }
    file.close();
}
