#include "msgfile/BufferedWriter.h"

#include "diagnostics/Exception.h"
#include "msgfile/FaultInjection.h"

#include <QtEndian>
#include <cstring>

BufferedWriter::BufferedWriter(QIODevice &device, qint64 blockSize)
    : m_device(device), m_buffer(blockSize, Qt::Uninitialized), m_room(m_buffer.data())
{
}

BufferedWriter::~BufferedWriter() = default;

void BufferedWriter::writeBeyond(const char *data, qint64 count)
{
    flush();
    if (count > m_buffer.size()) {
        if (InjectedFault(TFailPoint::Write) != 0 || m_device.write(data, count) != count)
            RaiseWriteError();
        return;
    }
    std::memcpy(m_room, data, size_t(count));
    m_used = count;
}

void BufferedWriter::writeUInt32(quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    write(bytes, 4);
}

void BufferedWriter::flush()
{
    if (m_used == 0)
        return;
    const qint64 used = m_used;
    m_used = 0;
    // An injected fault fails the block as a device that takes nothing would.
    if (InjectedFault(TFailPoint::Write) != 0 || m_device.write(m_buffer.constData(), used) != used)
        RaiseWriteError();
}

void RaiseWriteError()
{
    throw EWriteError(QStringLiteral("Stream write error"));
}
