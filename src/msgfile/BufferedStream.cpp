#include "msgfile/BufferedStream.h"

#include "diagnostics/Exception.h"

#include <QtEndian>
#include <cstring>

BufferedReader::BufferedReader(QIODevice &device, qint64 blockSize)
    : m_device(device), m_blockSize(blockSize), m_bufferStart(device.pos())
{
}

void BufferedReader::seek(qint64 position)
{
    if (position >= m_bufferStart && position <= m_bufferStart + m_valid) {
        m_offset = position - m_bufferStart;
        return;
    }
    m_valid = 0;
    m_bufferStart = position;
    m_offset = 0;
}

QByteArrayView BufferedReader::take(qint64 count)
{
    if (count <= 0)
        return {};
    if (m_valid - m_offset < count)
        fill(count);
    const qint64 available = qMin(count, m_valid - m_offset);
    const QByteArrayView result(m_buffer.constData() + m_offset, available);
    m_offset += available;
    return result;
}

// Moves the unread rest to the front of the buffer and reads until Count
// bytes are there or the device ends. The buffer grows only for a field
// larger than a block.
bool BufferedReader::fill(qint64 count)
{
    const qint64 rest = m_valid - m_offset;
    const qint64 start = position();
    const qint64 wanted = qMax(count, m_blockSize);
    if (m_buffer.size() < wanted) {
        QByteArray larger(wanted, Qt::Uninitialized);
        if (rest > 0)
            std::memcpy(larger.data(), m_buffer.constData() + m_offset, size_t(rest));
        m_buffer = std::move(larger);
    } else if (rest > 0) {
        std::memmove(m_buffer.data(), m_buffer.constData() + m_offset, size_t(rest));
    }
    m_bufferStart = start;
    m_offset = 0;
    m_valid = rest;
    if (!m_device.seek(start + rest))
        return false;
    while (m_valid < count) {
        const qint64 got = m_device.read(m_buffer.data() + m_valid, m_buffer.size() - m_valid);
        if (got <= 0)
            break;
        m_valid += got;
    }
    return m_valid >= count;
}

BufferedWriter::BufferedWriter(QIODevice &device, qint64 blockSize)
    : m_device(device), m_buffer(blockSize, Qt::Uninitialized)
{
}

BufferedWriter::~BufferedWriter() = default;

void BufferedWriter::write(const char *data, qint64 count)
{
    if (count > m_buffer.size() - m_used) {
        flush();
        if (count > m_buffer.size()) {
            if (m_device.write(data, count) != count)
                RaiseWriteError();
            return;
        }
    }
    std::memcpy(m_buffer.data() + m_used, data, size_t(count));
    m_used += count;
}

void BufferedWriter::writeUInt32(quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    write(bytes, 4);
}

void BufferedWriter::writeZeros(qint64 count)
{
    static const char zeros[16] = {};
    while (count > 0) {
        const qint64 chunk = qMin<qint64>(count, sizeof zeros);
        write(zeros, chunk);
        count -= chunk;
    }
}

void BufferedWriter::flush()
{
    if (m_used == 0)
        return;
    const qint64 used = m_used;
    m_used = 0;
    if (m_device.write(m_buffer.constData(), used) != used)
        RaiseWriteError();
}

void RaiseWriteError()
{
    throw EWriteError(QStringLiteral("Stream write error"));
}
