#pragma once
// Small helpers shared by the message file's reader, writer and lookup.

#include <QByteArrayView>
#include <QtEndian>

// The smallest multiple of 4 not below N: ((N - 1) OR 3) + 1.
constexpr qint64 Align4Long(qint64 n)
{
    return ((n - 1) | 3) + 1;
}

inline quint32 UInt32At(QByteArrayView bytes, qint64 offset)
{
    return qFromLittleEndian<quint32>(bytes.data() + offset);
}

inline quint16 UInt16At(QByteArrayView bytes, qint64 offset)
{
    return qFromLittleEndian<quint16>(bytes.data() + offset);
}

// A record's length field: a 32-bit length, or, when its upper 16 bits are
// set, a 16-bit length followed by 16 bits of flags.
struct TRecordLength
{
    qint64 Length;
    quint16 Flags;
};

inline TRecordLength SplitLengthField(quint32 field)
{
    if ((field >> 16) == 0)
        return {qint64(field), 0};
    return {qint64(field & 0xFFFFu), quint16(field >> 16)};
}
