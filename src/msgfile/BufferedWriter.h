#pragma once
// Buffered writing to a QIODevice for the message file's writer, which
// writes a million small fields: one device call per block instead of one
// per field.

#include <QByteArray>
#include <QIODevice>

#include <cstring>

// Writes to a device through a block buffer. A short write raises
// EWriteError ("Stream write error"); so does a failed flush.
class BufferedWriter
{
public:
    explicit BufferedWriter(QIODevice &device, qint64 blockSize = 1 << 20);
    ~BufferedWriter(); // does not flush: a writer that failed must not write on

    // Inline for the common case, a piece that fits: the exchange writers
    // hand over a few bytes at a time.
    void write(const char *data, qint64 count)
    {
        if (count > m_buffer.size() - m_used) {
            writeBeyond(data, count);
            return;
        }
        // An empty piece may come as a null pointer, which memcpy must not get.
        if (count > 0)
            std::memcpy(m_room + m_used, data, size_t(count));
        m_used += count;
    }
    void write(QByteArrayView bytes) { write(bytes.data(), bytes.size()); }
    void write(char byte)
    {
        if (m_used == m_buffer.size())
            flush();
        m_room[m_used++] = byte;
    }
    void writeUInt32(quint32 value);
    // Room for Count bytes (at most the block size) in the buffer, to be
    // filled by the caller before the next call.
    char *claim(qint64 count)
    {
        if (count > m_buffer.size() - m_used)
            flush();
        char *room = m_room + m_used;
        m_used += count;
        return room;
    }
    // Hands everything buffered to the device.
    void flush();

private:
    void writeBeyond(const char *data, qint64 count);

    QIODevice &m_device;
    QByteArray m_buffer;
    char *m_room; // m_buffer's bytes, never shared
    qint64 m_used = 0;
};

// The stream's write error.
[[noreturn]] void RaiseWriteError();
