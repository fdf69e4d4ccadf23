// The translator's view in the main window: the status bar's counts, the
// filters with find, go to and edits, the next unfinished message, side by
// side, the code pages, the placeholder problem's mark and tool tip, and
// the choices kept in the settings.

#include "dialogs/Unit2.h"
#include "dialogs/Unit4.h"
#include "editor/FindDialog.h"
#include "editor/MessageGrid.h"
#include "editor/Unit1.h"
#include "msgfile/FileUtils.h"
#include "msgfile/MsgFile.h"
#include "platform/CodePages.h"
#include "settings/CodePageChoice.h"
#include "settings/ConfigUtils.h"
#include "support/ScriptedDialogs.h"
#include "translation/ReviewMarks.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestEnvironment.h"
#include "uitext/EnglishMsg.h"
#include "uitext/FormTranslation.h"
#include "uitext/LangUtils.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QtTest>
#include <memory>
#include <optional>

namespace {

// The originals, in the initial backup, and the file's current texts:
// 0 and 2 translated, 5 translated with a dropped "@2"; 1, 3 and 4
// untranslated. Codes 0x100, 0x101, ...
const QByteArrayList kOriginals{"open @1", "%s of %d", "plain", "last one", "alpha", "file @1 at @2"};
const QByteArrayList kTexts{"ouvrir @1", "%s of %d", "simple", "last one", "alpha", "fichier @1"};

void WriteTexts(const QString &fileName, const QByteArrayList &texts)
{
    TMsgData data;
    data.SetHeader(QByteArray::fromHex("01000004000000000000000002000000"));
    for (qsizetype i = 0; i < texts.size(); ++i)
        data.AddMessage(quint32(0x100 + i), texts.at(i));
    SaveMsgData(fileName, data);
}

struct Window
{
    // In a temporary folder of its own, or in Shared's, so that a second
    // window finds the settings the first one left.
    explicit Window(TestEnvironment *shared = nullptr)
        : environment(shared ? *shared : own.emplace())
    {
        AppIni().SetAppKey(LexivaneAppKey);
        form1 = std::make_unique<TForm1>();
        form2 = std::make_unique<TForm2>();
        form4 = std::make_unique<TForm4>();
        form1->AttachDialogs(form2.get(), form4.get());
        SetLanguage(QStringLiteral("ENGLISH"));
        file = environment.path(QStringLiteral("x.msg"));
        WriteTexts(file, kTexts);
        WriteTexts(InitialBackupName(file), kOriginals);
    }

    // Shows the window (its settings read) and opens the file.
    void ShowAndOpen()
    {
        form1->show();
        QVERIFY(QTest::qWaitForWindowExposed(form1.get()));
        QTRY_COMPARE(dialogs.SelectMessageFileCalls, 1); // the start-up request, cancelled
        QVERIFY(form1->Session().OpenDocument(file));
        form1->activateWindow();
        grid().setFocus();
    }
    TMessageGrid &grid() const { return form1->Grid(); }
    // The codes of the rows shown, as the ID column shows them.
    QStringList ShownCodes() const
    {
        QStringList codes;
        for (int row = 0; row < grid().model()->rowCount(); ++row)
            codes << grid().model()->headerData(row, Qt::Vertical).toString();
        return codes;
    }
    QString Status() const { return form1->findChild<QLabel *>(QStringLiteral("StatusCounts"))->text(); }
    void Edit(int index, const QByteArray &text)
    {
        dialogs.OnEditText = [text](QByteArray &edited, const QByteArray &, bool &) {
            edited = text;
            return true;
        };
        form1->Session().EditMessage(index);
        dialogs.OnEditText = nullptr;
    }
    QAction *Item(const char *name) const { return form1->findChild<QAction *>(QLatin1String(name)); }

    std::optional<TestEnvironment> own;
    TestEnvironment &environment;
    ScriptedDialogs dialogs;
    ScriptedMessageBoxes boxes;
    std::unique_ptr<TForm1> form1;
    std::unique_ptr<TForm2> form2;
    std::unique_ptr<TForm4> form4;
    QString file;
};

} // namespace

Q_DECLARE_METATYPE(TMessageFilter)

class TestTranslatorView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { AddLanguage(QLatin1String(EnglishLanguageEntry), EnglishTable()); }

    void statusBarCounts()
    {
        Window w;
        w.form1->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form1.get()));
        QTRY_COMPARE(w.dialogs.SelectMessageFileCalls, 1);
        QCOMPARE(w.Status(), QString()); // no file
        QVERIFY(w.form1->Session().OpenDocument(w.file));
        QCOMPARE(w.Status(), QStringLiteral("6 messages \u00B7 3 translated (50%) \u00B7 1 placeholder problems"));
        w.Edit(3, "dernier");
        QCOMPARE(w.Status(), QStringLiteral("6 messages \u00B7 4 translated (66%) \u00B7 1 placeholder problems"));
        w.form1->ShowMessages(TMessageFilter::Untranslated);
        QCOMPARE(w.Status(),
                 QStringLiteral("6 messages \u00B7 4 translated (66%) \u00B7 1 placeholder problems \u00B7 2 shown"));
        const CodePageNames pages = CurrentCodePages();
        QCOMPARE(w.form1->findChild<QLabel *>(QStringLiteral("StatusCodePages"))->text(),
                 QStringLiteral("Code pages %1 / %2").arg(pages.Ansi, pages.Oem));
        QVERIFY(w.form1->Session().CloseDocument(false));
        QCOMPARE(w.Status(), QString());
    }

    void filterShowsItsMessages_data()
    {
        QTest::addColumn<TMessageFilter>("filter");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QStringList>("codes");
        QTest::newRow("all") << TMessageFilter::All << "ShowAllItem"
                             << QStringList{"00100", "00101", "00102", "00103", "00104", "00105"};
        QTest::newRow("untranslated") << TMessageFilter::Untranslated << "ShowUntranslatedItem"
                                      << QStringList{"00101", "00103", "00104"};
        QTest::newRow("translated") << TMessageFilter::Translated << "ShowTranslatedItem"
                                    << QStringList{"00100", "00102", "00105"};
        QTest::newRow("placeholder problems") << TMessageFilter::Problems << "ShowProblemsItem" << QStringList{"00105"};
    }
    void filterShowsItsMessages()
    {
        QFETCH(TMessageFilter, filter);
        QFETCH(QString, item);
        QFETCH(QStringList, codes);
        Window w;
        w.ShowAndOpen();
        w.form1->ShowMessages(TMessageFilter::Problems);
        w.Item(qPrintable(item))->trigger();
        QCOMPARE(w.grid().Filter(), filter);
        QVERIFY(w.Item(qPrintable(item))->isChecked());
        QCOMPARE(w.ShownCodes(), codes);
        QCOMPARE(w.grid().RowCount(), int(codes.size()) + 1);
    }

    void findSearchesTheShownMessages()
    {
        Window w;
        w.ShowAndOpen();
        w.form1->ShowMessages(TMessageFilter::Untranslated);
        w.grid().SetCurrentMessage(1);
        auto *find = w.form1->findChild<TFindDialog *>(QStringLiteral("FindDialog1"));
        find->FindWhatEdit->setText(QStringLiteral("ouvrir")); // message 0, hidden
        w.form1->FindNext();
        QCOMPARE(w.boxes.Last().Text, QStringLiteral("Text not found!"));
        find->FindWhatEdit->setText(QStringLiteral("ALPHA"));
        w.form1->FindNext();
        QCOMPARE(w.grid().CurrentMessage(), 4);
    }

    void goToAHiddenMessageShowsAll()
    {
        Window w;
        w.ShowAndOpen();
        w.form1->ShowMessages(TMessageFilter::Problems);
        w.dialogs.OnEnterString = [](QString &text) {
            text = QStringLiteral("102");
            return true;
        };
        w.form1->GoToMessage();
        QCOMPARE(w.grid().Filter(), TMessageFilter::All);
        QVERIFY(w.Item("ShowAllItem")->isChecked());
        QCOMPARE(w.grid().CurrentMessage(), 2);
    }

    // An edit that makes a message stop matching leaves it shown; choosing
    // the filter again, or moving on with Ctrl+J, lets it go.
    void messageThatStopsMatchingStays_data()
    {
        QTest::addColumn<QString>("then");
        QTest::addColumn<int>("current");
        QTest::newRow("Ctrl+J") << "next" << 3;
        QTest::newRow("the filter chosen again") << "filter" << 3;
    }
    void messageThatStopsMatchingStays()
    {
        QFETCH(QString, then);
        QFETCH(int, current);
        Window w;
        w.ShowAndOpen();
        w.form1->ShowMessages(TMessageFilter::Untranslated);
        QVERIFY(w.grid().SetCurrentMessage(1));
        w.Edit(1, "%s de %d");
        QVERIFY(w.form1->Session().Status().IsTranslated(1));
        QCOMPARE(w.ShownCodes(), (QStringList{"00101", "00103", "00104"}));
        QCOMPARE(w.grid().CurrentMessage(), 1);
        if (then == QLatin1String("next"))
            QTest::keyClick(&w.grid(), Qt::Key_J, Qt::ControlModifier);
        else
            w.Item("ShowUntranslatedItem")->trigger();
        QCOMPARE(w.ShownCodes(), (QStringList{"00103", "00104"}));
        QCOMPARE(w.grid().CurrentMessage(), current);
    }

    void nextUnfinished_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("forward");
        QTest::addColumn<int>("to"); // -1: "none further", the row stays
        QTest::newRow("from the first") << 0 << true << 1;
        QTest::newRow("past a translated one") << 1 << true << 3;
        QTest::newRow("to a placeholder problem") << 4 << true << 5;
        QTest::newRow("at the end") << 5 << true << -1;
        QTest::newRow("back") << 5 << false << 4;
        QTest::newRow("back past a translated one") << 3 << false << 1;
        QTest::newRow("back at the start") << 1 << false << -1;
    }
    void nextUnfinished()
    {
        QFETCH(int, from);
        QFETCH(bool, forward);
        QFETCH(int, to);
        Window w;
        w.ShowAndOpen();
        QVERIFY(w.grid().SetCurrentMessage(from));
        QTest::keyClick(&w.grid(), Qt::Key_J, forward ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(w.grid().CurrentMessage(), to < 0 ? from : to);
        QCOMPARE(w.boxes.Count(), to < 0 ? 1 : 0);
        if (to < 0) {
            QCOMPARE(w.boxes.Last().Kind, TMsgDlgType::mtInformation);
            QVERIFY(w.boxes.Last().Text.startsWith(QLatin1String("There is no further message")));
        }
        // The menu items do the same.
        QVERIFY(w.grid().SetCurrentMessage(from));
        w.Item(forward ? "NextUnfinishedItem" : "PreviousUnfinishedItem")->trigger();
        QCOMPARE(w.grid().CurrentMessage(), to < 0 ? from : to);
    }

    void sideBySide()
    {
        Window w;
        w.ShowAndOpen();
        TMessageGrid &grid = w.grid();
        w.Item("SideBySideItem")->trigger();
        QVERIFY(grid.IsSideBySide());
        const int width = grid.viewport()->width();
        QCOMPARE(grid.columnWidth(0), width / 2);
        QCOMPARE(grid.columnWidth(1), width - width / 2);
        QCOMPARE(grid.columnViewportPosition(0), 0);
        QCOMPARE(grid.columnViewportPosition(1), width / 2);
        // View > Original moves the current cell; nothing scrolls.
        QCOMPARE(grid.CurrentColumn(), TMessageGrid::TextColumn);
        w.Item("ViewOrigItem")->trigger();
        QCOMPARE(grid.CurrentColumn(), TMessageGrid::OriginalColumn);
        QCOMPARE(grid.columnViewportPosition(0), 0);
        // Find follows the current cell's column: "plain" is only an original.
        grid.SetCurrentMessage(0);
        auto *find = w.form1->findChild<TFindDialog *>(QStringLiteral("FindDialog1"));
        find->FindWhatEdit->setText(QStringLiteral("plain"));
        w.form1->FindNext();
        QCOMPARE(grid.CurrentMessage(), 2);
        QTest::keyClick(&grid, Qt::Key_Right);
        QCOMPARE(grid.CurrentColumn(), TMessageGrid::TextColumn);
        QVERIFY(!w.Item("ViewOrigItem")->isChecked());
        QCOMPARE(grid.columnViewportPosition(0), 0);
        // Back to one column: the Text column fills the width again.
        w.Item("SideBySideItem")->trigger();
        QCOMPARE(grid.columnWidth(1), grid.viewport()->width());
        QCOMPARE(grid.columnViewportPosition(1), 0);
    }

    // A change of code page changes what the bytes show, never the bytes.
    void codePageChangeKeepsTheBytes()
    {
        Window w;
        QByteArrayList texts = kTexts;
        texts[2] = "\xCF\xF0\xE8\xE2\xE5\xF2"; // "Привет" in windows-1251
        WriteTexts(w.file, texts);
        w.ShowAndOpen();
        const QModelIndex cell = w.grid().model()->index(2, 1);
        w.form1->ChooseCodePages({QStringLiteral("windows-1251"), QStringLiteral("IBM866")});
        QCOMPARE(w.grid().model()->data(cell).toString(), QStringLiteral("Привет"));
        QCOMPARE(CurrentCodePages().Ansi, QStringLiteral("windows-1251"));
        w.form1->ChooseCodePages({QStringLiteral("windows-1252"), QStringLiteral("IBM437")});
        QCOMPARE(w.grid().model()->data(cell).toString(), QString::fromLatin1("\xCF\xF0\xE8\xE2\xE5\xF2"));
        for (int i = 0; i < texts.size(); ++i)
            QCOMPARE(w.form1->Session().Messages()->Texts(i), texts.at(i));
        QVERIFY(!w.form1->Session().Modified());
        // The choice is the user's, kept in the settings.
        w.form1->ChooseCodePages({QStringLiteral("windows-1251"), QStringLiteral("IBM866")});
        QCOMPARE(AppIni().ReadString(LastSection, QStringLiteral("CodePage"), QString()),
                 QStringLiteral("windows-1251,IBM866"));
        QCOMPARE(StoredCodePageChoice().Oem, QStringLiteral("IBM866"));
        w.form1->ChooseCodePages({});
        QCOMPARE(AppIni().ReadString(LastSection, QStringLiteral("CodePage"), QStringLiteral("?")), QString());
    }

    void problemMarkAndToolTip()
    {
        Window w;
        w.ShowAndOpen();
        const TMessageGridModel &model = w.grid().Model();
        QVERIFY(model.HasProblemMark(model.index(5, TMessageGridModel::TextColumn)));
        QVERIFY(!model.HasProblemMark(model.index(5, TMessageGridModel::OriginalColumn)));
        QVERIFY(!model.HasProblemMark(model.index(0, TMessageGridModel::TextColumn)));
        QCOMPARE(model.CellToolTip(model.index(5, TMessageGridModel::TextColumn), false), QStringLiteral("Missing @2"));
        QCOMPARE(model.CellToolTip(model.index(5, TMessageGridModel::TextColumn), true),
                 QStringLiteral("Missing @2\nfichier @1"));
        QCOMPARE(model.CellToolTip(model.index(0, TMessageGridModel::TextColumn), false), QString());
        QCOMPARE(model.CellToolTip(model.index(2, TMessageGridModel::OriginalColumn), true), QStringLiteral("plain"));

        // The mark: red down the Text cell's left edge of row 6 only.
        w.grid().SetCurrentMessage(0);
        const QImage image = w.grid().viewport()->grab().toImage();
        const auto redAt = [&](int message) {
            const QRect cell = w.grid().visualRect(model.index(message, TMessageGridModel::TextColumn));
            const QColor pixel = image.pixelColor(cell.left() + 1, cell.center().y());
            return pixel.red() > 180 && pixel.green() < 60 && pixel.blue() < 60;
        };
        QVERIFY(redAt(5));
        QVERIFY(!redAt(4));
        QVERIFY(!redAt(0));
        // Mended, the mark goes.
        w.Edit(5, "fichier @1 \u00E0 @2");
        QVERIFY(!model.HasProblemMark(model.index(5, TMessageGridModel::TextColumn)));
    }

    // A message to review: counted, marked, shown by its filter, and a stop
    // for Ctrl+J.
    void messageToReview()
    {
        Window w;
        TReviewMarks marks;
        marks.Mark(0x102, "plain old");
        SaveReviewMarks(w.file, marks);
        w.ShowAndOpen();
        QVERIFY(w.Status().contains(QStringLiteral("\u00B7 1 need review")));
        const TMessageGridModel &model = w.grid().Model();
        const QModelIndex cell = model.index(2, TMessageGridModel::TextColumn);
        QVERIFY(model.HasReviewMark(cell));
        QVERIFY(!model.HasReviewMark(model.index(0, TMessageGridModel::TextColumn)));
        QCOMPARE(model.CellToolTip(cell, false), QStringLiteral("To review: translated for the original \"plain old\""));
        QVERIFY(w.grid().SetCurrentMessage(1));
        QTest::keyClick(&w.grid(), Qt::Key_J, Qt::ControlModifier);
        QCOMPARE(w.grid().CurrentMessage(), 2);
        w.Item("ShowReviewItem")->trigger();
        QCOMPARE(w.ShownCodes(), QStringList{"00102"});
    }

    void choicesKeptInTheSettings()
    {
        TestEnvironment shared;
        {
            Window w(&shared);
            w.ShowAndOpen();
            w.form1->ShowMessages(TMessageFilter::Translated);
            w.form1->SetSideBySide(true);
            w.form1->hide();
        }
        Window w(&shared);
        w.ShowAndOpen();
        QCOMPARE(w.grid().Filter(), TMessageFilter::Translated);
        QVERIFY(w.Item("ShowTranslatedItem")->isChecked());
        QCOMPARE(w.ShownCodes(), (QStringList{"00100", "00102", "00105"}));
        QVERIFY(w.grid().IsSideBySide());
        QVERIFY(w.Item("SideBySideItem")->isChecked());
    }
};

QTEST_MAIN(TestTranslatorView)
#include "tst_translatorview.moc"
