#pragma once
// Looks a message code up in a message file's bytes the way the server does:
// from the root, at each level read one bucket of 8-byte entries and follow
// the first entry whose key is at least the code; at the last level scan the
// leaf's records (16-bit lengths) for the code, up to the first greater code
// (the server takes them as ascending). The code is found only when its whole
// record lies in the bucket read (the server reads no further). Bucket
// size and levels come from a server header; any other header is taken as
// 1024 bytes, 2 levels. Used to tell whether a server will give back every
// message of a file whole.

#include <QByteArray>

class TServerLookup
{
public:
    explicit TServerLookup(const QByteArray &file);

    bool Find(quint32 code) const;

private:
    bool FindInLeaf(qint64 offset, quint32 code) const;

    QByteArray m_file;
    qint64 m_root = 0;
    int m_bucketSize = 0;
    int m_levels = 0;
};
