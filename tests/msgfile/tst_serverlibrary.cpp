// Our reader, writer, editing session and lexivane-msg against the database
// server's own client library: the message file the server ships reads
// whole, and the library finds every message of every file we write from it
// with its exact text.

#include "editor/EditSession.h"
#include "msgfile/FileUtils.h"
#include "msgfile/MsgFile.h"
#include "msgfile/ServerLookup.h"
#include "msgtool/MsgTool.h"
#include "support/EnglishTable.h"
#include "support/MsgFileLayouts.h"
#include "support/QuietSessionView.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/ServerClient.h"
#include "support/TestEnvironment.h"
#include "uitext/EnglishMsg.h"
#include "uitext/LangUtils.h"
#include "uitext/MsgRes.h"

#include <QBuffer>
#include <QtEndian>
#include <QtTest>

#include <utility>

namespace {

// Home and settings point into a temporary folder before the library loads.
const TestEnvironment ProcessEnvironment;

// What the server's package ships.
constexpr int kShippedMessages = 3162;

// The edit dialog confirms Text for message Index.
void Enter(TEditSession &session, ScriptedDialogs &dialogs, int index, const QByteArray &text)
{
    dialogs.OnEditText = [text](QByteArray &edited, const QByteArray &, bool &) {
        edited = text;
        return true;
    };
    session.EditMessage(index);
    dialogs.OnEditText = nullptr;
}

// The number of levels and of leaves of a file's index tree.
struct TreeShape
{
    int Levels = 0;
    qsizetype Buckets = 0;
};

TreeShape ShapeOf(const TMsgLayout &layout)
{
    TreeShape shape;
    shape.Levels = layout.Levels;
    for (const TMsgIndexNode &node : layout.Nodes) {
        if (node.Level == layout.Levels - 1)
            shape.Buckets += qsizetype(node.Entries.size());
    }
    return shape;
}

// A failure message: how many lines, and the first few.
QString Summary(const QString &what, const QStringList &lines)
{
    return QStringLiteral("%1: %2 differences\n%3").arg(what).arg(lines.size()).arg(lines.mid(0, 8).join(QLatin1Char('\n')));
}

// Messages numbered as the server numbers them (facility times 10000 plus
// the message's number), texts of 0 to Longest bytes.
std::vector<LaidOutMessage> ServerMessages(int count, int longest = 149)
{
    std::vector<LaidOutMessage> messages;
    for (int i = 0; i < count; ++i)
        messages.push_back({quint32((i / 500) * 10000 + i % 500 + 1), QByteArray(i % (longest + 1), char('a' + i % 26))});
    return messages;
}

QByteArray Written(const std::vector<LaidOutMessage> &messages)
{
    TMsgData data;
    data.SetHeader(ServerHeader(1024, 0, 2));
    for (const LaidOutMessage &message : messages)
        data.AddMessage(message.Code, message.Text, message.Flags);
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    WriteMsgData(buffer, data);
    return buffer.data();
}

} // namespace

class TestServerLibrary : public QObject
{
    Q_OBJECT

private:
    QString m_shippedName;
    std::unique_ptr<TMsgData> m_shipped;

    // Where the file FileName departs from Expected: messages the library
    // does not give back exactly, a different number of messages for our
    // reader, header bytes 0-3 (version, bucket size) other than the shipped
    // file's. Empty when it holds Expected whole.
    QStringList Differences(const QString &fileName, const TMsgData &expected) const
    {
        QString problem;
        const auto server = TServerMessageFile::Open(fileName, problem);
        if (!server)
            return {problem};
        QStringList differences = server->Mismatches(expected);
        const QByteArray header = ReadWholeFile(fileName).left(4);
        if (header != m_shipped->Header().left(4))
            differences << QStringLiteral("header bytes 0-3 are %1, the shipped file's %2")
                               .arg(QString::fromLatin1(header.toHex(' ')), QString::fromLatin1(m_shipped->Header().left(4).toHex(' ')));
        try {
            const int count = LoadMsgData(fileName)->Count();
            if (count != expected.Count())
                differences << QStringLiteral("our reader finds %1 messages, expected %2").arg(count).arg(expected.Count());
        } catch (const Exception &error) {
            differences << QStringLiteral("our reader refuses it: ") + error.Message();
        }
        return differences;
    }

private Q_SLOTS:
    void initTestCase()
    {
        UseEnglishTable();
        QString problem;
        m_shippedName = ShippedServerMessageFile(problem);
        QVERIFY2(!m_shippedName.isEmpty(), qPrintable(problem));
        QVERIFY2(TServerMessageFile::Open(m_shippedName, problem), qPrintable(problem));
        m_shipped = LoadMsgData(m_shippedName);
    }

    void shippedFileReadsWhole()
    {
        QCOMPARE(m_shipped->Count(), kShippedMessages);
        for (int i = 1; i < m_shipped->Count(); ++i)
            QVERIFY2(m_shipped->Codes(i) > m_shipped->Codes(i - 1), qPrintable(QString::number(i)));
        QString problem;
        const auto server = TServerMessageFile::Open(m_shippedName, problem);
        QVERIFY2(server, qPrintable(problem));
        const QStringList mismatches = server->Mismatches(*m_shipped);
        QVERIFY2(mismatches.isEmpty(), qPrintable(Summary(m_shippedName, mismatches)));
    }

    // Without --strict check decides by what the server finds; the server's
    // build tool lays its index out otherwise than our writer does.
    void checkOnShippedFile_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("verdict");
        QTest::newRow("lookup decides") << QStringList{} << 0 << QStringLiteral("\nsound\n");
        QTest::newRow("strict") << QStringList{QStringLiteral("--strict")} << 1 << QStringLiteral("\nnot sound\n");
    }
    void checkOnShippedFile()
    {
        QFETCH(QStringList, options);
        QFETCH(int, code);
        QFETCH(QString, verdict);
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        const int result = MsgTool::Run(QStringList{QStringLiteral("check")} + options + QStringList{m_shippedName}, outStream, errStream);
        outStream.flush();
        errStream.flush();
        QCOMPARE(result, code);
        QVERIFY2(err.isEmpty(), qPrintable(err));
        QVERIFY2(out.contains(QStringLiteral(": %1 messages, ").arg(kShippedMessages)), qPrintable(out));
        QVERIFY2(out.contains(QLatin1String(" 3 levels, ")), qPrintable(out));
        QVERIFY2(out.contains(QLatin1String("\ncodes: ascending\nlookup: the server finds every message\n")), qPrintable(out));
        QVERIFY2(out.endsWith(verdict), qPrintable(out));
    }

    void resavedFileFoundWhole()
    {
        TestEnvironment environment;
        const QString resaved = environment.path(QStringLiteral("resaved.msg"));
        SaveMsgData(resaved, *m_shipped);
        const QStringList differences = Differences(resaved, *m_shipped);
        QVERIFY2(differences.isEmpty(), qPrintable(Summary(resaved, differences)));
    }

    // Two saves through the editing session: the file holds the second, its
    // last backup the first, its initial backup the shipped texts.
    void editedFileAndBackupsFoundWhole()
    {
        TestEnvironment environment;
        const QString fileName = environment.path(QStringLiteral("firebird.msg"));
        QVERIFY(QFile::copy(m_shippedName, fileName));
        ScriptedMessageBoxes boxes;
        ScriptedDialogs dialogs;
        QuietSessionView view;
        TEditSession session(view);
        QVERIFY(session.OpenDocument(fileName));
        QCOMPARE(session.Count(), kShippedMessages);

        const int last = kShippedMessages - 1;
        const auto longer = [this](int index) { return m_shipped->Texts(index) + " -- " + m_shipped->Texts(index).toUpper(); };
        const QByteArray exactly255 = (m_shipped->Texts(2000) + ' ' + QByteArray(255, '=')).left(255);
        QCOMPARE(exactly255.size(), 255);
        const QList<std::pair<int, QByteArray>> firstEdits = {
            {0, longer(0)}, {1, longer(1)}, {700, QByteArray()}, {1581, longer(1581)}, {2000, exactly255}, {last, longer(last)},
        };
        const QList<std::pair<int, QByteArray>> secondEdits = {
            {2, longer(2)}, {1581, m_shipped->Texts(1581) + " (again)"}, {3000, QByteArray()},
        };

        std::unique_ptr<TMsgData> firstSave = m_shipped->Clone();
        for (const auto &[index, text] : firstEdits) {
            Enter(session, dialogs, index, text);
            firstSave->SetTexts(index, text);
        }
        boxes.Answer(TModalResult::mrYes);
        QVERIFY(session.SaveDocument());
        QCOMPARE(boxes.Count(), 1);
        QCOMPARE(boxes.Last().Text, GetMsg(QStringLiteral("ConfirmBackup")));

        std::unique_ptr<TMsgData> secondSave = firstSave->Clone();
        for (const auto &[index, text] : secondEdits) {
            Enter(session, dialogs, index, text);
            secondSave->SetTexts(index, text);
        }
        QVERIFY(session.SaveDocument());
        QCOMPARE(boxes.Count(), 1);
        QCOMPARE(dialogs.EditTextCalls.size(), firstEdits.size() + secondEdits.size());

        const QList<std::pair<QString, const TMsgData *>> files = {
            {fileName, secondSave.get()},
            {BackupFileName(fileName), firstSave.get()},
            {InitialBackupName(fileName), m_shipped.get()},
        };
        for (const auto &[file, expected] : files) {
            const QStringList differences = Differences(file, *expected);
            QVERIFY2(differences.isEmpty(), qPrintable(Summary(file, differences)));
        }
    }

    // Every text translated: every LongerEvery-th doubled, the others cut to
    // KeptThirds thirds of their length, so that the writer builds a tree of
    // another shape.
    void translatedFileFoundWhole_data()
    {
        QTest::addColumn<int>("longerEvery");
        QTest::addColumn<int>("keptThirds");
        QTest::addColumn<int>("levels");
        QTest::newRow("more buckets") << 2 << 2 << 3;
        QTest::newRow("two levels") << 8 << 1 << 2;
    }
    void translatedFileFoundWhole()
    {
        QFETCH(int, longerEvery);
        QFETCH(int, keptThirds);
        QFETCH(int, levels);
        std::unique_ptr<TMsgData> translated = m_shipped->Clone();
        for (int i = 0; i < translated->Count(); ++i) {
            const QByteArray text = translated->Texts(i);
            QByteArray translation = text.left(text.size() * keptThirds / 3);
            if (i % longerEvery == 0 || translation == text)
                translation = (text + " | " + text.toUpper()).left(MsgMaxTextLength);
            QVERIFY2(translation.size() != text.size(), qPrintable(QString::number(i)));
            translated->SetTexts(i, translation);
        }
        TestEnvironment environment;
        const QString fileName = environment.path(QStringLiteral("translated.msg"));
        SaveMsgData(fileName, *translated);

        TMsgLayout shipped;
        LoadMsgData(m_shippedName, &shipped);
        TMsgLayout written;
        LoadMsgData(fileName, &written);
        const TreeShape before = ShapeOf(shipped);
        const TreeShape after = ShapeOf(written);
        QCOMPARE(after.Levels, levels);
        QVERIFY2(after.Buckets != before.Buckets,
                 qPrintable(QStringLiteral("%1 buckets in both").arg(after.Buckets)));
        const QStringList differences = Differences(fileName, *translated);
        QVERIFY2(differences.isEmpty(), qPrintable(Summary(fileName, differences)));
    }

    // What check calls reachable, TServerLookup, is what the server gives
    // back whole: for every message of each file, our lookup finds it exactly
    // when the library returns its text. NotWhole: how many it does not.
    void ourLookupAgreesWithTheLibrary_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("notWhole");
        QTest::newRow("shipped file") << ReadWholeFile(m_shippedName) << 0;
        QTest::newRow("writer, 3 levels") << Written(ServerMessages(2900)) << 0;
        QTest::newRow("server tools, 1024-byte buckets") << LayOutLikeServerTools(ServerMessages(2900)).Bytes << 0;
        QTest::newRow("server tools, 64-byte buckets") << LayOutLikeServerTools(ServerMessages(2900, 56), 64).Bytes << 0;

        std::vector<LaidOutMessage> full;
        for (quint32 i = 0; i < 130; ++i)
            full.push_back({0x10000u + i, QByteArray(1000, 'u')});
        QTest::newRow("flat index of 130 buckets") << LayOutFlat(full, ServerHeader(1024, 0, 2)) << 2;

        // A text that runs past the end of its bucket; the next record
        // starts a bucket of its own.
        const std::vector<LaidOutMessage> overlong = {{10001, QByteArray(1100, 'o')}, {10002, "after"}};
        QTest::newRow("text past its bucket") << LayOutFlat(overlong, ServerHeader(1024, 0, 2)) << 1;
        // A record whose head starts in the bucket and ends beyond it.
        const std::vector<LaidOutMessage> straddling = {{10001, QByteArray(1010, 's')}, {10002, "after"}};
        QByteArray straddles = LayOutFlat(straddling, ServerHeader(1024, 0, 2));
        const qint32 index = qFromLittleEndian<qint32>(straddles.constData() + 4);
        qToLittleEndian(MsgLastKey, straddles.data() + index); // both records in the first bucket
        QTest::newRow("record head across the bucket's end") << straddles << 1;

        // Codes 11 and 21 swapped, in one bucket: the server stops at 21 when
        // it looks for 12 to 20, and at 12 when it looks for 11.
        std::vector<LaidOutMessage> unordered = ServerMessages(300, 20);
        std::swap(unordered[10], unordered[20]);
        QTest::newRow("codes out of order") << LayOutFlat(unordered, ServerHeader(1024, 0, 2)) << 10;
    }
    void ourLookupAgreesWithTheLibrary()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, notWhole);
        TestEnvironment environment;
        const QString fileName = environment.path(QStringLiteral("crafted.msg"));
        QVERIFY(WriteWholeFile(fileName, bytes));
        QString problem;
        const auto server = TServerMessageFile::Open(fileName, problem);
        QVERIFY2(server, qPrintable(problem));
        const std::unique_ptr<TMsgData> data = LoadMsgData(fileName);
        const TServerLookup lookup(bytes);
        QStringList disagreements;
        int notGiven = 0;
        for (int i = 0; i < data->Count(); ++i) {
            const quint32 code = data->Codes(i);
            const bool given = server->Lookup(code) == data->Texts(i);
            notGiven += given ? 0 : 1;
            if (lookup.Find(code) != given)
                disagreements << QStringLiteral("%1: the library %2 it whole, our lookup %3")
                                     .arg(code, 8, 16, QLatin1Char('0'))
                                     .arg(given ? QStringLiteral("gives") : QStringLiteral("does not give"),
                                          given ? QStringLiteral("does not find it") : QStringLiteral("does"));
        }
        QVERIFY2(disagreements.isEmpty(), qPrintable(Summary(fileName, disagreements)));
        QCOMPARE(notGiven, notWhole);
    }
};

QTEST_MAIN(TestServerLibrary)
#include "tst_serverlibrary.moc"
