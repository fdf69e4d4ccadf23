// The font setup dialog over its font slots, driven as a user would: the
// showing steps, the sample, Change, Apply, OK and Cancel with a scripted
// font dialog; the font dialog component and its seam; and the Qt font
// dialog with its colour, run modally.

#include "dialogs/DialogEntryPoints.h"
#include "dialogs/FontDialogSeam.h"
#include "dialogs/QtFontDialog.h"
#include "dialogs/Unit4.h"
#include "help/HelpService.h"
#include "help/HelpUtils.h"
#include "settings/ConfigUtils.h"
#include "settings/QtFonts.h"
#include "support/EnglishTable.h"
#include "support/TestEnvironment.h"
#include "uitext/Components.h"
#include "uitext/EnglishMsg.h"
#include "uitext/FormTranslation.h"
#include "uitext/LangUtils.h"
#include "uitext/MsgRes.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QQueue>
#include <QScreen>
#include <QScopeGuard>
#include <QTextBlock>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

// Points HOME (and with it the font caches) at a temporary folder before the
// application object starts.
const TestEnvironment ProcessEnvironment;

const char kPhrase[] = "arithmetic exception, numeric overflow, or string truncation";

TFontRecord Record(const QString &name, int size, TFontStyles style, qint32 color, int charSet)
{
    TFontRecord font;
    font.Name = name;
    font.Size = size;
    font.Style = style;
    font.Color = color;
    font.CharSet = static_cast<quint8>(charSet);
    return font;
}

QString Describe(const TFontRecord &font)
{
    return QStringLiteral("%1 %2pt style %3 color %4 charset %5")
        .arg(font.Name)
        .arg(font.Size)
        .arg(font.Style.toInt())
        .arg(font.Color)
        .arg(font.CharSet);
}

// What a confirmed change in the scripted font dialog does to a font; a
// font changed N times is Changed(font, N).
TFontRecord Changed(TFontRecord font, int times)
{
    if (times == 0)
        return font;
    font.Name = QStringLiteral("DejaVu Sans");
    font.Size += 2 * times;
    font.Color = 0x0000FF;
    return font;
}

// The font dialog answered by a script: each run takes the next prepared
// answer; a confirmed run changes the font once (Changed), a cancelled run
// scribbles on the font, which the caller must drop.
class ScriptedFontDialog : public TFontDialogPresenter
{
public:
    ScriptedFontDialog() : m_previous(SetFontDialogPresenter(this)) {}
    ~ScriptedFontDialog() override { SetFontDialogPresenter(m_previous); }
    ScriptedFontDialog(const ScriptedFontDialog &) = delete;
    ScriptedFontDialog &operator=(const ScriptedFontDialog &) = delete;

    void Answer(bool confirm) { m_answers.enqueue(confirm); }

    bool Execute(TFontRecord &font) override
    {
        Shown.append(font);
        if (m_answers.isEmpty()) {
            Unprepared = true;
            return false;
        }
        if (!m_answers.dequeue()) {
            font.Name = QStringLiteral("Dropped");
            font.Size = 99;
            return false;
        }
        font = Changed(font, 1);
        return true;
    }

    QList<TFontRecord> Shown; // the font of every run, as it was handed over
    bool Unprepared = false;  // a run found no prepared answer

private:
    TFontDialogPresenter *m_previous;
    QQueue<bool> m_answers;
};

class HelpRecorder : public THelpService
{
public:
    HelpRecorder() : m_previous(SetHelpService(this)) {}
    ~HelpRecorder() override { SetHelpService(m_previous); }
    HelpRecorder(const HelpRecorder &) = delete;
    HelpRecorder &operator=(const HelpRecorder &) = delete;

    void ShowContents() override { Requests.append(QStringLiteral("contents")); }
    void ShowTopic(const QString &jumpName) override { Requests.append(jumpName); }
    void ShowPopup(const QString &jumpName, const QPoint &) override { Requests.append(QStringLiteral("popup ") + jumpName); }
    void ShowContext(int context) override { Requests.append(QStringLiteral("context %1").arg(context)); }

    QStringList Requests;

private:
    THelpService *m_previous;
};

// Closes every modal window still open after a few seconds, so that a test
// whose script went wrong fails instead of hanging.
class ModalWatchdog
{
public:
    ModalWatchdog()
    {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_fired = true;
            CloseModalWindows();
        });
        m_timer.start(10000);
    }

    static void CloseModalWindows()
    {
        while (QWidget *modal = QApplication::activeModalWidget()) {
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->reject();
            else
                modal->close();
        }
    }

    bool Fired() const { return m_fired; }

private:
    QTimer m_timer;
    bool m_fired = false;
};

// Runs Step on the window that is modal once the event loop next runs:
// schedule it, then open the modal window.
template <typename Window>
void OnNextModal(std::function<void(Window &)> step)
{
    QTimer::singleShot(0, [step] {
        auto *window = qobject_cast<Window *>(QApplication::activeModalWidget());
        if (!window) {
            ModalWatchdog::CloseModalWindows();
            QFAIL("the expected modal window is not up");
        }
        step(*window);
    });
}

QPoint RowCentre(QListWidget *list, int row)
{
    return list->visualItemRect(list->item(row)).center();
}

// The four display fonts of the main window, as it adds them.
struct DisplayFonts
{
    TFontRecord Normal = DefaultNamedFont(QStringLiteral("NormalFont"));
    TFontRecord Title = DefaultNamedFont(QStringLiteral("TitleFont"));
    TFontRecord Origin = DefaultNamedFont(QStringLiteral("OriginFont"));
    TFontRecord ChangedText = DefaultNamedFont(QStringLiteral("ChangedFont"));

    QList<TFontRecord *> All() { return {&Normal, &Title, &Origin, &ChangedText}; }
    QList<TFontRecord> Values() const { return {Normal, Title, Origin, ChangedText}; }

    void AddTo(TForm4 &form)
    {
        form.AddFontSlot(GetMsg(QStringLiteral("NormalFontTitle")), &Normal);
        form.AddFontSlot(GetMsg(QStringLiteral("TitleFontTitle")), &Title);
        form.AddFontSlot(GetMsg(QStringLiteral("OriginFontTitle")), &Origin);
        form.AddFontSlot(GetMsg(QStringLiteral("ChangedFontTitle")), &ChangedText);
    }
};

void CheckSampleShows(const TForm4 &form, const TFontRecord &font)
{
    const QFont shown = form.Memo1->font();
    QCOMPARE(shown.family(), font.Name);
    QCOMPARE(shown.pointSize(), font.Size);
    QCOMPARE(shown.bold(), font.Style.testFlag(fsBold));
    QCOMPARE(shown.italic(), font.Style.testFlag(fsItalic));
    QCOMPARE(form.Memo1->palette().color(QPalette::Text), ToQColor(font.Color));
}

} // namespace

Q_DECLARE_METATYPE(TFontRecord)

class TestUnit4 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void components_data();
    void components();
    void designFontAndSize();
    void englishTable_data();
    void englishTable();
    void sampleText();
    void memoHoldsTheSample();

    void showingSteps();
    void sampleFollowsSelection_data();
    void sampleFollowsSelection();
    void scenarios_data();
    void scenarios();
    void onApplySeesTheAppliedFonts();
    void reusedDialogKeepsItsSlots();
    void failingOnApplyStillFreesTheCopies();
    void enterInTheSampleConfirms();
    void tabOrder();
    void labelAccelerators_data();
    void labelAccelerators();
    void help_data();
    void help();

    void fontDialogComponent_data();
    void fontDialogComponent();
    void fontDialogWithoutPresenterRaises();

    void qtDialogKeepsWhatIsLeftAlone_data();
    void qtDialogKeepsWhatIsLeftAlone();
    void qtDialogShowsTheFaceThatDrawsIt_data();
    void qtDialogShowsTheFaceThatDrawsIt();
    void qtDialogTakesChanges_data();
    void qtDialogTakesChanges();
    void qtDialogColourButton_data();
    void qtDialogColourButton();
    void qtDialogModal_data();
    void qtDialogModal();
    void qtDialogWithQColorDialog();
    void qtPresenterInTheFontSetup();
};

void TestUnit4::initTestCase()
{
    AppIni().SetAppKey(LexivaneAppKey);
    UseEnglishTable();
    QVERIFY(QFontDatabase::families().contains(QStringLiteral("DejaVu Sans")));
    QVERIFY(QFontDatabase::families().contains(QStringLiteral("Liberation Serif")));
}

// ---------------------------------------------------------------------------
// The window and its components

void TestUnit4::components_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("text");

    QTest::newRow("Label1") << "Label1" << "QLabel" << "&Font";
    QTest::newRow("Label2") << "Label2" << "QLabel" << "&Sample";
    QTest::newRow("ListBox1") << "ListBox1" << "QListWidget" << "";
    QTest::newRow("Memo1") << "Memo1" << "QPlainTextEdit" << "";
    QTest::newRow("Button1") << "Button1" << "QPushButton" << "&Change...";
    QTest::newRow("Button2") << "Button2" << "QPushButton" << "OK";
    QTest::newRow("Button3") << "Button3" << "QPushButton" << "Cancel";
    QTest::newRow("Button4") << "Button4" << "QPushButton" << "&Apply";
    QTest::newRow("Button5") << "Button5" << "QPushButton" << "&Help";
    QTest::newRow("FontDialog1") << "FontDialog1" << "TFontDialog" << "";
    QTest::newRow("ContextHelp1") << "ContextHelp1" << "TContextHelp" << "";
}

void TestUnit4::components()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, text);

    TForm4 form;
    QCOMPARE(form.objectName(), QStringLiteral("Form4"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Font setup"));
    const QList<QObject *> named = form.findChildren<QObject *>(name);
    QCOMPARE(named.size(), 1);
    QVERIFY2(named.first()->inherits(className.toLatin1()), named.first()->metaObject()->className());
    QCOMPARE(OwnerForm(named.first()), &form);
    if (!text.isEmpty()) {
        if (auto *label = qobject_cast<QLabel *>(named.first()))
            QCOMPARE(label->text(), text);
        else
            QCOMPARE(qobject_cast<QPushButton *>(named.first())->text(), text);
    }
}

void TestUnit4::designFontAndSize()
{
    TForm4 form;
    QCOMPARE(form.font().family(), QStringLiteral("Arial"));
    QCOMPARE(form.font().pixelSize(), 13);
    QVERIFY(form.width() >= 481);
    QVERIFY(form.height() >= 190);
    QCOMPARE(form.minimumSize(), form.maximumSize()); // a fixed border
    QCOMPARE(HelpContextOf(&form), 1);
    QVERIFY(form.Memo1->isReadOnly());
    QCOMPARE(form.Label1->buddy(), form.ListBox1);
    QCOMPARE(form.Label2->buddy(), form.Memo1);
    QVERIFY(form.Button2->isDefault());
    for (QPushButton *other : {form.Button1, form.Button3, form.Button4, form.Button5})
        QVERIFY2(!other->isDefault() && !other->autoDefault(), qPrintable(other->objectName()));
    QVERIFY(!form.Button4->isEnabled());
    QVERIFY(!form.OnApply);
    QCOMPARE(form.SlotCount(), 0);
}

void TestUnit4::englishTable_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("english");

    QTest::newRow("Form4") << "Form4" << "Font setup";
    QTest::newRow("Label1") << "Label1" << "&Font";
    QTest::newRow("Label2") << "Label2" << "&Sample";
    QTest::newRow("Button1") << "Button1" << "&Change...";
    QTest::newRow("Button3") << "Button3" << "Cancel";
    QTest::newRow("Button4") << "Button4" << "&Apply";
    QTest::newRow("Button5") << "Button5" << "&Help";
}

// Every text is blanked first, so that only the table can bring it back;
// OK has no row and keeps what it has.
void TestUnit4::englishTable()
{
    QFETCH(QString, name);
    QFETCH(QString, english);

    TForm4 form;
    const auto textOf = [&form](const QString &component) -> QString {
        if (component == form.objectName())
            return form.windowTitle();
        QObject *object = form.findChild<QObject *>(component);
        if (auto *label = qobject_cast<QLabel *>(object))
            return label->text();
        return qobject_cast<QPushButton *>(object)->text();
    };
    form.setWindowTitle(QStringLiteral("-"));
    for (QLabel *label : {form.Label1, form.Label2})
        label->setText(QStringLiteral("-"));
    for (QPushButton *button : {form.Button1, form.Button2, form.Button3, form.Button4, form.Button5})
        button->setText(QStringLiteral("-"));

    try {
        TranslateForm(&form);
    } catch (const std::exception &error) {
        QFAIL(error.what());
    }
    QCOMPARE(textOf(name), english);
    QCOMPARE(textOf(QStringLiteral("Button2")), QStringLiteral("-"));
}

void TestUnit4::sampleText()
{
    const QStringList lines = FontSampleLines();
    QCOMPARE(lines.size(), 41);
    QCOMPARE(lines.mid(38), (QStringList{QString(), QStringLiteral(" "), QString()}));

    const QStringList text = lines.mid(0, 38);
    QStringList phrases;
    for (int i = 0; i < 30; ++i)
        phrases.append(QLatin1String(kPhrase));
    QCOMPARE(text.join(QString()), phrases.join(QLatin1Char(' ')));

    for (int i = 0; i < text.size(); ++i) {
        const QString &line = text.at(i);
        QVERIFY2(!line.isEmpty() && line.size() <= 51, qPrintable(QStringLiteral("line %1: %2").arg(i).arg(line)));
        QVERIFY2(!line.startsWith(QLatin1Char(' ')), qPrintable(line));
        if (i + 1 == text.size())
            continue;
        // Broken after a blank, and only where the next word would not fit.
        QVERIFY2(line.endsWith(QLatin1Char(' ')), qPrintable(line));
        const QString next = text.at(i + 1);
        const qsizetype blank = next.indexOf(QLatin1Char(' '));
        const qsizetype nextWord = blank < 0 ? next.size() : blank + 1;
        QVERIFY2(line.size() + nextWord > 51, qPrintable(QStringLiteral("line %1 could take more").arg(i)));
    }
}

void TestUnit4::memoHoldsTheSample()
{
    TForm4 form;
    const QStringList lines = FontSampleLines();
    QCOMPARE(form.Memo1->document()->blockCount(), lines.size());
    for (int i = 0; i < lines.size(); ++i)
        QCOMPARE(form.Memo1->document()->findBlockByNumber(i).text(), lines.at(i));
}

// ---------------------------------------------------------------------------
// Running the dialog

void TestUnit4::showingSteps()
{
    ScriptedFontDialog fontDialog;
    fontDialog.Answer(true);
    DisplayFonts fonts;
    TForm4 form;
    fonts.AddTo(form);
    // Leftovers the showing must clear: a caret with a selection in the sample
    // and Apply enabled.
    QTextCursor cursor = form.Memo1->textCursor();
    cursor.setPosition(5);
    cursor.setPosition(40, QTextCursor::KeepAnchor);
    form.Memo1->setTextCursor(cursor);
    form.SetModified(true);
    form.move(0, 0);

    ModalWatchdog watchdog;
    bool checked = false;
    OnNextModal<TForm4>([&](TForm4 &dialog) {
        QCOMPARE(&dialog, &form);
        QCOMPARE(form.ListBox1->count(), 4);
        const QStringList titles{QStringLiteral("Normal text"), QStringLiteral("Title"),
                                 QStringLiteral("Original text"), QStringLiteral("Changed text")};
        for (int i = 0; i < titles.size(); ++i)
            QCOMPARE(form.ListBox1->item(i)->text(), titles.at(i));
        QCOMPARE(form.ListBox1->currentRow(), 0);
        QVERIFY(form.ListBox1->item(0)->isSelected());
        QCOMPARE(form.Memo1->textCursor().position(), 0);
        QVERIFY(!form.Memo1->textCursor().hasSelection());
        QCOMPARE(form.focusWidget(), form.ListBox1);
        CheckSampleShows(form, fonts.Normal);
        QVERIFY(!form.Button4->isEnabled());
        QCOMPARE(form.WorkingCopies().size(), 4);
        // Centred on the screen.
        const QPoint offCentre = form.frameGeometry().center() - form.screen()->geometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 2, qPrintable(QStringLiteral("%1,%2").arg(offCentre.x()).arg(offCentre.y())));
        checked = true;
        form.Button3->click();
    });
    QVERIFY(!form.ExecuteFontSetup());
    QVERIFY(!watchdog.Fired());
    QVERIFY(checked);
    QVERIFY(form.WorkingCopies().isEmpty());
}

void TestUnit4::sampleFollowsSelection_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<qint32>("color");

    QTest::newRow("normal text") << 0 << false << clWindowText;
    QTest::newRow("title") << 1 << true << clWindowText;
    QTest::newRow("original text, navy") << 2 << false << clNavy;
    QTest::newRow("changed text") << 3 << true << clWindowText;
}

// A click, and the arrow keys, show the row's working copy with its colour.
void TestUnit4::sampleFollowsSelection()
{
    QFETCH(int, row);
    QFETCH(bool, bold);
    QFETCH(qint32, color);

    ScriptedFontDialog fontDialog;
    DisplayFonts fonts;
    TForm4 form;
    fonts.AddTo(form);
    const TFontRecord *expected = fonts.All().at(row);
    QCOMPARE(expected->Style.testFlag(fsBold), bold);
    QCOMPARE(expected->Color, color);

    ModalWatchdog watchdog;
    OnNextModal<TForm4>([&](TForm4 &) {
        const int away = row == 0 ? 1 : 0;
        QTest::mouseClick(form.ListBox1->viewport(), Qt::LeftButton, {}, RowCentre(form.ListBox1, away));
        CheckSampleShows(form, *fonts.All().at(away));
        QTest::mouseClick(form.ListBox1->viewport(), Qt::LeftButton, {}, RowCentre(form.ListBox1, row));
        QCOMPARE(form.ListBox1->currentRow(), row);
        CheckSampleShows(form, *expected);
        QCOMPARE(form.Memo1->font().bold(), bold);
        QCOMPARE(form.Memo1->palette().color(QPalette::Text), ToQColor(color));

        form.ListBox1->setFocus();
        QTest::keyClick(form.ListBox1, Qt::Key_Home);
        for (int i = 0; i < row; ++i)
            QTest::keyClick(form.ListBox1, Qt::Key_Down);
        QCOMPARE(form.ListBox1->currentRow(), row);
        CheckSampleShows(form, *expected);
        form.Button3->click();
    });
    form.ExecuteFontSetup();
    QVERIFY(!watchdog.Fired());
    QVERIFY(!fontDialog.Unprepared);
    QVERIFY(fontDialog.Shown.isEmpty());
}

void TestUnit4::scenarios_data()
{
    // Steps: "select N" and "dblclick N" on a row; "change" (the font
    // dialog confirmed) and "change-cancel" (the font dialog cancelled) with
    // Button1; "apply"; closing with "ok", "cancel", "escape", "close".
    // applyStates: whether Apply is enabled after each step but the last.
    // changes: how many confirmed changes each slot ends up with.
    QTest::addColumn<bool>("withSlots");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("applyStates");
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("applyEvents");
    QTest::addColumn<int>("fontDialogRuns");
    QTest::addColumn<QList<int>>("changes");

    const QList<int> none{0, 0, 0, 0};
    QTest::newRow("no slots: OK still applies once")
        << false << QStringList{"ok"} << "" << true << 1 << 0 << QList<int>{};
    QTest::newRow("no slots: Change does nothing")
        << false << QStringList{"change", "ok"} << "0" << true << 1 << 0 << QList<int>{};
    QTest::newRow("OK without a change")
        << true << QStringList{"ok"} << "" << true << 1 << 0 << none;
    QTest::newRow("change twice, cancel")
        << true << QStringList{"change", "change", "cancel"} << "11" << false << 0 << 2 << none;
    QTest::newRow("title applied, normal cancelled")
        << true << QStringList{"select 1", "change", "apply", "select 0", "change", "cancel"} << "01001" << false
        << 1 << 2 << QList<int>{0, 1, 0, 0};
    QTest::newRow("change, OK")
        << true << QStringList{"select 2", "change", "ok"} << "01" << true << 1 << 1 << QList<int>{0, 0, 1, 0};
    QTest::newRow("cancelled font dialog leaves Apply disabled")
        << true << QStringList{"change-cancel", "ok"} << "0" << true << 1 << 1 << none;
    QTest::newRow("cancelled font dialog leaves Apply enabled")
        << true << QStringList{"select 3", "change", "change-cancel", "ok"} << "011" << true << 1 << 2
        << QList<int>{0, 0, 0, 1};
    QTest::newRow("double click changes")
        << true << QStringList{"dblclick 3", "ok"} << "1" << true << 1 << 1 << QList<int>{0, 0, 0, 1};
    QTest::newRow("each apply raises once")
        << true << QStringList{"change", "apply", "change", "apply", "ok"} << "1010" << true << 3 << 2
        << QList<int>{2, 0, 0, 0};
    QTest::newRow("apply, then Escape keeps it")
        << true << QStringList{"select 1", "change", "apply", "escape"} << "010" << false << 1 << 1
        << QList<int>{0, 1, 0, 0};
    QTest::newRow("changes on two slots, OK")
        << true << QStringList{"change", "select 2", "change", "change", "ok"} << "1111" << true << 1 << 3
        << QList<int>{1, 0, 2, 0};
    QTest::newRow("close box drops the changes")
        << true << QStringList{"change", "select 1", "change", "close"} << "111" << false << 0 << 2 << none;
}

void TestUnit4::scenarios()
{
    QFETCH(bool, withSlots);
    QFETCH(QStringList, steps);
    QFETCH(QString, applyStates);
    QFETCH(bool, result);
    QFETCH(int, applyEvents);
    QFETCH(int, fontDialogRuns);
    QFETCH(QList<int>, changes);

    ScriptedFontDialog fontDialog;
    DisplayFonts fonts;
    const QList<TFontRecord> before = fonts.Values();
    TForm4 form;
    if (withSlots)
        fonts.AddTo(form);
    int applied = 0;
    form.OnApply = [&](TForm4 &sender) {
        QCOMPARE(&sender, &form);
        ++applied;
    };

    ModalWatchdog watchdog;
    QString states;
    bool finished = false;
    OnNextModal<TForm4>([&](TForm4 &) {
        for (const QString &step : std::as_const(steps)) {
            const QStringList words = step.split(QLatin1Char(' '));
            const QString action = words.first();
            const int row = words.value(1).toInt();
            if (action == QLatin1String("select")) {
                QTest::mouseClick(form.ListBox1->viewport(), Qt::LeftButton, {}, RowCentre(form.ListBox1, row));
                QCOMPARE(form.ListBox1->currentRow(), row);
            } else if (action == QLatin1String("dblclick") || action.startsWith(QLatin1String("change"))) {
                const bool confirm = action != QLatin1String("change-cancel");
                fontDialog.Answer(confirm);
                const int selected = action == QLatin1String("dblclick") ? row : form.ListBox1->currentRow();
                const TFontRecord handed = form.WorkingCopies().value(selected);
                const qsizetype runs = fontDialog.Shown.size();
                if (action == QLatin1String("dblclick")) {
                    // A double click: a click, then the second press.
                    const QPoint at = RowCentre(form.ListBox1, row);
                    QTest::mouseClick(form.ListBox1->viewport(), Qt::LeftButton, {}, at);
                    QTest::mouseDClick(form.ListBox1->viewport(), Qt::LeftButton, {}, at);
                } else {
                    form.Button1->click();
                }
                if (withSlots) {
                    // The font dialog was handed the selected working copy,
                    // and the sample shows that copy as it now stands.
                    QCOMPARE(fontDialog.Shown.size(), runs + 1);
                    QCOMPARE(fontDialog.Shown.last(), handed);
                    QCOMPARE(form.WorkingCopies().at(selected), confirm ? Changed(handed, 1) : handed);
                    CheckSampleShows(form, form.WorkingCopies().at(selected));
                }
            } else if (action == QLatin1String("apply")) {
                form.Button4->click();
            } else if (action == QLatin1String("ok")) {
                form.Button2->click();
            } else if (action == QLatin1String("cancel")) {
                form.Button3->click();
            } else if (action == QLatin1String("escape")) {
                QTest::keyClick(form.ListBox1, Qt::Key_Escape);
            } else if (action == QLatin1String("close")) {
                form.close();
            } else {
                QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
            }
            if (form.isVisible())
                states += form.Button4->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        }
        finished = true;
    });
    const bool confirmed = form.ExecuteFontSetup();
    QVERIFY(!watchdog.Fired());
    QVERIFY(finished);
    QVERIFY(!form.isVisible());

    QCOMPARE(confirmed, result);
    QCOMPARE(states, applyStates);
    QCOMPARE(applied, applyEvents);
    QCOMPARE(fontDialog.Shown.size(), fontDialogRuns);
    QVERIFY(!fontDialog.Unprepared);
    QVERIFY(form.WorkingCopies().isEmpty());
    if (!withSlots)
        return;
    const QList<TFontRecord> now = fonts.Values();
    for (int i = 0; i < changes.size(); ++i) {
        const TFontRecord expected = Changed(before.at(i), changes.at(i));
        QVERIFY2(now.at(i) == expected,
                 qPrintable(QStringLiteral("slot %1: %2, expected %3").arg(i).arg(Describe(now.at(i)), Describe(expected))));
    }
}

// OnApply comes after every slot has taken its working copy, so that the
// owner redraws with the new fonts.
void TestUnit4::onApplySeesTheAppliedFonts()
{
    ScriptedFontDialog fontDialog;
    DisplayFonts fonts;
    TForm4 form;
    fonts.AddTo(form);
    const TFontRecord title = fonts.Title;
    const TFontRecord origin = fonts.Origin;
    QList<TFontRecord> seen;
    form.OnApply = [&](TForm4 &) {
        for (const TFontRecord *font : fonts.All())
            seen.append(*font);
    };

    ModalWatchdog watchdog;
    OnNextModal<TForm4>([&](TForm4 &) {
        QTest::mouseClick(form.ListBox1->viewport(), Qt::LeftButton, {}, RowCentre(form.ListBox1, 1));
        fontDialog.Answer(true);
        form.Button1->click();
        QTest::mouseClick(form.ListBox1->viewport(), Qt::LeftButton, {}, RowCentre(form.ListBox1, 2));
        fontDialog.Answer(true);
        form.Button1->click();
        QCOMPARE(fonts.Title, title); // nothing reaches the slots before Apply
        form.Button2->click();
    });
    QVERIFY(form.ExecuteFontSetup());
    QVERIFY(!watchdog.Fired());
    QCOMPARE(seen.size(), 4);
    QCOMPARE(seen.at(1), Changed(title, 1));
    QCOMPARE(seen.at(2), Changed(origin, 1));
    QCOMPARE(seen.at(0), DefaultNamedFont(QStringLiteral("NormalFont")));
}

// Created once and reused: the slots stay, the list is filled anew on every
// showing, and a run starts from the fonts as the last run left them.
void TestUnit4::reusedDialogKeepsItsSlots()
{
    ScriptedFontDialog fontDialog;
    DisplayFonts fonts;
    TForm4 form;
    fonts.AddTo(form);
    const TFontRecord normal = fonts.Normal;

    ModalWatchdog watchdog;
    OnNextModal<TForm4>([&](TForm4 &) {
        fontDialog.Answer(true);
        form.Button1->click();
        form.Button2->click();
    });
    QVERIFY(form.ExecuteFontSetup());
    QCOMPARE(fonts.Normal, Changed(normal, 1));

    int rows = -1;
    TFontRecord copy;
    bool applyEnabled = true;
    OnNextModal<TForm4>([&](TForm4 &) {
        rows = form.ListBox1->count();
        copy = form.WorkingCopies().value(0);
        applyEnabled = form.Button4->isEnabled();
        CheckSampleShows(form, fonts.Normal);
        form.Button3->click();
    });
    QVERIFY(!form.ExecuteFontSetup());
    QVERIFY(!watchdog.Fired());
    QCOMPARE(form.SlotCount(), 4);
    QCOMPARE(rows, 4);
    QCOMPARE(copy, Changed(normal, 1));
    QVERIFY(!applyEnabled);
}

// An owner whose OnApply fails: the error reaches the caller of
// ExecuteFontSetup, the slots already hold the changes, and the working
// copies are gone.
void TestUnit4::failingOnApplyStillFreesTheCopies()
{
    ScriptedFontDialog fontDialog;
    DisplayFonts fonts;
    TForm4 form;
    fonts.AddTo(form);
    const TFontRecord normal = fonts.Normal;
    form.OnApply = [](TForm4 &) { throw Exception(QStringLiteral("redraw failed")); };

    ModalWatchdog watchdog;
    OnNextModal<TForm4>([&](TForm4 &) {
        fontDialog.Answer(true);
        form.Button1->click();
        form.Button2->click();
    });
    QString error;
    try {
        form.ExecuteFontSetup();
    } catch (const Exception &raised) {
        error = raised.Message();
    }
    QVERIFY(!watchdog.Fired());
    QCOMPARE(error, QStringLiteral("redraw failed"));
    QCOMPARE(fonts.Normal, Changed(normal, 1));
    QVERIFY(form.WorkingCopies().isEmpty());
}

// The sample takes no line break: Enter reaches the default button.
void TestUnit4::enterInTheSampleConfirms()
{
    ScriptedFontDialog fontDialog;
    DisplayFonts fonts;
    TForm4 form;
    fonts.AddTo(form);
    const QString text = form.Memo1->toPlainText();

    ModalWatchdog watchdog;
    OnNextModal<TForm4>([&](TForm4 &) {
        form.Memo1->setFocus();
        QTest::keyClick(form.Memo1, Qt::Key_A);
        QTest::keyClick(form.Memo1, Qt::Key_Return);
    });
    QVERIFY(form.ExecuteFontSetup());
    QVERIFY(!watchdog.Fired());
    QCOMPARE(form.Memo1->toPlainText(), text);
}

void TestUnit4::tabOrder()
{
    TForm4 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.SetModified(true);
    form.ListBox1->setFocus();
    QStringList order{form.focusWidget()->objectName()};
    for (int i = 0; i < 7; ++i) {
        QTest::keyClick(form.focusWidget(), Qt::Key_Tab);
        order.append(form.focusWidget()->objectName());
    }
    QCOMPARE(order, (QStringList{"ListBox1", "Memo1", "Button1", "Button2", "Button3", "Button4", "Button5",
                                 "ListBox1"}));
}

void TestUnit4::labelAccelerators_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("focused");

    QTest::newRow("Alt+S: the sample") << int(Qt::Key_S) << "Memo1";
    QTest::newRow("Alt+F: the font list") << int(Qt::Key_F) << "ListBox1";
}

void TestUnit4::labelAccelerators()
{
    QFETCH(int, key);
    QFETCH(QString, focused);

    TForm4 form;
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    // Start on the other one of the two.
    (focused == QLatin1String("Memo1") ? static_cast<QWidget *>(form.ListBox1) : form.Memo1)->setFocus();
    QTest::keyClick(&form, Qt::Key(key), Qt::AltModifier);
    QCOMPARE(form.focusWidget()->objectName(), focused);
}

void TestUnit4::help_data()
{
    QTest::addColumn<QString>("how");

    QTest::newRow("Help button") << "Button5";
    QTest::newRow("F1 in the font list") << "ListBox1";
    QTest::newRow("F1 in the sample") << "Memo1";
}

void TestUnit4::help()
{
    QFETCH(QString, how);

    HelpRecorder recorder;
    TForm4 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto *widget = form.findChild<QWidget *>(how);
    QVERIFY(widget);
    if (auto *button = qobject_cast<QPushButton *>(widget)) {
        QTest::mouseClick(button, Qt::LeftButton);
    } else {
        widget->setFocus();
        QTest::keyClick(widget, Qt::Key_F1);
    }
    QCOMPARE(recorder.Requests, QStringList{QStringLiteral("Form4")});
}

// ---------------------------------------------------------------------------
// The font dialog component

void TestUnit4::fontDialogComponent_data()
{
    QTest::addColumn<bool>("confirm");

    QTest::newRow("confirmed: the chosen font") << true;
    QTest::newRow("cancelled: the font stays") << false;
}

void TestUnit4::fontDialogComponent()
{
    QFETCH(bool, confirm);

    ScriptedFontDialog script;
    script.Answer(confirm);
    TFontDialog dialog;
    const TFontRecord font = Record(QStringLiteral("Liberation Serif"), 11, fsItalic, clNavy, 204);
    dialog.SetFont(font);
    QCOMPARE(dialog.Execute(), confirm);
    QCOMPARE(script.Shown, QList<TFontRecord>{font});
    QCOMPARE(dialog.Font(), confirm ? Changed(font, 1) : font);
}

void TestUnit4::fontDialogWithoutPresenterRaises()
{
    TFontDialogPresenter *previous = SetFontDialogPresenter(nullptr);
    TFontDialog dialog;
    bool raised = false;
    try {
        dialog.Execute();
    } catch (const EDialogError &) {
        raised = true;
    }
    SetFontDialogPresenter(previous);
    QVERIFY(raised);
}

// ---------------------------------------------------------------------------
// The Qt font dialog

void TestUnit4::qtDialogKeepsWhatIsLeftAlone_data()
{
    QTest::addColumn<TFontRecord>("font");

    QTest::newRow("Courier New (a stand-in here), window text")
        << Record(QStringLiteral("Courier New"), 10, {}, clWindowText, 1);
    QTest::newRow("bold italic, navy, Cyrillic")
        << Record(QStringLiteral("DejaVu Sans"), 12, fsBold | fsItalic, clNavy, 204);
    QTest::newRow("underline and strike-out, green, ANSI")
        << Record(QStringLiteral("Liberation Serif"), 9, fsUnderline | fsStrikeOut, 0x00FF00, 0);
    QTest::newRow("unknown face, bold, window colour")
        << Record(QStringLiteral("No Such Face"), 14, fsBold, SystemColorBase + 5, 238);
    QTest::newRow("a colour with a high byte, as the settings may hold")
        << Record(QStringLiteral("DejaVu Sans"), 10, {}, 0x02123456, 1);
    QTest::newRow("a system colour without a palette entry")
        << Record(QStringLiteral("DejaVu Sans"), 10, {}, SystemColorBase + 25, 1);
}

// Confirming without touching anything gives the record back as it went in.
void TestUnit4::qtDialogKeepsWhatIsLeftAlone()
{
    QFETCH(TFontRecord, font);

    TQtFontDialog dialog;
    dialog.SetFontRecord(font);
    const TFontRecord result = dialog.FontRecord();
    QVERIFY2(result == font, qPrintable(Describe(result)));
    QCOMPARE(dialog.CurrentColor(), ToQColor(font.Color));
}

void TestUnit4::qtDialogShowsTheFaceThatDrawsIt_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("Courier New, drawn with its stand-in here") << "Courier New";
    QTest::newRow("a face no one has") << "No Such Face";
    QTest::newRow("an installed face") << "DejaVu Sans";
}

// The font box selects the face a stored name is actually drawn with (the
// one the grid uses), and the record keeps the stored name.
void TestUnit4::qtDialogShowsTheFaceThatDrawsIt()
{
    QFETCH(QString, name);

    const TFontRecord font = Record(name, 11, {}, clWindowText, 1);
    const QString drawnWith = QFontInfo(ToQFont(font)).family();
    QVERIFY(QFontDatabase::families().contains(drawnWith));
    TQtFontDialog dialog;
    dialog.SetFontRecord(font);
    QCOMPARE(dialog.FontBox()->currentFont().family(), drawnWith);
    QCOMPARE(dialog.FontRecord().Name, name);
    if (name == QLatin1String("Courier New"))
        QCOMPARE(drawnWith, QStringLiteral("Liberation Mono"));
}

void TestUnit4::qtDialogTakesChanges_data()
{
    QTest::addColumn<TFontRecord>("font");
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<TFontRecord>("expected");

    const TFontRecord courier = Record(QStringLiteral("Courier New"), 10, {}, clWindowText, 204);
    QTest::newRow("another face, size and bold")
        << courier << "DejaVu Sans" << 14 << true << false
        << Record(QStringLiteral("DejaVu Sans"), 14, fsBold, clWindowText, 204);
    QTest::newRow("the size alone keeps the face's name")
        << courier << "" << 12 << false << false << Record(QStringLiteral("Courier New"), 12, {}, clWindowText, 204);
    QTest::newRow("underline alone")
        << Record(QStringLiteral("Liberation Serif"), 11, fsItalic, clNavy, 0) << "" << 0 << false << true
        << Record(QStringLiteral("Liberation Serif"), 11, fsItalic | fsUnderline, clNavy, 0);
    QTest::newRow("bold off")
        << Record(QStringLiteral("DejaVu Sans"), 10, fsBold, 0x123456, 1) << "DejaVu Sans" << 10 << false << false
        << Record(QStringLiteral("DejaVu Sans"), 10, {}, 0x123456, 1);
}

// What the user changes in the font box reaches the record; the rest stays.
void TestUnit4::qtDialogTakesChanges()
{
    QFETCH(TFontRecord, font);
    QFETCH(QString, family);
    QFETCH(int, size);
    QFETCH(bool, bold);
    QFETCH(bool, underline);
    QFETCH(TFontRecord, expected);

    TQtFontDialog dialog;
    dialog.SetFontRecord(font);
    QFont chosen = dialog.FontBox()->currentFont();
    if (!family.isEmpty()) {
        chosen = QFontDatabase::font(family, bold ? QStringLiteral("Bold") : QStringLiteral("Book"),
                                     size > 0 ? size : chosen.pointSize());
        chosen.setBold(bold);
    }
    if (size > 0)
        chosen.setPointSize(size);
    chosen.setUnderline(underline || chosen.underline());
    dialog.FontBox()->setCurrentFont(chosen);

    const TFontRecord result = dialog.FontRecord();
    QVERIFY2(result == expected, qPrintable(Describe(result) + QStringLiteral(", expected ") + Describe(expected)));
}

void TestUnit4::qtDialogColourButton_data()
{
    QTest::addColumn<qint32>("start");
    QTest::addColumn<QColor>("answer"); // invalid: the colour question cancelled
    QTest::addColumn<qint32>("expected");

    QTest::newRow("window text to red") << clWindowText << QColor(255, 0, 0) << 0x0000FF;
    QTest::newRow("navy to green") << clNavy << QColor(0, 128, 0) << 0x008000;
    QTest::newRow("cancelled keeps window text") << clWindowText << QColor() << clWindowText;
    QTest::newRow("cancelled keeps navy") << clNavy << QColor() << clNavy;
    QTest::newRow("the window text's own colour stays a system colour")
        << clWindowText << ToQColor(clWindowText) << clWindowText;
}

// The colour button asks for a colour, starting from the one shown, and
// shows the answer.
void TestUnit4::qtDialogColourButton()
{
    QFETCH(qint32, start);
    QFETCH(QColor, answer);
    QFETCH(qint32, expected);

    TQtFontDialog dialog;
    const TFontRecord font = Record(QStringLiteral("DejaVu Sans"), 10, {}, start, 204);
    dialog.SetFontRecord(font);
    QList<QColor> asked;
    dialog.SetColorChooser([&](const QColor &initial, QWidget *parent) {
        asked.append(initial);
        if (parent != &dialog)
            return QColor();
        return answer;
    });
    QTest::mouseClick(dialog.ColorButton(), Qt::LeftButton);

    QCOMPARE(asked, QList<QColor>{ToQColor(start)});
    QCOMPARE(dialog.FontRecord().Color, expected);
    const QColor shown = answer.isValid() ? answer : ToQColor(start);
    QCOMPARE(dialog.CurrentColor(), shown);
    const QImage swatch = dialog.ColorButton()->icon().pixmap(dialog.ColorButton()->iconSize()).toImage();
    QCOMPARE(swatch.pixelColor(swatch.rect().center()).rgb(), shown.rgb());
    QCOMPARE(dialog.FontRecord().CharSet, quint8(204));
}

void TestUnit4::qtDialogModal_data()
{
    QTest::addColumn<QString>("close");
    QTest::addColumn<QString>("focus"); // where a key goes: a "box" entry, a "list" of the box, the "box" itself
    QTest::addColumn<bool>("accepted");

    QTest::newRow("OK button") << "ok" << "" << true;
    QTest::newRow("Cancel button") << "cancel" << "" << false;
    QTest::newRow("Enter in an entry of the font box") << "enter" << "entry" << true;
    QTest::newRow("Enter in a list of the font box") << "enter" << "list" << true;
    QTest::newRow("Enter on the font box itself") << "enter" << "box" << true;
    QTest::newRow("Escape in an entry of the font box") << "escape" << "entry" << false;
    QTest::newRow("Escape in a list of the font box") << "escape" << "list" << false;
}

// Run modally: a face, size, bold and a colour chosen, then closed; the font
// box stays in place for the next run.
void TestUnit4::qtDialogModal()
{
    QFETCH(QString, close);
    QFETCH(QString, focus);
    QFETCH(bool, accepted);

    const TFontRecord font = Record(QStringLiteral("Courier New"), 10, {}, clWindowText, 204);
    TQtFontDialog dialog;
    dialog.SetFontRecord(font);
    dialog.SetColorChooser([](const QColor &, QWidget *) { return QColor(0, 0, 128); });

    ModalWatchdog watchdog;
    bool fontBoxShown = false;
    OnNextModal<TQtFontDialog>([&](TQtFontDialog &modal) {
        QCOMPARE(&modal, &dialog);
        fontBoxShown = dialog.FontBox()->isVisible() && !dialog.FontBox()->isWindow();
        dialog.FontBox()->setCurrentFont(QFontDatabase::font(QStringLiteral("DejaVu Sans"), QStringLiteral("Bold"), 16));
        dialog.ColorButton()->click();
        QWidget *target = dialog.FontBox();
        if (focus == QLatin1String("entry"))
            target = dialog.FontBox()->findChild<QLineEdit *>();
        else if (focus == QLatin1String("list"))
            target = dialog.FontBox()->findChild<QAbstractItemView *>();
        QVERIFY(target);
        target->setFocus();
        if (close == QLatin1String("ok"))
            dialog.OkButton()->click();
        else if (close == QLatin1String("cancel"))
            dialog.CancelButton()->click();
        else
            QTest::keyClick(target, close == QLatin1String("enter") ? Qt::Key_Return : Qt::Key_Escape);
    });
    const int result = dialog.exec();
    QVERIFY(!watchdog.Fired());
    QVERIFY(fontBoxShown);
    QCOMPARE(result == QDialog::Accepted, accepted);
    QVERIFY(!dialog.FontBox()->isHidden());

    const TFontRecord chosen = dialog.FontRecord();
    QCOMPARE(chosen.Name, QStringLiteral("DejaVu Sans"));
    QCOMPARE(chosen.Size, 16);
    QCOMPARE(chosen.Style, TFontStyles(fsBold));
    QCOMPARE(chosen.Color, clNavy);
    QCOMPARE(chosen.CharSet, quint8(204));
}

// The colour button's own question: Qt's colour dialog, modal over ours.
void TestUnit4::qtDialogWithQColorDialog()
{
    TQtFontDialog dialog;
    dialog.SetFontRecord(Record(QStringLiteral("Liberation Serif"), 12, fsItalic, clWindowText, 1));

    ModalWatchdog watchdog;
    QColor offered;
    OnNextModal<TQtFontDialog>([&](TQtFontDialog &) {
        OnNextModal<QColorDialog>([&](QColorDialog &colours) {
            offered = colours.currentColor();
            colours.setCurrentColor(QColor(0x12, 0x34, 0x56));
            colours.accept();
        });
        dialog.ColorButton()->click();
        dialog.OkButton()->click();
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QVERIFY(!watchdog.Fired());
    QCOMPARE(offered.rgb(), ToQColor(clWindowText).rgb());
    const TFontRecord chosen = dialog.FontRecord();
    QCOMPARE(chosen.Color, 0x563412);
    QCOMPARE(chosen.Name, QStringLiteral("Liberation Serif"));
    QCOMPARE(chosen.Style, TFontStyles(fsItalic));
}

// The whole way: the font setup dialog's Change runs the Qt font dialog
// through the seam, and OK puts the choice into the owner's font.
void TestUnit4::qtPresenterInTheFontSetup()
{
    TQtFontDialogPresenter presenter;
    TFontDialogPresenter *previous = SetFontDialogPresenter(&presenter);
    const auto unplug = qScopeGuard([previous] { SetFontDialogPresenter(previous); });

    DisplayFonts fonts;
    fonts.Origin.CharSet = 204;
    TForm4 form;
    fonts.AddTo(form);
    int applied = 0;
    form.OnApply = [&](TForm4 &) { ++applied; };

    ModalWatchdog watchdog;
    bool shownOverTheSetup = false;
    bool applyEnabled = false;
    OnNextModal<TForm4>([&](TForm4 &) {
        QTest::mouseClick(form.ListBox1->viewport(), Qt::LeftButton, {}, RowCentre(form.ListBox1, 2));
        OnNextModal<TQtFontDialog>([&](TQtFontDialog &fontDialog) {
            shownOverTheSetup = fontDialog.parentWidget() == &form;
            if (fontDialog.CurrentColor() != ToQColor(clNavy)) {
                fontDialog.reject();
                QFAIL("the font dialog does not show the working copy's colour");
            }
            fontDialog.FontBox()->setCurrentFont(
                QFontDatabase::font(QStringLiteral("DejaVu Sans"), QStringLiteral("Bold"), 14));
            fontDialog.SetCurrentColor(QColor(128, 0, 0));
            fontDialog.OkButton()->click();
        });
        form.Button1->click();
        applyEnabled = form.Button4->isEnabled();
        CheckSampleShows(form, form.WorkingCopies().value(2));
        form.Button2->click();
    });
    QVERIFY(form.ExecuteFontSetup());
    QVERIFY(!watchdog.Fired());
    QVERIFY(shownOverTheSetup);
    QVERIFY(applyEnabled);
    QCOMPARE(applied, 1);
    QCOMPARE(fonts.Origin, Record(QStringLiteral("DejaVu Sans"), 14, fsBold, 0x000080, 204));
    QCOMPARE(fonts.Normal, DefaultNamedFont(QStringLiteral("NormalFont")));
}

QTEST_MAIN(TestUnit4)
#include "tst_unit4.moc"
