#pragma once
// Buffered access to a QIODevice for the message file's reader and writer,
// which handle a million small fields: one device call per block instead of
// one per field.

#include <QByteArray>
#include <QIODevice>

// Reads from a random-access device through a block buffer. Positions are
// absolute device positions.
class BufferedReader
{
public:
    explicit BufferedReader(QIODevice &device, qint64 blockSize = 1 << 20);

    qint64 position() const { return m_bufferStart + m_offset; }
    void seek(qint64 position);
    // Up to Count bytes from the current position, contiguous and valid until
    // the next call; fewer only when the device ends first. Advances by the
    // number of bytes returned.
    QByteArrayView take(qint64 count);

private:
    bool fill(qint64 count);

    QIODevice &m_device;
    qint64 m_blockSize;
    QByteArray m_buffer;      // storage, reused from block to block
    qint64 m_valid = 0;       // bytes of m_buffer read from the device
    qint64 m_bufferStart = 0; // device position of m_buffer[0]
    qint64 m_offset = 0;      // read position within m_buffer
};

// Writes to a device through a block buffer. A short write raises
// EWriteError ("Stream write error"); so does a failed flush.
class BufferedWriter
{
public:
    explicit BufferedWriter(QIODevice &device, qint64 blockSize = 1 << 20);
    ~BufferedWriter(); // does not flush: a writer that failed must not write on

    void write(const char *data, qint64 count);
    void write(QByteArrayView bytes) { write(bytes.data(), bytes.size()); }
    void writeUInt32(quint32 value);
    void writeZeros(qint64 count);
    // Hands everything buffered to the device.
    void flush();

private:
    QIODevice &m_device;
    QByteArray m_buffer;
    qint64 m_used = 0;
};

// The stream's write error.
[[noreturn]] void RaiseWriteError();
