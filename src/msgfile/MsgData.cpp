#include "msgfile/MsgData.h"

#include "diagnostics/Exception.h"
#include "msgfile/ListUtils.h"
#include "platform/CodePages.h"
#include "platform/OsError.h"
#include "uitext/Format.h"

#include <QFile>
#include <cerrno>
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

const QByteArray &TMsgData::Texts(int index) const
{
    CheckIndex(index);
    return m_messages[size_t(index)].Text;
}

void TMsgData::SetTexts(int index, const QByteArray &text)
{
    CheckIndex(index);
    m_messages[size_t(index)].Text = text;
}

quint32 TMsgData::Codes(int index) const
{
    CheckIndex(index);
    return m_messages[size_t(index)].Code;
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
    m_messages = source.m_messages; // texts are shared until one side changes
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

void TMsgData::AddMessage(quint32 code, const QByteArray &text)
{
    m_messages.push_back({text, code});
    m_oem.append(false);
}

void TMsgData::Reserve(int count)
{
    m_messages.reserve(size_t(count));
    m_oem.reserve(count);
}

namespace {

// A text file written through a buffer, with the system's error number for
// every failure, so that the dump can report "Disk full" and its kin.
class DumpFile
{
public:
    explicit DumpFile(const QString &fileName)
    {
        m_fd = ::open(QFile::encodeName(fileName).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (m_fd < 0)
            RaiseInOutError(errno);
        m_buffer.reserve(BufferSize);
    }
    ~DumpFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    DumpFile(const DumpFile &) = delete;
    DumpFile &operator=(const DumpFile &) = delete;

    void append(QByteArrayView bytes)
    {
        m_buffer.append(bytes);
        if (m_buffer.size() >= BufferSize)
            flush();
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
        const char *data = m_buffer.constData();
        qsizetype left = m_buffer.size();
        while (left > 0) {
            const ssize_t written = ::write(m_fd, data, size_t(left));
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                RaiseInOutError(errno);
            }
            data += written;
            left -= written;
        }
        m_buffer.clear();
    }

    int m_fd = -1;
    QByteArray m_buffer;
};

void AppendHex8(QByteArray &line, quint32 code)
{
    static const char digits[] = "0123456789ABCDEF";
    for (int shift = 28; shift >= 0; shift -= 4)
        line.append(digits[(code >> shift) & 0xF]);
}

} // namespace

void TMsgData::DumpToFile(const QString &fileName) const
{
    DumpFile file(fileName);
    QByteArray line;
    for (size_t i = 0; i < m_messages.size(); ++i) {
        const Message &message = m_messages[i];
        QByteArray text = message.Text;
        if (m_oem.at(qsizetype(i)))
            OemToCharA(text);
        line.clear();
        AppendHex8(line, message.Code);
        line.append(' ');
        line.append(text);
        line.append("\r\n");
        file.append(line);
    }
    file.close();
}
