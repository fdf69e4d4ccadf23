// The message grid over a real editing session: files written with
// SaveMsgData into a temporary folder are opened by the session, and the grid
// is driven with keys and the mouse and checked through its model, its state
// and the pixels it paints.

#include "editor/EditSession.h"
#include "editor/GridText.h"
#include "editor/MessageGrid.h"
#include "editor/MessageGridModel.h"
#include "editor/OverflowMark.h"
#include "msgfile/MsgFile.h"
#include "platform/CodePages.h"
#include "settings/QtFonts.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestEnvironment.h"
#include "uitext/EnglishMsg.h"
#include "uitext/FormTranslation.h"
#include "uitext/LangUtils.h"
#include "uitext/MsgRes.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

#include <functional>
#include <vector>

namespace {

// Points HOME and the settings at a temporary folder before the application
// object starts.
const TestEnvironment ProcessEnvironment;

struct TMessage
{
    quint32 Code;
    QByteArray Text;
};
using TMessages = std::vector<TMessage>;

TMessages NumberedMessages(int count)
{
    TMessages messages;
    for (int i = 0; i < count; ++i)
        messages.push_back({quint32(0x100 + i), "Message number " + QByteArray::number(i + 1)});
    return messages;
}

void WriteMessages(const QString &fileName, const TMessages &messages)
{
    TMsgData data;
    for (const TMessage &message : messages)
        data.AddMessage(message.Code, message.Text);
    SaveMsgData(fileName, data);
}

// The window as far as the session sees it: it forwards to the grid.
class TGridWindow : public TSessionView
{
public:
    TMessageGrid *Grid = nullptr;
    QList<int> RepaintedMessages;

    void RefreshGrid() override
    {
        if (Grid != nullptr)
            Grid->RefreshGrid();
    }
    void RepaintMessage(int index) override
    {
        RepaintedMessages << index;
        if (Grid != nullptr)
            Grid->RepaintMessage(index);
    }
    void UpdateCommands() override {}
};

// A session with its grid on the screen, in a window that also holds a line
// edit (for focus leaving the grid); files go to a temporary folder and every
// question is answered by a script.
class TGridFixture
{
public:
    explicit TGridFixture(bool show = true)
        : Session(Window)
    {
        Top.setObjectName(QStringLiteral("GridTestWindow"));
        auto *layout = new QVBoxLayout(&Top);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        Grid = new TMessageGrid(Session, &Top);
        Other = new QLineEdit(&Top);
        layout->addWidget(Grid, 1);
        layout->addWidget(Other);
        Window.Grid = Grid;
        QObject::connect(Grid, &TMessageGrid::EditRequested, [this](int index) { Session.EditMessage(index); });
        Top.resize(500, 400);
        if (!show)
            return;
        Top.show();
        Grid->setFocus();
    }

    bool Exposed() { return QTest::qWaitForWindowExposed(&Top); }

    // Writes Messages (and, when given, an initial backup holding Original)
    // and opens them.
    bool Open(const TMessages &messages, const TMessages *original = nullptr)
    {
        const QString fileName = Environment.path(QStringLiteral("grid.msg"));
        WriteMessages(fileName, messages);
        if (original != nullptr)
            WriteMessages(fileName + QStringLiteral(".OrigBAK"), *original);
        return Session.OpenDocument(fileName);
    }

    // Makes the grid's viewport Width pixels wide by resizing the window.
    bool SetViewportWidth(int width)
    {
        for (int attempt = 0; attempt < 3 && Grid->viewport()->width() != width; ++attempt) {
            Top.resize(Top.width() + width - Grid->viewport()->width(), Top.height());
            QCoreApplication::processEvents();
        }
        return Grid->viewport()->width() == width;
    }

    // The grid's current row and the move to a row, in the grid's own rows.
    int CurrentRow() const { return Grid->RowOfMessage(Grid->CurrentMessage()); }
    void SetCurrentRow(int row) { Grid->SetCurrentMessage(Grid->MessageOfRow(row)); }

    QModelIndex Index(int designRow, int designColumn) const
    {
        return Grid->model()->index(designRow - 1, designColumn - 1);
    }

    // A cell's rectangle in the grid's own coordinates.
    QRect CellRect(int designRow, int designColumn) const
    {
        const QRect rect = Grid->visualRect(Index(designRow, designColumn));
        return rect.translated(Grid->viewport()->mapTo(Grid, QPoint(0, 0)));
    }

    QImage Grab() { return Grid->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    TestEnvironment Environment;
    ScriptedMessageBoxes Boxes;
    ScriptedDialogs Dialogs;
    TGridWindow Window;
    TEditSession Session;
    QWidget Top;
    TMessageGrid *Grid = nullptr;
    QLineEdit *Other = nullptr;
};

bool IsColor(QRgb pixel, int red, int green, int blue, int tolerance = 60)
{
    return qAbs(qRed(pixel) - red) <= tolerance && qAbs(qGreen(pixel) - green) <= tolerance
        && qAbs(qBlue(pixel) - blue) <= tolerance;
}

int CountPixels(const QImage &image, const QRect &rect, const std::function<bool(QRgb)> &matches)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += matches(image.pixel(x, y)) ? 1 : 0;
    return count;
}

// The pixels of Rect that differ from Background: what was drawn on it.
QRect InkBounds(const QImage &image, const QRect &rect, QRgb background)
{
    QRect bounds;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (image.pixel(x, y) != background)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

TFontRecord Colored(const QString &name, qint32 color)
{
    TFontRecord font = DefaultNamedFont(name);
    font.Color = color;
    return font;
}

constexpr qint32 Red = 0x0000FF;   // 0x00BBGGRR
constexpr qint32 Blue = 0xFF0000;
constexpr qint32 Green = 0x008000;
constexpr qint32 Black = 0x000000;

// The overflow mark's triangle as it must look in the picture's last six
// rows: "." transparent, "B" black, "G" green.
const char *const TrianglePicture[] = {
    ".....B",
    "....BB",
    "...BGB",
    "..BGGB",
    ".BGGGB",
    "BBBBBB",
};

} // namespace

class TestMessageGrid : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void overflowMarkPicture();
    void overflowMarkAtRatio_data();
    void overflowMarkAtRatio();
    void gridText_data();
    void gridText();
    void oemGridText();
    void codeText_data();
    void codeText();

    void rowCount_data();
    void rowCount();
    void noFile();
    void keys_data();
    void keys();
    void typingDoesNotMove();
    void endThenEnterEditsLastMessage_data();
    void endThenEnterEditsLastMessage();
    void tabLeavesGrid();
    void movingToAMessageCentresIt_data();
    void movingToAMessageCentresIt();
    void doubleClick_data();
    void doubleClick();
    void headerClickKeepsCell();
    void otherButtonsKeepCell_data();
    void otherButtonsKeepCell();
    void cellTexts();
    void oemTextColumn();
    void changedFont();
    void currentCellHighlight();
    void textPlacement_data();
    void textPlacement();
    void overflowMarkInCell();
    void overflowBoundary_data();
    void overflowBoundary();
    void viewOriginal();
    void viewSetBeforeShown_data();
    void viewSetBeforeShown();
    void thumbDragScrolls();
    void columnWidths_data();
    void columnWidths();
    void resizeKeepsViewAndRow_data();
    void resizeKeepsViewAndRow();
    void fontRowHeight_data();
    void fontRowHeight();
    void idColumnWidth_data();
    void idColumnWidth();
    void shorterOriginal();
};

void TestMessageGrid::initTestCase()
{
    AddLanguage(QString::fromLatin1(EnglishLanguageEntry), EnglishTable());
    AddLanguage(QStringLiteral("LONGID=Long ID"), QStringLiteral("IdTitle=Message identifier\nStrTitle=Current\n"));
    SetLanguage(QStringLiteral("ENGLISH"));
    QCOMPARE(GetMsg(QStringLiteral("IdTitle")), QStringLiteral("ID"));
}

void TestMessageGrid::init()
{
    SetLanguage(QStringLiteral("ENGLISH"));
    SetCodePages(QStringLiteral("windows-1252"), QStringLiteral("IBM437"));
}

// --- The overflow mark's picture ---------------------------------------------

void TestMessageGrid::overflowMarkPicture()
{
    const QImage image = OverflowMarkImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.size(), QSize(32, 32));
    QCOMPARE(image.devicePixelRatio(), 1.0);
    QCOMPARE(OverflowMarkPixmap().size(), QSize(32, 32));
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            char expected = '.';
            if (y >= 26 && x >= 26)
                expected = TrianglePicture[y - 26][x - 26];
            const QRgb pixel = image.pixel(x, y);
            const QByteArray where = QByteArray::number(x) + "," + QByteArray::number(y);
            switch (expected) {
            case '.':
                QVERIFY2(qAlpha(pixel) == 0, where);
                break;
            case 'B':
                QVERIFY2(pixel == qRgba(0, 0, 0, 255), where);
                break;
            default:
                QVERIFY2(pixel == qRgba(0, 255, 0, 255), where);
                break;
            }
        }
    }
}

void TestMessageGrid::overflowMarkAtRatio_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("triangle");

    QTest::newRow("1") << 1.0 << 32 << 6;
    QTest::newRow("1.5") << 1.5 << 48 << 9;
    QTest::newRow("2") << 2.0 << 64 << 12;
    QTest::newRow("3") << 3.0 << 96 << 18;
}

void TestMessageGrid::overflowMarkAtRatio()
{
    QFETCH(qreal, ratio);
    QFETCH(int, size);
    QFETCH(int, triangle);

    const QImage image = OverflowMarkImage(ratio).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.size(), QSize(size, size));
    QCOMPARE(image.devicePixelRatio(), ratio);
    QCOMPARE(image.deviceIndependentSize(), QSizeF(32, 32));

    int green = 0;
    for (int y = 0; y < size; ++y) {
        // Row k of the triangle (from its top) holds k + 1 pixels, flush
        // right; every pixel is transparent, black or green: nothing blended.
        const int row = y - (size - triangle);
        const int opaque = row < 0 ? 0 : row + 1;
        for (int x = 0; x < size; ++x) {
            const QRgb pixel = image.pixel(x, y);
            const QByteArray where = QByteArray::number(x) + "," + QByteArray::number(y);
            if (x < size - opaque) {
                QVERIFY2(qAlpha(pixel) == 0, where);
                continue;
            }
            QVERIFY2(pixel == qRgba(0, 0, 0, 255) || pixel == qRgba(0, 255, 0, 255), where);
            green += pixel == qRgba(0, 255, 0, 255) ? 1 : 0;
        }
    }
    // Outlined on the right, at the bottom and on the slanting side.
    QCOMPARE(image.pixel(size - 1, size - triangle), qRgba(0, 0, 0, 255));
    QCOMPARE(image.pixel(size - 1, size - 1), qRgba(0, 0, 0, 255));
    QCOMPARE(image.pixel(size - triangle, size - 1), qRgba(0, 0, 0, 255));
    QCOMPARE(image.pixel(size - triangle / 2, size - triangle / 2 - 1), qRgba(0, 0, 0, 255));
    QVERIFY(green > 0);
}

// --- The display form ----------------------------------------------------------

void TestMessageGrid::gridText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("plain") << QByteArray("abc") << QByteArray("abc");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("tab at the start") << QByteArray("\tx") << QByteArray("        x");
    QTest::newRow("tab after one") << QByteArray("a\tb") << QByteArray("a       b");
    QTest::newRow("tab after seven") << QByteArray("abcdefg\tz") << QByteArray("abcdefg z");
    QTest::newRow("tab after eight") << QByteArray("abcdefgh\tz") << QByteArray("abcdefgh        z");
    QTest::newRow("two tabs") << QByteArray("\t\t|") << QByteArray("                |");
    QTest::newRow("line feed") << QByteArray("x\ny") << QByteArray("x\\ny");
    QTest::newRow("trailing line feed") << QByteArray("end\n") << QByteArray("end\\n");
    // The two characters of a line feed count for the next tab.
    QTest::newRow("tab after a line feed") << QByteArray("abc\n\tz") << QByteArray("abc\\n   z");
    QTest::newRow("carriage return stays") << QByteArray("a\rb") << QByteArray("a\rb");
    QTest::newRow("high bytes stay") << QByteArray("\xE9\xFF") << QByteArray("\xE9\xFF");
}

void TestMessageGrid::gridText()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(ToGridText(text, false), expected);
}

void TestMessageGrid::oemGridText()
{
    // IBM437 0x82 is e acute, windows-1252 0xE9; expanded first, then
    // converted, one byte for one byte.
    QCOMPARE(ToGridText(QByteArray("\x82\tb\nc"), true), QByteArray("\xE9       b\\nc"));
    QCOMPARE(ToGridText(QByteArray("\x82"), false), QByteArray("\x82"));
}

void TestMessageGrid::codeText_data()
{
    QTest::addColumn<quint32>("code");
    QTest::addColumn<QString>("expected");

    QTest::newRow("0") << quint32(0) << QStringLiteral("00000");
    QTest::newRow("1F") << quint32(0x1F) << QStringLiteral("0001F");
    QTest::newRow("ABCDE") << quint32(0xABCDE) << QStringLiteral("ABCDE");
    QTest::newRow("FFFFF") << quint32(0xFFFFF) << QStringLiteral("FFFFF");
    QTest::newRow("100000") << quint32(0x100000) << QStringLiteral("100000");
    QTest::newRow("1234567") << quint32(0x1234567) << QStringLiteral("1234567");
    QTest::newRow("FFFFFFFF") << quint32(0xFFFFFFFF) << QStringLiteral("FFFFFFFF");
}

void TestMessageGrid::codeText()
{
    QFETCH(quint32, code);
    QFETCH(QString, expected);

    QCOMPARE(GridCodeText(code), expected);
    // As the ID column of a loaded file shows it.
    TGridFixture fixture;
    QVERIFY(fixture.Open({{7, "first"}, {code, "the one"}, {8, "last"}}));
    QCOMPARE(fixture.Grid->model()->headerData(1, Qt::Vertical).toString(), expected);
}

// --- Rows and keys ---------------------------------------------------------------

void TestMessageGrid::rowCount_data()
{
    QTest::addColumn<int>("messages");
    QTest::addColumn<int>("modelRows");
    QTest::addColumn<int>("designRows");

    QTest::newRow("none") << 0 << 1 << 2;
    QTest::newRow("one") << 1 << 1 << 2;
    QTest::newRow("two") << 2 << 2 << 3;
    QTest::newRow("seven") << 7 << 7 << 8;
    QTest::newRow("many") << 300 << 300 << 301;
}

void TestMessageGrid::rowCount()
{
    QFETCH(int, messages);
    QFETCH(int, modelRows);
    QFETCH(int, designRows);

    TGridFixture fixture;
    QVERIFY(fixture.Open(NumberedMessages(messages)));
    QCOMPARE(fixture.Grid->model()->rowCount(), modelRows);
    QCOMPARE(fixture.Grid->RowCount(), designRows);
    QCOMPARE(fixture.Grid->verticalHeader()->count(), modelRows);
    QCOMPARE(fixture.Boxes.Count(), 0);

    // Closing the file leaves one empty row.
    QVERIFY(fixture.Session.CloseDocument(false));
    QCOMPARE(fixture.Grid->model()->rowCount(), 1);
    QCOMPARE(fixture.Grid->RowCount(), 2);
    QVERIFY(fixture.Grid->model()->data(fixture.Index(1, 2)).toString().isEmpty());
}

void TestMessageGrid::noFile()
{
    TGridFixture fixture;
    QVERIFY(fixture.Exposed());
    QAbstractItemModel *model = fixture.Grid->model();
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(model->columnCount(), 2);
    QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Original"));
    QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Text"));
    QVERIFY(model->headerData(0, Qt::Vertical).toString().isEmpty());
    QVERIFY(model->data(fixture.Index(1, 1)).toString().isEmpty());
    QVERIFY(model->data(fixture.Index(1, 2)).toString().isEmpty());

    // The titles are painted in the title font's colour, the ID title in the
    // corner above the ID column.
    fixture.Grid->ApplyFonts(DefaultNamedFont(QStringLiteral("NormalFont")), Colored(QStringLiteral("TitleFont"), Red),
                             DefaultNamedFont(QStringLiteral("OriginFont")),
                             DefaultNamedFont(QStringLiteral("ChangedFont")));
    const QImage image = fixture.Grab();
    const auto red = [](QRgb pixel) { return IsColor(pixel, 255, 0, 0); };
    const QRect corner(0, 0, fixture.Grid->verticalHeader()->width(), fixture.Grid->horizontalHeader()->height());
    QVERIFY(CountPixels(image, corner.translated(fixture.Grid->frameWidth(), fixture.Grid->frameWidth()), red) > 0);
    const QRect title(fixture.Grid->horizontalHeader()->mapTo(fixture.Grid, QPoint(0, 0)),
                      fixture.Grid->horizontalHeader()->size());
    QVERIFY(CountPixels(image, title, red) > 0);

    // Enter and a double-click on a text cell ask for nothing.
    QSignalSpy edits(fixture.Grid, &TMessageGrid::EditRequested);
    QTest::keyClick(fixture.Grid, Qt::Key_Return);
    QTest::keyClick(fixture.Grid, Qt::Key_Enter);
    QTest::mouseDClick(fixture.Grid->viewport(), Qt::LeftButton, {},
                       fixture.Grid->visualRect(fixture.Index(1, 2)).center());
    QCOMPARE(edits.count(), 0);
    QCOMPARE(fixture.Dialogs.EditTextCalls.size(), 0);
    QCOMPARE(fixture.Grid->CurrentMessage(), -1);
}

void TestMessageGrid::keys_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QList<int>>("edits"); // the messages asked for

    const int last = 40;
    QTest::newRow("none") << QString() << 1 << 2 << QList<int>{};
    QTest::newRow("End") << QStringLiteral("End") << last << 2 << QList<int>{};
    QTest::newRow("End Home") << QStringLiteral("End Home") << 1 << 2 << QList<int>{};
    QTest::newRow("Down Down Home") << QStringLiteral("Down Down Home") << 1 << 2 << QList<int>{};
    QTest::newRow("Down Down") << QStringLiteral("Down Down") << 3 << 2 << QList<int>{};
    QTest::newRow("Left") << QStringLiteral("Left") << 1 << 1 << QList<int>{};
    QTest::newRow("Left Left") << QStringLiteral("Left Left") << 1 << 1 << QList<int>{};
    QTest::newRow("Left Right") << QStringLiteral("Left Right") << 1 << 2 << QList<int>{};
    QTest::newRow("Right") << QStringLiteral("Right") << 1 << 2 << QList<int>{};
    QTest::newRow("Left End") << QStringLiteral("Left End") << last << 1 << QList<int>{};
    QTest::newRow("Left Down Right") << QStringLiteral("Left Down Right") << 2 << 2 << QList<int>{};
    QTest::newRow("Return") << QStringLiteral("Return") << 1 << 2 << QList<int>{0};
    QTest::newRow("Down Enter") << QStringLiteral("Down Enter") << 2 << 2 << QList<int>{1};
    QTest::newRow("Left Down Down Return") << QStringLiteral("Left Down Down Return") << 3 << 1 << QList<int>{2};
    QTest::newRow("End Return Home Return") << QStringLiteral("End Return Home Return") << 1 << 2
                                            << QList<int>{last - 1, 0};
}

void TestMessageGrid::keys()
{
    QFETCH(QString, keys);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QList<int>, edits);

    TGridFixture fixture;
    QVERIFY(fixture.Open(NumberedMessages(40)));
    QVERIFY(fixture.Exposed());
    QSignalSpy requests(fixture.Grid, &TMessageGrid::EditRequested);
    for (const QString &key : keys.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QKeySequence sequence(key);
        QTest::keyClick(fixture.Grid, Qt::Key(sequence[0].key()));
    }
    QCOMPARE(fixture.CurrentRow(), row);
    QCOMPARE(fixture.Grid->CurrentColumn(), column);
    QCOMPARE(fixture.Grid->IsViewingOriginal(), column == 1);
    QList<int> asked;
    for (const QList<QVariant> &arguments : requests)
        asked << arguments.at(0).toInt();
    QCOMPARE(asked, edits);
    QCOMPARE(fixture.Dialogs.EditTextCalls.size(), edits.size());

    // The current cell is on the screen, its column the leftmost.
    const QRect cell = fixture.Grid->visualRect(fixture.Index(row, column));
    QVERIFY(fixture.Grid->viewport()->rect().contains(cell.topLeft()));
    QCOMPARE(cell.left(), 0);
}

void TestMessageGrid::typingDoesNotMove()
{
    TGridFixture fixture;
    QVERIFY(fixture.Open({{1, "alpha"}, {2, "beta"}, {3, "xylophone"}, {4, "x"}}));
    QVERIFY(fixture.Exposed());
    QTest::keyClicks(fixture.Grid, QStringLiteral("xb"));
    QCOMPARE(fixture.CurrentRow(), 1);
    QCOMPARE(fixture.Grid->CurrentColumn(), 2);
}

void TestMessageGrid::endThenEnterEditsLastMessage_data()
{
    QTest::addColumn<int>("messages");
    QTest::newRow("1") << 1;
    QTest::newRow("5") << 5;
    QTest::newRow("several screens") << 200;
}

void TestMessageGrid::endThenEnterEditsLastMessage()
{
    QFETCH(int, messages);

    TGridFixture fixture;
    const TMessages file = NumberedMessages(messages);
    QVERIFY(fixture.Open(file));
    QVERIFY(fixture.Exposed());
    QSignalSpy requests(fixture.Grid, &TMessageGrid::EditRequested);
    QTest::keyClick(fixture.Grid, Qt::Key_End);
    QCOMPARE(fixture.CurrentRow(), messages);
    QTest::keyClick(fixture.Grid, Qt::Key_Return);
    QCOMPARE(requests.count(), 1);
    QCOMPARE(requests.at(0).at(0).toInt(), messages - 1);
    QCOMPARE(fixture.Dialogs.EditTextCalls.size(), 1);
    QCOMPARE(fixture.Dialogs.EditTextCalls.at(0).Text, file.back().Text);
    // The last row is on the screen.
    const QRect cell = fixture.Grid->visualRect(fixture.Index(messages, 2));
    QVERIFY2(fixture.Grid->viewport()->rect().contains(cell), qPrintable(QStringLiteral("%1 %2 %3 %4 in %5 %6").arg(cell.x()).arg(cell.y()).arg(cell.width()).arg(cell.height()).arg(fixture.Grid->viewport()->width()).arg(fixture.Grid->viewport()->height())));
}

void TestMessageGrid::tabLeavesGrid()
{
    TGridFixture fixture;
    QVERIFY(fixture.Open(NumberedMessages(5)));
    QVERIFY(fixture.Exposed());
    QApplication::setActiveWindow(&fixture.Top);
    fixture.Grid->setFocus();
    QTRY_VERIFY(fixture.Grid->hasFocus());
    QTest::keyClick(fixture.Grid, Qt::Key_Down);
    QTest::keyClick(fixture.Grid, Qt::Key_Tab);
    QTRY_VERIFY(fixture.Other->hasFocus());
    QCOMPARE(fixture.CurrentRow(), 2);
    QCOMPARE(fixture.Grid->CurrentColumn(), 2);
}

void TestMessageGrid::movingToAMessageCentresIt_data()
{
    QTest::addColumn<int>("top");    // the first row shown before the move
    QTest::addColumn<int>("target"); // the message moved to
    QTest::addColumn<QString>("expected");

    QTest::newRow("far below: centred") << 0 << 150 << "centre";
    QTest::newRow("far above: centred") << 150 << 20 << "centre";
    QTest::newRow("on the screen: nothing scrolls") << 40 << 45 << "stays";
    QTest::newRow("just below the screen: centred") << 0 << -1 << "centre"; // -1: the first row below
    QTest::newRow("near the end: as far as the rows go") << 0 << 199 << "end";
    QTest::newRow("near the start: as far as the rows go") << 150 << 1 << "start";
}

// Go to and find move to a message by SetCurrentMessage: it comes into the
// middle of the view, or stays where it is when it is already shown.
void TestMessageGrid::movingToAMessageCentresIt()
{
    QFETCH(int, top);
    QFETCH(int, target);
    QFETCH(QString, expected);

    TGridFixture fixture;
    QVERIFY(fixture.Open(NumberedMessages(200)));
    QVERIFY(fixture.Exposed());
    QScrollBar *bar = fixture.Grid->verticalScrollBar();
    bar->setValue(top);
    QCOMPARE(fixture.Grid->rowAt(0), top);
    const int rowHeight = fixture.Grid->rowHeight(0);
    const int shown = fixture.Grid->viewport()->height() / rowHeight; // rows wholly on the screen
    QVERIFY(shown > 5);
    if (target < 0)
        target = top + shown;

    fixture.Grid->SetCurrentMessage(target);
    QCOMPARE(fixture.Grid->CurrentMessage(), target);
    const int position = fixture.Grid->rowViewportPosition(target);
    QVERIFY(position >= 0 && position + rowHeight <= fixture.Grid->viewport()->height());
    if (expected == QStringLiteral("stays"))
        QCOMPARE(bar->value(), top);
    else if (expected == QStringLiteral("end"))
        QCOMPARE(bar->value(), bar->maximum());
    else if (expected == QStringLiteral("start"))
        QCOMPARE(bar->value(), 0);
    else
        QCOMPARE(position / rowHeight, (shown - 1) / 2);
}

void TestMessageGrid::doubleClick_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("edited"); // the row whose message is asked for, 0 for none
    QTest::addColumn<int>("currentRow");

    QTest::newRow("text cell") << QStringLiteral("text 3") << 3 << 3;
    QTest::newRow("text cell of the first row") << QStringLiteral("text 1") << 1 << 1;
    QTest::newRow("original cell") << QStringLiteral("original 2") << 2 << 2;
    QTest::newRow("ID column") << QStringLiteral("id 3") << 0 << 1;
    QTest::newRow("title row") << QStringLiteral("title") << 0 << 1;
    QTest::newRow("below the last row") << QStringLiteral("below") << 0 << 1;
    QTest::newRow("right button") << QStringLiteral("right 3") << 0 << 1;
}

void TestMessageGrid::doubleClick()
{
    QFETCH(QString, target);
    QFETCH(int, edited);
    QFETCH(int, currentRow);

    TGridFixture fixture;
    QVERIFY(fixture.Open(NumberedMessages(4)));
    QVERIFY(fixture.Exposed());
    fixture.Grid->SetViewingOriginal(true); // both text columns on the screen
    QSignalSpy requests(fixture.Grid, &TMessageGrid::EditRequested);

    const QStringList parts = target.split(QLatin1Char(' '));
    const int row = parts.size() > 1 ? parts.at(1).toInt() : 0;
    QHeaderView *ids = fixture.Grid->verticalHeader();
    QHeaderView *titles = fixture.Grid->horizontalHeader();
    if (parts.at(0) == QStringLiteral("text") || parts.at(0) == QStringLiteral("original")) {
        const int column = parts.at(0) == QStringLiteral("text") ? 2 : 1;
        const QRect cell = fixture.Grid->visualRect(fixture.Index(row, column));
        QVERIFY(fixture.Grid->viewport()->rect().contains(cell.topLeft() + QPoint(3, 3)));
        QTest::mouseDClick(fixture.Grid->viewport(), Qt::LeftButton, {}, cell.topLeft() + QPoint(3, 3));
    } else if (parts.at(0) == QStringLiteral("id")) {
        QTest::mouseDClick(ids->viewport(), Qt::LeftButton, {},
                           QPoint(ids->width() / 2, ids->sectionViewportPosition(row - 1) + 3));
    } else if (parts.at(0) == QStringLiteral("title")) {
        QTest::mouseDClick(titles->viewport(), Qt::LeftButton, {}, QPoint(10, titles->height() / 2));
    } else if (parts.at(0) == QStringLiteral("below")) {
        const QRect lastCell = fixture.Grid->visualRect(fixture.Index(4, 2));
        QVERIFY(lastCell.bottom() + 10 < fixture.Grid->viewport()->height());
        QTest::mouseDClick(fixture.Grid->viewport(), Qt::LeftButton, {}, QPoint(5, lastCell.bottom() + 10));
    } else {
        const QRect cell = fixture.Grid->visualRect(fixture.Index(row, 1));
        QTest::mouseDClick(fixture.Grid->viewport(), Qt::RightButton, {}, cell.center());
    }

    QCOMPARE(requests.count(), edited == 0 ? 0 : 1);
    if (edited != 0)
        QCOMPARE(requests.at(0).at(0).toInt(), edited - 1);
    QCOMPARE(fixture.Dialogs.EditTextCalls.size(), edited == 0 ? 0 : 1);
    if (edited != 0)
        QCOMPARE(fixture.Dialogs.EditTextCalls.at(0).Text, NumberedMessages(4).at(size_t(edited - 1)).Text);
    QCOMPARE(fixture.CurrentRow(), currentRow);
}

void TestMessageGrid::headerClickKeepsCell()
{
    TGridFixture fixture;
    QVERIFY(fixture.Open(NumberedMessages(6)));
    QVERIFY(fixture.Exposed());
    QHeaderView *ids = fixture.Grid->verticalHeader();
    QTest::mouseClick(ids->viewport(), Qt::LeftButton, {}, QPoint(5, ids->sectionViewportPosition(3) + 3));
    QHeaderView *titles = fixture.Grid->horizontalHeader();
    QTest::mouseClick(titles->viewport(), Qt::LeftButton, {}, QPoint(5, titles->height() / 2));
    QCOMPARE(fixture.CurrentRow(), 1);
    QCOMPARE(fixture.Grid->CurrentColumn(), 2);
    // Dragging a column's edge does not resize it.
    const int width = fixture.Grid->columnWidth(1);
    const int edge = titles->sectionViewportPosition(1) + titles->sectionSize(1) - 1;
    QTest::mousePress(titles->viewport(), Qt::LeftButton, {}, QPoint(edge, 3));
    QTest::mouseMove(titles->viewport(), QPoint(edge - 40, 3));
    QTest::mouseRelease(titles->viewport(), Qt::LeftButton, {}, QPoint(edge - 40, 3));
    QCOMPARE(fixture.Grid->columnWidth(1), width);
}

void TestMessageGrid::otherButtonsKeepCell_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<int>("currentRow");

    QTest::newRow("left") << Qt::LeftButton << 3;
    QTest::newRow("right") << Qt::RightButton << 1;
    QTest::newRow("middle") << Qt::MiddleButton << 1;
}

void TestMessageGrid::otherButtonsKeepCell()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(int, currentRow);

    TGridFixture fixture;
    QVERIFY(fixture.Open(NumberedMessages(6)));
    QVERIFY(fixture.Exposed());
    const QRect cell = fixture.Grid->visualRect(fixture.Index(3, 2));
    QTest::mouseClick(fixture.Grid->viewport(), button, {}, cell.center());
    QCOMPARE(fixture.CurrentRow(), currentRow);
    QCOMPARE(fixture.Grid->CurrentColumn(), 2);
}

// --- What the cells show -------------------------------------------------------

void TestMessageGrid::cellTexts()
{
    TGridFixture fixture;
    const TMessages original{{1, "\tab"}, {2, "one\ntwo"}, {3, "caf\xE9"}};
    const TMessages current{{1, "\tab"}, {2, "uno\ndo\ttres"}, {3, "caf\xE9"}};
    QVERIFY(fixture.Open(current, &original));
    QAbstractItemModel *model = fixture.Grid->model();

    QCOMPARE(model->data(fixture.Index(1, 1)).toString(), QStringLiteral("        ab"));
    QCOMPARE(model->data(fixture.Index(1, 2)).toString(), QStringLiteral("        ab"));
    QCOMPARE(model->data(fixture.Index(2, 1)).toString(), QStringLiteral("one\\ntwo"));
    QCOMPARE(model->data(fixture.Index(2, 2)).toString(), QStringLiteral("uno\\ndo tres"));
    QCOMPARE(model->data(fixture.Index(3, 2)).toString(), QStringLiteral("caf\u00E9"));
    QCOMPARE(model->headerData(2, Qt::Vertical).toString(), QStringLiteral("00003"));
    QVERIFY(!(model->flags(fixture.Index(2, 2)) & Qt::ItemIsEditable));
}

void TestMessageGrid::oemTextColumn()
{
    TGridFixture fixture;
    QVERIFY(fixture.Open({{1, "plain"}, {2, "\x82t\x82"}}));
    QAbstractItemModel *model = fixture.Grid->model();
    // Loaded texts are ANSI: 0x82 is windows-1252's low quotation mark.
    QCOMPARE(model->data(fixture.Index(2, 2)).toString(), QStringLiteral("\u201At\u201A"));

    // An entry marked as OEM shows through the OEM code page in the Text
    // column; the original keeps its own (ANSI) flag.
    fixture.Dialogs.OnEditText = [](QByteArray &text, const QByteArray &, bool &oem) {
        text = "\x82t\x82";
        oem = true;
        return true;
    };
    fixture.Session.EditMessage(0);
    QCOMPARE(model->data(fixture.Index(1, 2)).toString(), QStringLiteral("\u00E9t\u00E9"));
    QCOMPARE(model->data(fixture.Index(1, 1)).toString(), QStringLiteral("plain"));
}

void TestMessageGrid::changedFont()
{
    TGridFixture fixture;
    const TMessages original{{1, "same"}, {2, "old text"}, {3, "WWWWWW"}};
    const TMessages current{{1, "same"}, {2, "new text"}, {3, "WWWWWW"}};
    QVERIFY(fixture.Open(current, &original));
    fixture.Grid->ApplyFonts(Colored(QStringLiteral("NormalFont"), Black), DefaultNamedFont(QStringLiteral("TitleFont")),
                             Colored(QStringLiteral("OriginFont"), Blue), Colored(QStringLiteral("ChangedFont"), Red));
    QVERIFY(fixture.Exposed());
    TMessageGridModel &model = fixture.Grid->Model();

    const auto red = [](QRgb pixel) { return IsColor(pixel, 255, 0, 0, 80); };
    const auto blue = [](QRgb pixel) { return IsColor(pixel, 0, 0, 255, 80); };
    const auto dark = [](QRgb pixel) { return qRed(pixel) < 80 && qGreen(pixel) < 80 && qBlue(pixel) < 80; };

    // Row 2 differs from its original: bold and red. Row 1 is current.
    QVERIFY(model.CellFont(fixture.Index(2, 2)).Font.bold());
    QVERIFY(!model.CellFont(fixture.Index(3, 2)).Font.bold());
    QImage image = fixture.Grab();
    QVERIFY(CountPixels(image, fixture.CellRect(2, 2), red) > 0);
    QCOMPARE(CountPixels(image, fixture.CellRect(3, 2), red), 0);
    QVERIFY(CountPixels(image, fixture.CellRect(3, 2), dark) > 0);

    // The original column is always in the origin font.
    fixture.Grid->SetViewingOriginal(true);
    image = fixture.Grab();
    QVERIFY(CountPixels(image, fixture.CellRect(2, 1).intersected(fixture.Grid->rect()), blue) > 0);
    QVERIFY(CountPixels(image, fixture.CellRect(3, 1).intersected(fixture.Grid->rect()), blue) > 0);
    fixture.Grid->SetViewingOriginal(false);

    // Typing the original text back: normal again.
    fixture.Dialogs.OnEditText = [](QByteArray &text, const QByteArray &originalText, bool &) {
        text = originalText;
        return true;
    };
    fixture.Session.EditMessage(1);
    QCOMPARE(fixture.Window.RepaintedMessages, QList<int>{1});
    QVERIFY(!model.CellFont(fixture.Index(2, 2)).Font.bold());
    image = fixture.Grab();
    QCOMPARE(CountPixels(image, fixture.CellRect(2, 2), red), 0);
    QVERIFY(CountPixels(image, fixture.CellRect(2, 2), dark) > 0);

    // A new text for row 3: changed.
    fixture.Dialogs.OnEditText = [](QByteArray &text, const QByteArray &, bool &) {
        text = "WWWWWWX";
        return true;
    };
    fixture.Session.EditMessage(2);
    image = fixture.Grab();
    QVERIFY(CountPixels(image, fixture.CellRect(3, 2), red) > 0);
}

void TestMessageGrid::currentCellHighlight()
{
    TGridFixture fixture;
    QVERIFY(fixture.Open(NumberedMessages(5)));
    QVERIFY(fixture.Exposed());
    const QPalette &palette = fixture.Grid->palette();
    const QRgb highlight = palette.color(QPalette::Active, QPalette::Highlight).rgb();
    const QRgb base = palette.color(QPalette::Active, QPalette::Base).rgb();
    const QRgb highlightText = palette.color(QPalette::Active, QPalette::HighlightedText).rgb();
    const QRgb button = palette.color(QPalette::Active, QPalette::Button).rgb();
    QVERIFY(highlight != base);

    QImage image = fixture.Grab();
    QCOMPARE(image.pixel(fixture.CellRect(1, 2).topLeft()), highlight);
    QCOMPARE(image.pixel(fixture.CellRect(2, 2).topLeft()), base);
    // The text of the current cell is in the highlight text colour.
    const auto highlighted = [highlightText](QRgb pixel) {
        return IsColor(pixel, qRed(highlightText), qGreen(highlightText), qBlue(highlightText), 40);
    };
    QVERIFY(CountPixels(image, fixture.CellRect(1, 2), highlighted) > 0);
    // The ID cells are fixed cells: button face, with the code written on it.
    QHeaderView *ids = fixture.Grid->verticalHeader();
    const QPoint id = ids->mapTo(fixture.Grid, QPoint(0, ids->sectionViewportPosition(1)));
    QCOMPARE(image.pixel(id), button);
    const QRect idCell(id, QSize(ids->width() - 1, ids->sectionSize(1) - 1));
    const auto dark = [](QRgb pixel) { return qRed(pixel) < 80 && qGreen(pixel) < 80 && qBlue(pixel) < 80; };
    QVERIFY(CountPixels(image, idCell, dark) > 0);
    QCOMPARE(CountPixels(image, QRect(idCell.topLeft(), QSize(2, idCell.height())), dark), 0);

    QTest::keyClick(fixture.Grid, Qt::Key_Down);
    image = fixture.Grab();
    QCOMPARE(image.pixel(fixture.CellRect(1, 2).topLeft()), base);
    QCOMPARE(image.pixel(fixture.CellRect(2, 2).topLeft()), highlight);

    // Lines between the cells.
    const QRect cell = fixture.CellRect(3, 2);
    QVERIFY(image.pixel(cell.left(), cell.bottom() + 1) != base);
}

void TestMessageGrid::textPlacement_data()
{
    QTest::addColumn<int>("points");
    QTest::newRow("8 points") << 8;
    QTest::newRow("10 points") << 10;
    QTest::newRow("24 points") << 24;
}

void TestMessageGrid::textPlacement()
{
    QFETCH(int, points);

    TGridFixture fixture;
    QVERIFY(fixture.Open({{1, "WWWW"}, {2, "WWWW"}}));
    TFontRecord normal = DefaultNamedFont(QStringLiteral("NormalFont"));
    normal.Size = points;
    fixture.Grid->ApplyFonts(normal, DefaultNamedFont(QStringLiteral("TitleFont")),
                             DefaultNamedFont(QStringLiteral("OriginFont")),
                             DefaultNamedFont(QStringLiteral("ChangedFont")));
    QVERIFY(fixture.Exposed());
    const QImage image = fixture.Grab();
    const QRect cell = fixture.CellRect(2, 2);
    const QRect ink = InkBounds(image, cell, fixture.Grid->palette().color(QPalette::Active, QPalette::Base).rgb());
    QVERIFY(!ink.isEmpty());

    const QFontMetrics metrics(fixture.Grid->Model().NormalFont().Font, fixture.Grid);
    const int top = qMax((cell.height() - metrics.height()) / 2, 2);
    QVERIFY2(ink.left() >= cell.left() + 2 && ink.left() <= cell.left() + 4,
             qPrintable(QStringLiteral("ink from x %1, cell from %2").arg(ink.left()).arg(cell.left())));
    QVERIFY2(ink.top() >= cell.top() + top && ink.bottom() < cell.top() + top + metrics.height(),
             qPrintable(QStringLiteral("ink %1..%2, text box from %3").arg(ink.top()).arg(ink.bottom()).arg(cell.top() + top)));
}

void TestMessageGrid::overflowMarkInCell()
{
    TGridFixture fixture;
    const QByteArray longText = "A long message text that does not fit into a narrow cell";
    QVERIFY(fixture.Open({{1, "short"}, {2, longText}, {3, "short"}}));
    QVERIFY(fixture.Exposed());
    QVERIFY(fixture.SetViewportWidth(200));

    // The triangle's pixels, at the picture's place in the cell: its right
    // edge 2 pixels left of the cell's right edge, its bottom 1 above the
    // cell's bottom.
    const auto checkMark = [&](const QImage &image, int row, bool expected) {
        const QRect cell = fixture.CellRect(row, 2);
        const QPoint picture(cell.x() + cell.width() - 32 - 2, cell.y() + cell.height() - 32 - 1);
        int matching = 0;
        int total = 0;
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 6; ++x) {
                const char kind = TrianglePicture[y][x];
                if (kind == '.')
                    continue;
                const QRgb pixel = image.pixel(picture + QPoint(26 + x, 26 + y));
                const QRgb wanted = kind == 'B' ? qRgb(0, 0, 0) : qRgb(0, 255, 0);
                ++total;
                matching += pixel == wanted ? 1 : 0;
            }
        }
        return expected ? matching == total : matching < total / 2;
    };

    QImage image = fixture.Grab();
    QVERIFY(checkMark(image, 2, true));
    QVERIFY(checkMark(image, 3, false));
    QCOMPARE(CountPixels(image, fixture.CellRect(3, 2), [](QRgb p) { return p == qRgb(0, 255, 0); }), 0);

    // Widened until the text and a blank fit: no mark.
    const int needed = QFontMetrics(fixture.Grid->Model().NormalFont().Font, fixture.Grid)
                           .horizontalAdvance(QString::fromLatin1(longText) + QLatin1Char(' '));
    QVERIFY(fixture.SetViewportWidth(needed + 20));
    image = fixture.Grab();
    QVERIFY(checkMark(image, 2, false));
    QCOMPARE(CountPixels(image, fixture.CellRect(2, 2), [](QRgb p) { return p == qRgb(0, 255, 0); }), 0);

    // The original column marks its own long texts.
    QVERIFY(fixture.SetViewportWidth(200));
    fixture.Grid->SetViewingOriginal(true);
    image = fixture.Grab();
    const QRect original = fixture.CellRect(2, 1);
    QVERIFY(CountPixels(image, original, [](QRgb p) { return p == qRgb(0, 255, 0); }) > 0);
}

void TestMessageGrid::overflowBoundary_data()
{
    QTest::addColumn<int>("spare"); // cell width minus the width of the text and a blank
    QTest::addColumn<bool>("marked");

    QTest::newRow("one pixel short") << -1 << true;
    QTest::newRow("exact fit") << 0 << false;
    QTest::newRow("one pixel more") << 1 << false;
    QTest::newRow("a blank short") << -8 << true;
}

void TestMessageGrid::overflowBoundary()
{
    QFETCH(int, spare);
    QFETCH(bool, marked);

    TGridFixture fixture;
    const QString text = QStringLiteral("Forty characters of text in the cell...");
    QVERIFY(fixture.Open({{1, "x"}, {2, text.toLatin1()}}));
    QVERIFY(fixture.Exposed());
    const int needed = QFontMetrics(fixture.Grid->Model().NormalFont().Font, fixture.Grid)
                           .horizontalAdvance(text + QLatin1Char(' '));
    // The cell is the column less the grid line.
    const int line = fixture.Grid->columnWidth(1) - fixture.Grid->visualRect(fixture.Index(2, 2)).width();
    QVERIFY(fixture.SetViewportWidth(needed + spare + line));
    QCOMPARE(fixture.CellRect(2, 2).width(), needed + spare);
    const QImage image = fixture.Grab();
    const int green = CountPixels(image, fixture.CellRect(2, 2), [](QRgb p) { return p == qRgb(0, 255, 0); });
    QCOMPARE(green > 0, marked);
}

// --- Viewing the original and the column sizes ---------------------------------

void TestMessageGrid::viewOriginal()
{
    TGridFixture fixture;
    QVERIFY(fixture.Open(NumberedMessages(10)));
    QVERIFY(fixture.Exposed());
    QSignalSpy changes(fixture.Grid, &TMessageGrid::ViewingOriginalChanged);
    fixture.SetCurrentRow(4);
    QCOMPARE(fixture.CurrentRow(), 4);

    fixture.Grid->SetViewingOriginal(true);
    QVERIFY(fixture.Grid->IsViewingOriginal());
    QCOMPARE(fixture.Grid->CurrentColumn(), 1);
    QCOMPARE(fixture.CurrentRow(), 4);
    QCOMPARE(fixture.Grid->columnViewportPosition(0), 0);
    // The Text column starts beside the Original column.
    QCOMPARE(fixture.Grid->columnViewportPosition(1), fixture.Grid->columnWidth(0));
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.at(0).at(0).toBool(), true);

    // Setting the same state again changes nothing.
    fixture.Grid->SetViewingOriginal(true);
    QCOMPARE(changes.count(), 1);

    // Right: the Text column scrolls in and the state follows.
    QTest::keyClick(fixture.Grid, Qt::Key_Right);
    QVERIFY(!fixture.Grid->IsViewingOriginal());
    QCOMPARE(fixture.Grid->CurrentColumn(), 2);
    QCOMPARE(fixture.Grid->columnViewportPosition(1), 0);
    QCOMPARE(changes.count(), 2);
    QCOMPARE(changes.at(1).at(0).toBool(), false);

    // Back with Left.
    QTest::keyClick(fixture.Grid, Qt::Key_Left);
    QVERIFY(fixture.Grid->IsViewingOriginal());
    QCOMPARE(fixture.Grid->columnViewportPosition(0), 0);
    QCOMPARE(changes.count(), 3);

    // A click on the visible start of the Text column makes it current and
    // scrolls it in.
    const QPoint textStart(fixture.Grid->columnViewportPosition(1) + 5,
                           fixture.Grid->rowViewportPosition(1) + 3);
    QTest::mouseClick(fixture.Grid->viewport(), Qt::LeftButton, {}, textStart);
    QCOMPARE(fixture.CurrentRow(), 2);
    QCOMPARE(fixture.Grid->CurrentColumn(), 2);
    QVERIFY(!fixture.Grid->IsViewingOriginal());
    QCOMPARE(fixture.Grid->columnViewportPosition(1), 0);
    QCOMPARE(changes.count(), 4);

    // Scrolling the rows leaves the state as it is.
    fixture.Grid->verticalScrollBar()->setValue(fixture.Grid->verticalScrollBar()->maximum());
    QVERIFY(!fixture.Grid->IsViewingOriginal());
    QCOMPARE(changes.count(), 4);
}

void TestMessageGrid::viewSetBeforeShown_data()
{
    QTest::addColumn<bool>("viewingOriginal");
    QTest::newRow("text") << false;
    QTest::newRow("original") << true;
}

void TestMessageGrid::viewSetBeforeShown()
{
    QFETCH(bool, viewingOriginal);

    // The window sets the grid up before it is on the screen.
    TGridFixture fixture(false);
    QVERIFY(fixture.Open(NumberedMessages(20)));
    fixture.Grid->SetViewingOriginal(viewingOriginal);
    fixture.SetCurrentRow(5);
    fixture.Top.resize(640, 300);
    fixture.Top.show();
    QVERIFY(fixture.Exposed());
    const int column = viewingOriginal ? 1 : 2;
    QCOMPARE(fixture.Grid->IsViewingOriginal(), viewingOriginal);
    QCOMPARE(fixture.CurrentRow(), 5);
    QCOMPARE(fixture.Grid->CurrentColumn(), column);
    QCOMPARE(fixture.Grid->columnViewportPosition(column - 1), 0);
    QCOMPARE(fixture.Grid->columnWidth(1), fixture.Grid->viewport()->width());
}

void TestMessageGrid::thumbDragScrolls()
{
    TGridFixture fixture;
    QVERIFY(fixture.Open(NumberedMessages(500)));
    QVERIFY(fixture.Exposed());
    QScrollBar *bar = fixture.Grid->verticalScrollBar();
    QVERIFY(bar->isVisible());
    QVERIFY(!fixture.Grid->horizontalScrollBar()->isVisible());
    // While the thumb is held, the rows follow it.
    bar->setSliderDown(true);
    bar->setSliderPosition(120);
    QCOMPARE(fixture.Grid->rowAt(0), 120);
    bar->setSliderPosition(300);
    QCOMPARE(fixture.Grid->rowAt(0), 300);
    bar->setSliderDown(false);
    QCOMPARE(fixture.Grid->rowAt(0), 300);
    // The current cell stays where it was.
    QCOMPARE(fixture.CurrentRow(), 1);
}

void TestMessageGrid::columnWidths_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("original");

    QTest::newRow("400") << 400 << 300;
    QTest::newRow("401") << 401 << 301; // 300.75
    QTest::newRow("402") << 402 << 302; // 301.5 rounds up
    QTest::newRow("403") << 403 << 302; // 302.25
    QTest::newRow("650") << 650 << 488; // 487.5 rounds up
}

void TestMessageGrid::columnWidths()
{
    QFETCH(int, width);
    QFETCH(int, original);

    TGridFixture fixture;
    QVERIFY(fixture.Open(NumberedMessages(3)));
    QVERIFY(fixture.Exposed());
    QVERIFY(fixture.SetViewportWidth(width));
    QCOMPARE(fixture.Grid->columnWidth(0), original);
    QCOMPARE(fixture.Grid->columnWidth(1), width);
}

void TestMessageGrid::resizeKeepsViewAndRow_data()
{
    QTest::addColumn<bool>("viewingOriginal");
    QTest::addColumn<int>("row");

    QTest::newRow("text, row 1") << false << 1;
    QTest::newRow("text, row 17") << false << 17;
    QTest::newRow("original, row 1") << true << 1;
    QTest::newRow("original, row 30") << true << 30;
}

void TestMessageGrid::resizeKeepsViewAndRow()
{
    QFETCH(bool, viewingOriginal);
    QFETCH(int, row);

    TGridFixture fixture;
    QVERIFY(fixture.Open(NumberedMessages(30)));
    QVERIFY(fixture.Exposed());
    fixture.Grid->SetViewingOriginal(viewingOriginal);
    fixture.SetCurrentRow(row);
    QSignalSpy changes(fixture.Grid, &TMessageGrid::ViewingOriginalChanged);
    const int column = viewingOriginal ? 1 : 2;

    for (const QSize size : {QSize(700, 300), QSize(320, 500), QSize(900, 200), QSize(500, 400)}) {
        fixture.Top.resize(size);
        QCoreApplication::processEvents();
        QCOMPARE(fixture.Grid->IsViewingOriginal(), viewingOriginal);
        QCOMPARE(fixture.CurrentRow(), row);
        QCOMPARE(fixture.Grid->CurrentColumn(), column);
        QCOMPARE(fixture.Grid->columnViewportPosition(column - 1), 0);
        QCOMPARE(fixture.Grid->columnWidth(1), fixture.Grid->viewport()->width());
    }
    QCOMPARE(changes.count(), 0);
}

void TestMessageGrid::fontRowHeight_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("height");

    QTest::newRow("8") << 8 << 16;
    QTest::newRow("10") << 10 << 20;
    QTest::newRow("12") << 12 << 24;
    QTest::newRow("20") << 20 << 40;
}

void TestMessageGrid::fontRowHeight()
{
    QFETCH(int, points);
    QFETCH(int, height);

    TGridFixture fixture;
    QVERIFY(fixture.Open(NumberedMessages(50)));
    QVERIFY(fixture.Exposed());
    TFontRecord normal = DefaultNamedFont(QStringLiteral("NormalFont"));
    normal.Size = points;
    fixture.Grid->ApplyFonts(normal, DefaultNamedFont(QStringLiteral("TitleFont")),
                             DefaultNamedFont(QStringLiteral("OriginFont")),
                             DefaultNamedFont(QStringLiteral("ChangedFont")));
    QCOMPARE(fixture.Grid->rowHeight(0), height);
    QCOMPARE(fixture.Grid->rowHeight(49), height);
    QCOMPARE(fixture.Grid->horizontalHeader()->height(), height);
    QCOMPARE(fixture.Grid->font().pointSize(), points);
    // A file loaded afterwards gets the same height.
    QVERIFY(fixture.Open(NumberedMessages(60)));
    QCOMPARE(fixture.Grid->rowHeight(59), height);
    QCOMPARE(fixture.Grid->rowViewportPosition(2) - fixture.Grid->rowViewportPosition(1), height);
}

void TestMessageGrid::idColumnWidth_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("points");
    QTest::addColumn<QString>("widest");

    QTest::newRow("English, 10 points") << QStringLiteral("ENGLISH") << 10 << QStringLiteral("00000 ");
    QTest::newRow("English, 16 points") << QStringLiteral("ENGLISH") << 16 << QStringLiteral("00000 ");
    QTest::newRow("long title") << QStringLiteral("LONGID") << 10 << QStringLiteral("Message identifier");
}

void TestMessageGrid::idColumnWidth()
{
    QFETCH(QString, language);
    QFETCH(int, points);
    QFETCH(QString, widest);

    SetLanguage(language);
    TGridFixture fixture;
    QVERIFY(fixture.Open(NumberedMessages(3)));
    TFontRecord normal = DefaultNamedFont(QStringLiteral("NormalFont"));
    normal.Size = points;
    fixture.Grid->ApplyFonts(normal, DefaultNamedFont(QStringLiteral("TitleFont")),
                             DefaultNamedFont(QStringLiteral("OriginFont")),
                             DefaultNamedFont(QStringLiteral("ChangedFont")));
    QVERIFY(fixture.Exposed());
    const QFontMetrics metrics(ToQFont(normal), fixture.Grid);
    QCOMPARE(fixture.Grid->verticalHeader()->width(), metrics.horizontalAdvance(widest));
    QVERIFY(metrics.horizontalAdvance(widest) >= metrics.horizontalAdvance(QStringLiteral("00000 ")));
    // The ID column stays put while the text columns scroll.
    const int before = fixture.Grid->verticalHeader()->mapTo(fixture.Grid, QPoint(0, 0)).x();
    fixture.Grid->SetViewingOriginal(true);
    QCOMPARE(fixture.Grid->verticalHeader()->mapTo(fixture.Grid, QPoint(0, 0)).x(), before);
    QCOMPARE(fixture.Grid->viewport()->mapTo(fixture.Grid, QPoint(0, 0)).x(),
             before + fixture.Grid->verticalHeader()->width());
}

void TestMessageGrid::shorterOriginal()
{
    TGridFixture fixture;
    const TMessages original{{1, "first"}, {2, "second"}};
    const TMessages current{{1, "first"}, {2, "second"}, {3, "third"}, {4, "fourth"}};
    QVERIFY(fixture.Open(current, &original));
    QVERIFY(fixture.Exposed());
    QCOMPARE(fixture.Boxes.Count(), 0);
    QAbstractItemModel *model = fixture.Grid->model();
    QCOMPARE(model->rowCount(), 4);
    QCOMPARE(model->data(fixture.Index(2, 1)).toString(), QStringLiteral("second"));
    QVERIFY(model->data(fixture.Index(3, 1)).toString().isEmpty());
    QVERIFY(model->data(fixture.Index(4, 1)).toString().isEmpty());
    QCOMPARE(model->data(fixture.Index(4, 2)).toString(), QStringLiteral("fourth"));

    // Painting and editing the rows without a partner fail nowhere.
    fixture.Grid->SetViewingOriginal(true);
    QVERIFY(!fixture.Grab().isNull());
    QTest::keyClick(fixture.Grid, Qt::Key_End);
    QTest::keyClick(fixture.Grid, Qt::Key_Return);
    QCOMPARE(fixture.Dialogs.EditTextCalls.size(), 1);
    QCOMPARE(fixture.Dialogs.EditTextCalls.at(0).Text, QByteArray("fourth"));
    QVERIFY(fixture.Dialogs.EditTextCalls.at(0).Original.isEmpty());
    QCOMPARE(fixture.Boxes.Count(), 0);
}

QTEST_MAIN(TestMessageGrid)
#include "tst_messagegrid.moc"
