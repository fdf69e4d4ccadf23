// Find and go to over a real editing session: message files written into a
// temporary folder are opened by the session; questions and boxes are
// answered by scripts.

#include "editor/EditSession.h"
#include "editor/MessageGridModel.h"
#include "editor/MessageSearch.h"
#include "msgfile/FileUtils.h"
#include "msgfile/MsgFile.h"
#include "platform/CodePages.h"
#include "support/QuietSessionView.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestEnvironment.h"
#include "uitext/EnglishMsg.h"
#include "uitext/FormTranslation.h"
#include "uitext/LangUtils.h"
#include "uitext/MsgRes.h"

#include <QRandomGenerator>
#include <QtTest>

#include <optional>

namespace {

const TestEnvironment ProcessEnvironment;

// Codes 0x100, 0x101, ... for texts given without codes.
QList<quint32> SequentialCodes(qsizetype count)
{
    QList<quint32> codes;
    for (qsizetype i = 0; i < count; ++i)
        codes << quint32(0x100 + i);
    return codes;
}

void WriteMessages(const QString &fileName, const QList<QByteArray> &texts, const QList<quint32> &codes)
{
    TMsgData data;
    for (qsizetype i = 0; i < texts.size(); ++i)
        data.AddMessage(codes.at(i), texts.at(i));
    SaveMsgData(fileName, data);
}

QByteArray Ansi(const QString &text)
{
    QByteArray bytes;
    if (!UnicodeToAnsi(text, bytes))
        qFatal("the ANSI code page cannot hold %s", qPrintable(text));
    return bytes;
}

QByteArray Oem(const QString &text)
{
    QByteArray bytes;
    if (!UnicodeToOem(text, bytes))
        qFatal("the OEM code page cannot hold %s", qPrintable(text));
    return bytes;
}

// A session over files in a temporary folder, its questions answered by
// scripts: EnterString from a queue of answers (nullopt cancels).
class TFixture
{
public:
    TFixture()
        : Session(View)
    {
        Dialogs.OnEnterString = [this](QString &text) {
            if (Answers.isEmpty())
                return false;
            const std::optional<QString> answer = Answers.takeFirst();
            if (!answer)
                return false;
            text = *answer;
            return true;
        };
    }

    // Opens Texts (codes 0x100 up, unless Codes are given); Originals, when
    // given, become the file's initial backup, the original column.
    bool Open(const QList<QByteArray> &texts, const QList<QByteArray> &originals = {},
              const QList<quint32> &codes = {})
    {
        const QString fileName = Environment.path(QStringLiteral("search.msg"));
        const QList<quint32> fileCodes = codes.isEmpty() ? SequentialCodes(texts.size()) : codes;
        WriteMessages(fileName, texts, fileCodes);
        if (!originals.isEmpty())
            WriteMessages(InitialBackupName(fileName), originals, fileCodes);
        return Session.OpenDocument(fileName);
    }

    // Enters Text for message Index with the OEM mark Oem (the session keeps
    // an entry only when the text changes).
    void Enter(int index, const QByteArray &text, bool oem)
    {
        Dialogs.OnEditText = [text, oem](QByteArray &edited, const QByteArray &, bool &editedOem) {
            edited = text;
            editedOem = oem;
            return true;
        };
        Session.EditMessage(index);
        Dialogs.OnEditText = nullptr;
    }

    int Find(int current, bool inOriginal, const QString &findText) const
    {
        return MessageSearch::FindMessage(Session, current, inOriginal, findText);
    }

    TestEnvironment Environment;
    ScriptedMessageBoxes Boxes;
    ScriptedDialogs Dialogs;
    QuietSessionView View;
    TEditSession Session;
    QList<std::optional<QString>> Answers;
};

// Upper case one character at a time, as the search compares.
QString UpperEach(const QString &text)
{
    QList<uint> codePoints = text.toUcs4();
    for (uint &codePoint : codePoints)
        codePoint = QChar::toUpper(char32_t(codePoint));
    return QString::fromUcs4(reinterpret_cast<const char32_t *>(codePoints.constData()), codePoints.size());
}

// The search written the plain way: every text as the grid's model shows it
// in its cell, upper-cased, and looked through.
int ReferenceFind(const TMessageGridModel &grid, int current, bool inOriginal, const QString &findText)
{
    if (findText.isEmpty())
        return -1;
    const QString pattern = UpperEach(findText);
    const int column = inOriginal ? TMessageGridModel::OriginalColumn : TMessageGridModel::TextColumn;
    for (int index = qMax(current + 1, 0); index < grid.rowCount(); ++index) {
        if (grid.HasMessage(index) && UpperEach(grid.CellText(grid.index(index, column))).contains(pattern))
            return index;
    }
    return -1;
}

// Random bytes of every kind: printable ASCII letters and signs, bytes above
// 7F, tabs and line feeds.
QByteArray RandomText(QRandomGenerator &random)
{
    QByteArray text(int(random.bounded(30)), Qt::Uninitialized);
    for (char &c : text) {
        const quint32 kind = random.bounded(10);
        if (kind < 2)
            c = kind == 0 ? '\t' : '\n';
        else
            c = char(kind < 6 ? 0x20 + random.bounded(0x60) : 0x80 + random.bounded(0x80));
    }
    return text;
}

// A piece of a text as the grid shows it, with the case of some letters
// turned; sometimes a piece of no text at all.
QString RandomPattern(QRandomGenerator &random, const TMessageGridModel &grid, bool inOriginal)
{
    const int index = int(random.bounded(grid.rowCount()));
    const int column = inOriginal ? TMessageGridModel::OriginalColumn : TMessageGridModel::TextColumn;
    const QString shown = grid.CellText(grid.index(index, column));
    if (shown.isEmpty())
        return QStringLiteral("x");
    const qsizetype start = random.bounded(shown.size());
    const qsizetype length = 1 + random.bounded(qMin<qsizetype>(6, shown.size() - start));
    QString pattern = shown.mid(start, length);
    for (QChar &c : pattern) {
        const quint32 turn = random.bounded(3);
        if (turn == 1)
            c = c.toUpper();
        else if (turn == 2)
            c = c.toLower();
    }
    return pattern;
}

const QString kCaption = QStringLiteral("Enter a message identifier to go to");
const QString kPrompt = QStringLiteral("Message ID");

} // namespace

class TestMessageSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        AddLanguage(QString::fromLatin1(EnglishLanguageEntry), EnglishTable());
        SetLanguage(QStringLiteral("ENGLISH"));
        QCOMPARE(GetMsg(QStringLiteral("NotFound")), QStringLiteral("Text not found!"));
        QCOMPARE(GetMsg(QStringLiteral("GotoLineCaption")), kCaption);
    }

    void init() { SetCodePages(QStringLiteral("windows-1252"), QStringLiteral("IBM437")); }
    void cleanup() { SetCodePages(QStringLiteral("windows-1252"), QStringLiteral("IBM437")); }

    // --- Find ----------------------------------------------------------------

    void findMessage_data()
    {
        QTest::addColumn<QList<QByteArray>>("texts");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("findText");
        QTest::addColumn<int>("expected");

        const QList<QByteArray> abc = {"first", "the Abc here", "nothing", "ABC", "last"};
        QTest::newRow("from the last message: none, though earlier ones match") << abc << 4 << "abc" << -1;
        QTest::newRow("from the top: the first match") << abc << 0 << "abc" << 1;
        QTest::newRow("from before the first message: the first too") << abc << -1 << "FIRST" << 0;
        QTest::newRow("never the current message") << abc << 3 << "abc" << -1;
        QTest::newRow("the next match below the current message") << abc << 1 << "abc" << 3;
        QTest::newRow("abc finds Abc") << QList<QByteArray>{"x", "Abc"} << 0 << "abc" << 1;
        QTest::newRow("abc finds ABC") << QList<QByteArray>{"x", "ABC"} << 0 << "abc" << 1;
        QTest::newRow("ABC finds abc") << QList<QByteArray>{"x", "xabcx"} << 0 << "ABC" << 1;
        QTest::newRow("mixed case both ways") << QList<QByteArray>{"x", "hElLo"} << 0 << "HeLlO" << 1;
        QTest::newRow("not there") << abc << -1 << "abd" << -1;
        QTest::newRow("longer than every text") << abc << -1 << "the Abc here!" << -1;
        QTest::newRow("a whole text") << abc << -1 << "THE ABC HERE" << 1;

        const QList<QByteArray> lines = {"one line", "two\nlines", "plain", "three\nlines\nhere"};
        QTest::newRow("\\n finds the first text of two lines") << lines << -1 << "\\n" << 1;
        QTest::newRow("\\n finds the next one") << lines << 1 << "\\n" << 3;
        QTest::newRow("\\N in upper case too") << lines << -1 << "\\N" << 1;
        QTest::newRow("across the line break") << lines << -1 << "O\\NL" << 1;
        QTest::newRow("a line feed itself is never shown") << lines << -1 << "two\nlines" << -1;

        const QList<QByteArray> tabs = {"a\tb", "abc\td", "\tlead"};
        QTest::newRow("a tab shows the blanks to column 8") << tabs << -1 << "a       b" << 0;
        QTest::newRow("not one blank") << tabs << -1 << "a b" << -1;
        QTest::newRow("after three letters five blanks") << tabs << -1 << "c     d" << 1;
        QTest::newRow("not six") << tabs << -1 << "c      d" << -1;
        QTest::newRow("a tab at the start shows eight") << tabs << -1 << "        LEAD" << 2;
        QTest::newRow("a tab itself is never shown") << tabs << -1 << "a\tb" << -1;

        QTest::newRow("an empty find text finds nothing") << abc << -1 << "" << -1;
        QTest::newRow("the ID column is never searched") << QList<QByteArray>{"a", "b", "c"} << -1 << "101" << -1;
        QTest::newRow("empty texts") << QList<QByteArray>{"", "", "e"} << -1 << "E" << 2;
    }
    void findMessage()
    {
        QFETCH(QList<QByteArray>, texts);
        QFETCH(int, current);
        QFETCH(QString, findText);
        QFETCH(int, expected);
        TFixture f;
        QVERIFY(f.Open(texts));
        QCOMPARE(f.Find(current, false, findText), expected);
        QCOMPARE(f.Boxes.Count(), 0);
    }

    void findFollowsTheColumn_data()
    {
        QTest::addColumn<bool>("inOriginal");
        QTest::addColumn<QString>("findText");
        QTest::addColumn<int>("expected");
        QTest::newRow("Original column: an original text") << true << "was here" << 1;
        QTest::newRow("Original column: a current text only") << true << "is now" << -1;
        QTest::newRow("Text column: a current text") << false << "is now" << 1;
        QTest::newRow("Text column: an original text only") << false << "was here" << -1;
        QTest::newRow("Original column: text in both") << true << "both" << 2;
        QTest::newRow("Text column: text in both") << false << "both" << 2;
    }
    void findFollowsTheColumn()
    {
        QFETCH(bool, inOriginal);
        QFETCH(QString, findText);
        QFETCH(int, expected);
        TFixture f;
        QVERIFY(f.Open({"first", "the text IS NOW", "BOTH"}, {"first", "it WAS HERE", "both"}));
        QCOMPARE(f.Session.MessageText(1, true), QByteArray("it WAS HERE"));
        QCOMPARE(f.Find(-1, inOriginal, findText), expected);
    }

    void findFoldsLettersBeyondAscii_data()
    {
        QTest::addColumn<QString>("ansi");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("findText");
        QTest::addColumn<bool>("found");

        const auto row = [](const char *name, const char *page, const QString &text, const QString &findText,
                            bool found) {
            QTest::newRow(name) << QStringLiteral("windows-") + QString::fromLatin1(page) << text << findText << found;
        };
        row("1251: привет finds ПРИВЕТ", "1251", QStringLiteral("ПРИВЕТ, МИР"), QStringLiteral("привет"), true);
        row("1251: ПРИВЕТ finds привет", "1251", QStringLiteral("скажи привет"), QStringLiteral("ПРИВЕТ"), true);
        row("1251: я finds Я", "1251", QStringLiteral("Я"), QStringLiteral("я"), true);
        row("1251: ё finds Ё", "1251", QStringLiteral("ЁЖ"), QStringLiteral("ёж"), true);
        row("1251: other letters do not", "1251", QStringLiteral("ПРИВЕТ"), QStringLiteral("пока"), false);
        row("1252: é finds É", "1252", QStringLiteral("CAFÉ"), QStringLiteral("é"), true);
        row("1252: été finds ÉTÉ", "1252", QStringLiteral("L'ÉTÉ"), QStringLiteral("l'été"), true);
        row("1252: É finds é", "1252", QStringLiteral("café"), QStringLiteral("CAFÉ"), true);
        row("1252: ÿ finds Ÿ (bytes FF and 9F)", "1252", QStringLiteral("Ÿ"), QStringLiteral("ÿ"), true);
        row("1252: š finds Š", "1252", QStringLiteral("Š"), QStringLiteral("š"), true);
        row("1252: é is not e", "1252", QStringLiteral("CAFE"), QStringLiteral("é"), false);
        row("1252: µ, whose capital the page lacks", "1252", QStringLiteral("5 µm"), QStringLiteral("µ"), true);
        row("1252: ß stays one letter", "1252", QStringLiteral("Straße"), QStringLiteral("STRAßE"), true);
        row("1252: ss is not ß", "1252", QStringLiteral("Straße"), QStringLiteral("strasse"), false);
        row("1252: a letter the page lacks", "1252", QStringLiteral("ABC"), QStringLiteral("я"), false);
        row("1253: σ and ς share Σ", "1253", QStringLiteral("λόγος"), QStringLiteral("ΓΟΣ"), true);
        row("1250: ł finds Ł", "1250", QStringLiteral("ŁÓDŹ"), QStringLiteral("łódź"), true);
    }
    void findFoldsLettersBeyondAscii()
    {
        QFETCH(QString, ansi);
        QFETCH(QString, text);
        QFETCH(QString, findText);
        QFETCH(bool, found);
        SetCodePages(ansi, QStringLiteral("IBM437"));
        TFixture f;
        QVERIFY(f.Open({"nothing", Ansi(text)}));
        QCOMPARE(f.Find(-1, false, findText), found ? 1 : -1);
    }

    // The same bytes are other letters in another code page.
    void findUsesTheCodePageInUse()
    {
        SetCodePages(QStringLiteral("windows-1251"), QStringLiteral("IBM866"));
        TFixture f;
        QVERIFY(f.Open({Ansi(QStringLiteral("ПРИВЕТ"))}));
        QCOMPARE(f.Find(-1, false, QStringLiteral("привет")), 0);
        SetCodePages(QStringLiteral("windows-1252"), QStringLiteral("IBM437"));
        QCOMPARE(f.Find(-1, false, QStringLiteral("привет")), -1);
        QCOMPARE(f.Find(-1, false, AnsiToUnicode(f.Session.MessageText(0, false)).toLower()), 0);
    }

    // Every capital letter of a code page is found by its small letter and
    // every small letter by its capital, and by nothing else.
    void findFoldsEveryLetterOfThePage_data()
    {
        QTest::addColumn<QString>("ansi");
        for (const char *name : {"windows-1250", "windows-1251", "windows-1252", "windows-1253", "windows-1254",
                                 "windows-1257"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void findFoldsEveryLetterOfThePage()
    {
        QFETCH(QString, ansi);
        SetCodePages(ansi, QStringLiteral("IBM437"));
        QList<QByteArray> capitals;
        QList<QByteArray> smalls;
        for (int b = 0; b < 256; ++b) {
            const QByteArray byte(1, char(b));
            const QChar capital = AnsiToUnicode(byte).at(0);
            const QChar small = capital.toLower();
            QByteArray smallByte;
            if (small == capital || small.toUpper() != capital || !UnicodeToAnsi(QString(small), smallByte))
                continue;
            capitals << byte;
            smalls << smallByte;
        }
        QVERIFY2(capitals.size() >= 26, qPrintable(QString::number(capitals.size())));
        // The capitals in messages 0 to N - 1, the small letters after them.
        TFixture f;
        QVERIFY(f.Open(capitals + smalls));
        const int count = int(capitals.size());
        for (int i = 0; i < count; ++i) {
            QCOMPARE(f.Find(-1, false, AnsiToUnicode(smalls.at(i))), i);
            QCOMPARE(f.Find(count - 1, false, AnsiToUnicode(capitals.at(i))), count + i);
        }
    }

    void findShowsOemTexts_data()
    {
        QTest::addColumn<bool>("markOem");
        QTest::addColumn<bool>("inOriginal");
        QTest::addColumn<QString>("findText");
        QTest::addColumn<int>("expected");
        QTest::newRow("an OEM text as shown") << true << false << "привет" << 0;
        QTest::newRow("an OEM text with a line break") << true << false << "т\\nм" << 0;
        QTest::newRow("the same bytes not marked") << false << false << "привет" << -1;
        // The original column shows the original's bytes with the original's
        // own flag, whatever the current text's flag is.
        QTest::newRow("the original not through the current OEM flag") << true << true << "пока" << -1;
        QTest::newRow("the original of an unmarked message") << false << true << "пока" << -1;
        QTest::newRow("the original as its cell shows it") << true << true << "<original cell>" << 0;
    }
    void findShowsOemTexts()
    {
        QFETCH(bool, markOem);
        QFETCH(bool, inOriginal);
        QFETCH(QString, findText);
        QFETCH(int, expected);
        SetCodePages(QStringLiteral("windows-1251"), QStringLiteral("IBM866"));
        TFixture f;
        // The file holds OEM bytes; only the session knows a text as OEM.
        QVERIFY(f.Open({Oem(QStringLiteral("ПОКА")), "other"}));
        const QByteArray edited = Oem(QStringLiteral("ПРИВЕТ\nМИР"));
        f.Enter(0, edited, markOem);
        QCOMPARE(f.Session.MessageText(0, false), edited);
        QCOMPARE(f.Session.Messages()->Oem(0), markOem);
        if (findText == QStringLiteral("<original cell>")) {
            const TMessageGridModel grid(f.Session);
            findText = grid.CellText(grid.index(0, TMessageGridModel::OriginalColumn));
            QCOMPARE(findText, AnsiToUnicode(Oem(QStringLiteral("ПОКА"))));
        }
        QCOMPARE(f.Find(-1, inOriginal, findText), expected);
    }

    // Random texts, OEM marks, originals and find texts: the search agrees
    // with the plain way of looking through the texts the grid shows.
    void findAgreesWithTheShownTexts_data()
    {
        QTest::addColumn<QString>("ansi");
        QTest::addColumn<QString>("oem");
        QTest::newRow("windows-1252 and IBM437") << "windows-1252" << "IBM437";
        QTest::newRow("windows-1251 and IBM866") << "windows-1251" << "IBM866";
        QTest::newRow("windows-1250 and IBM852") << "windows-1250" << "IBM852";
        QTest::newRow("windows-1253 and IBM737") << "windows-1253" << "IBM737";
    }
    void findAgreesWithTheShownTexts()
    {
        QFETCH(QString, ansi);
        QFETCH(QString, oem);
        SetCodePages(ansi, oem);
        QRandomGenerator random(4711);
        QList<QByteArray> texts;
        QList<QByteArray> originals;
        for (int i = 0; i < 120; ++i) {
            texts << RandomText(random);
            originals << RandomText(random);
        }
        TFixture f;
        QVERIFY(f.Open(texts, originals));
        for (int index = 0; index < texts.size(); index += 3)
            f.Enter(index, RandomText(random) + "!", true);
        const TMessageGridModel grid(f.Session);
        int found = 0;
        for (int trial = 0; trial < 400; ++trial) {
            const bool inOriginal = random.bounded(2) == 0;
            const int current = int(random.bounded(texts.size() + 1)) - 1;
            const QString pattern = RandomPattern(random, grid, inOriginal);
            const int expected = ReferenceFind(grid, current, inOriginal, pattern);
            QCOMPARE(f.Find(current, inOriginal, pattern), expected);
            found += expected >= 0 ? 1 : 0;
        }
        // Both outcomes were tried many times.
        QVERIFY2(found > 100 && found < 380, qPrintable(QString::number(found)));
    }

    void findWithoutFile()
    {
        TFixture f;
        QCOMPARE(f.Find(-1, false, QStringLiteral("abc")), -1);
        QCOMPARE(MessageSearch::FindNext(f.Session, -1, false, QStringLiteral("abc")), -1);
        QCOMPARE(f.Boxes.Count(), 1);
        QCOMPARE(f.Boxes.Last().Text, QStringLiteral("Text not found!"));
    }

    void findNextReportsNotFound_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("findText");
        QTest::addColumn<int>("expected");
        QTest::newRow("found: no box") << -1 << "beta" << 1;
        QTest::newRow("below the match: the box") << 1 << "beta" << -1;
        QTest::newRow("empty find text: the box") << -1 << "" << -1;
    }
    void findNextReportsNotFound()
    {
        QFETCH(int, current);
        QFETCH(QString, findText);
        QFETCH(int, expected);
        TFixture f;
        QVERIFY(f.Open({"alpha", "BETA", "gamma"}));
        QCOMPARE(MessageSearch::FindNext(f.Session, current, false, findText), expected);
        QCOMPARE(f.Boxes.Count(), expected < 0 ? 1 : 0);
        if (expected >= 0)
            return;
        QCOMPARE(f.Boxes.Last().Text, QStringLiteral("Text not found!"));
        QCOMPARE(f.Boxes.Last().Kind, TMsgDlgType::mtInformation);
        QCOMPARE(f.Boxes.Last().Buttons, TMsgDlgButtons(TMsgDlgBtn::mbOK));
    }

    // --- Go to ---------------------------------------------------------------

    void parseMessageCode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<quint32>("code");
        QTest::newRow("1f") << "1f" << true << 0x1Fu;
        QTest::newRow("0") << "0" << true << 0u;
        QTest::newRow("FFFFFFFF") << "FFFFFFFF" << true << 0xFFFFFFFFu;
        QTest::newRow("leading zeros do not count") << "000000000FFFFFFFF" << true << 0xFFFFFFFFu;
        QTest::newRow("mixed case") << "aBcDeF" << true << 0xABCDEFu;
        QTest::newRow("nine significant digits") << "100000000" << false << 0u;
        QTest::newRow("empty") << "" << false << 0u;
        QTest::newRow("a blank is not trimmed here") << " 1" << false << 0u;
        QTest::newRow("full-width digit") << QStringLiteral("\uFF11") << false << 0u;
    }
    void parseMessageCode()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(quint32, code);
        quint32 result = 0x12345678;
        QCOMPARE(MessageSearch::ParseMessageCode(text, result), valid);
        QCOMPARE(result, valid ? code : 0x12345678u);
    }

    void goToMessage_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("expected");
        QTest::newRow("1f") << "1f" << 1;
        QTest::newRow("1F") << "1F" << 1;
        QTest::newRow("001F between blanks") << "  001F  " << 1;
        QTest::newRow("control characters around") << "\t1f\r\n" << 1;
        QTest::newRow("leading zeros beyond eight digits") << "00000000001f" << 1;
        QTest::newRow("more than five digits") << "abcde" << 2;
        QTest::newRow("the largest code") << "ffffffff" << 3;
        QTest::newRow("code 0") << "0" << 4;
    }
    void goToMessage()
    {
        QFETCH(QString, answer);
        QFETCH(int, expected);
        TFixture f;
        QVERIFY(f.Open({"a", "b", "c", "d", "e"}, {}, {0x10, 0x1F, 0xABCDE, 0xFFFFFFFF, 0}));
        f.Answers << answer;
        QCOMPARE(MessageSearch::GoToMessage(f.Session), expected);
        QCOMPARE(f.Boxes.Count(), 0);
        QCOMPARE(f.Dialogs.EnterStringCalls.size(), 1);
        const ScriptedDialogs::EnterStringCall &call = f.Dialogs.EnterStringCalls.at(0);
        QCOMPARE(call.Caption, kCaption);
        QCOMPARE(call.Prompt, kPrompt);
        QCOMPARE(call.Text, QString());
        QCOMPARE(call.HelpKey, QStringLiteral("Form1.GotoDialog"));
        QCOMPARE(call.AllowEmpty, false);
    }

    void goToAsksAgain_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("0x1F") << " 0x1F " << "Invalid hex number \"0x1F\"";
        QTest::newRow("$1F") << "$1F" << "Invalid hex number \"$1F\"";
        QTest::newRow("-1") << "-1" << "Invalid hex number \"-1\"";
        QTest::newRow("+1") << "+1" << "Invalid hex number \"+1\"";
        QTest::newRow("inner blank") << "  1 F " << "Invalid hex number \"1 F\"";
        QTest::newRow("G") << "G" << "Invalid hex number \"G\"";
        QTest::newRow("1Fh") << "1Fh" << "Invalid hex number \"1Fh\"";
        QTest::newRow("nine significant digits") << "\t123456789" << "Invalid hex number \"123456789\"";
        QTest::newRow("nine digits after zeros") << "00100000000" << "Invalid hex number \"00100000000\"";
        QTest::newRow("no such code") << " 1f " << "Message 1F not found!";
        QTest::newRow("no such code, zeros kept") << "0001f" << "Message 0001F not found!";
        QTest::newRow("no such code, upper case") << "abcdef" << "Message ABCDEF not found!";
    }
    void goToAsksAgain()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        TFixture f;
        QVERIFY(f.Open({"a", "b", "c"}, {}, {0x10, 0x20, 0x30}));
        f.Answers << typed << QStringLiteral("30");
        QCOMPARE(MessageSearch::GoToMessage(f.Session), 2);
        QCOMPARE(f.Boxes.Count(), 1);
        QCOMPARE(f.Boxes.Last().Text, message);
        QCOMPARE(f.Boxes.Last().Kind, TMsgDlgType::mtError);
        QCOMPARE(f.Dialogs.EnterStringCalls.size(), 2);
        // Asked again with what the user typed, not trimmed.
        QCOMPARE(f.Dialogs.EnterStringCalls.at(1).Text, typed);
        QCOMPARE(f.Dialogs.EnterStringCalls.at(1).Caption, kCaption);
        QCOMPARE(f.Dialogs.EnterStringCalls.at(1).HelpKey, QStringLiteral("Form1.GotoDialog"));
    }

    void goToCancelled_data()
    {
        QTest::addColumn<QList<std::optional<QString>>>("answers");
        QTest::addColumn<int>("boxes");
        QTest::newRow("cancelled at once") << QList<std::optional<QString>>{std::nullopt} << 0;
        QTest::newRow("cancelled after a missing code")
            << QList<std::optional<QString>>{QStringLiteral("1f"), std::nullopt} << 1;
        QTest::newRow("cancelled after two wrong answers")
            << QList<std::optional<QString>>{QStringLiteral("x"), QStringLiteral("1f"), std::nullopt} << 2;
    }
    void goToCancelled()
    {
        QFETCH(QList<std::optional<QString>>, answers);
        QFETCH(int, boxes);
        TFixture f;
        QVERIFY(f.Open({"a", "b"}, {}, {0x10, 0x20}));
        f.Answers = answers;
        QCOMPARE(MessageSearch::GoToMessage(f.Session), -1);
        QCOMPARE(f.Dialogs.EnterStringCalls.size(), answers.size());
        QCOMPARE(f.Boxes.Count(), boxes);
    }

    void goToFirstOfDuplicateCodes()
    {
        TFixture f;
        QVERIFY(f.Open({"a", "b", "c", "d"}, {}, {0x5, 0x1F, 0x7, 0x1F}));
        f.Answers << QStringLiteral("1f");
        QCOMPARE(MessageSearch::GoToMessage(f.Session), 1);
    }

    void goToWithoutFile()
    {
        TFixture f;
        f.Answers << QStringLiteral("1f");
        QCOMPARE(MessageSearch::GoToMessage(f.Session), -1);
        QCOMPARE(f.Dialogs.EnterStringCalls.size(), 0);
        QCOMPARE(f.Boxes.Count(), 0);
    }

    void trimBlanks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("trimmed");
        QTest::newRow("blanks") << "  1F  " << "1F";
        QTest::newRow("tabs and line ends") << "\t1F\r\n" << "1F";
        QTest::newRow("inner blank kept") << " 1 F " << "1 F";
        QTest::newRow("no-break space") << QStringLiteral("\u00A01F\u00A0") << "1F";
        QTest::newRow("nothing else") << "" << "";
    }
    void trimBlanks()
    {
        QFETCH(QString, text);
        QFETCH(QString, trimmed);
        QCOMPARE(MessageSearch::TrimBlanks(text), trimmed);
    }
};

QTEST_MAIN(TestMessageSearch)
#include "tst_messagesearch.moc"
