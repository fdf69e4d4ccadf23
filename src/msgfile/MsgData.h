#pragma once
// TMsgData: the messages of one message file in memory, in file order, with
// the 16 header bytes of the file they came from and each message's OEM flag.
// It is the document the editor works on. Texts are byte strings exactly as
// stored in the file; the store neither sorts nor checks that codes are
// unique.

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>
#include <vector>

class TMsgData
{
public:
    static constexpr int HeaderSize = 16;

    // An empty store: no messages, header all zero.
    TMsgData();

    const QByteArray &Header() const { return m_header; }

    int Count() const { return int(m_messages.size()); }

    // The text, code and OEM flag of message Index (0 <= Index < Count); an
    // index outside raises EListError "List index out of bounds (%d)".
    QByteArray Texts(int index) const;
    void SetTexts(int index, const QByteArray &text);
    quint32 Codes(int index) const;
    bool Oem(int index) const;
    void SetOem(int index, bool value);

    // The text without a copy, valid until the store is changed or freed.
    QByteArrayView TextView(int index) const;

    // The 16 bits of flags that some files keep in the upper half of a
    // record's length field; carried from the file read to the file written.
    quint16 RecordFlags(int index) const;

    // The lowest index whose code is Code, or -1.
    int IndexOfCode(quint32 code) const;

    // Makes this store a copy of Source: header, messages and OEM flags.
    void Assign(const TMsgData &source);
    std::unique_ptr<TMsgData> Clone() const;

    // Writes one line per message, "%8.8x %s" and CR LF, OEM texts converted
    // to the ANSI code page in the copy written. Raises EInOutError.
    void DumpToFile(const QString &fileName) const;

    // Building a store by hand: the sample builder and tests.
    void SetHeader(const QByteArray &header); // exactly HeaderSize bytes
    void AddMessage(quint32 code, const QByteArray &text, quint16 recordFlags = 0);

private:
    friend class TMsgFileReader;

    // A loaded text stays in the bytes read from the file (shared by every
    // copy of the store, never changed); a text set afterwards is held on its
    // own. A million messages thus cost one block and 20 bytes each.
    struct Message
    {
        quint32 Code;
        qint32 OwnText; // index into m_ownTexts, or -1: the text is in m_fileBytes
        quint32 Offset; // of the text in m_fileBytes
        quint32 Length;
        quint16 RecordFlags;
    };

    void CheckIndex(int index) const;

    QByteArray m_header;
    QByteArray m_fileBytes;
    std::vector<Message> m_messages;
    std::vector<QByteArray> m_ownTexts;
    QList<bool> m_oem; // parallel to m_messages
};
