// The text edit dialog, driven as a user drives it: each test opens it with
// EditText, acts on the open modal dialog from a timer, closes it and checks
// what EditText gave back, what was shown and what was stored.

#include "diagnostics/LogUtils.h"
#include "dialogs/Unit2.h"
#include "help/HelpService.h"
#include "help/HelpUtils.h"
#include "platform/CodePages.h"
#include "platform/Registry.h"
#include "settings/ConfigUtils.h"
#include "settings/QtFonts.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestEnvironment.h"
#include "uitext/EnglishMsg.h"
#include "uitext/FormTranslation.h"
#include "uitext/LangUtils.h"

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSplitter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// Points HOME and the settings at a temporary folder before the application
// object starts; each test then gets a folder of its own.
const TestEnvironment ProcessEnvironment;

const QString LastKey = QStringLiteral("\\Software\\Tessavel\\Lexivane\\1.0\\Last");

// Writes down every request that reaches the help viewer.
class THelpRecorder : public THelpService
{
public:
    THelpRecorder() : m_previous(SetHelpService(this)) {}
    ~THelpRecorder() override { SetHelpService(m_previous); }
    THelpRecorder(const THelpRecorder &) = delete;
    THelpRecorder &operator=(const THelpRecorder &) = delete;

    QStringList calls;

    void ShowContents() override { calls << QStringLiteral("contents"); }
    void ShowTopic(const QString &jumpName) override { calls << QStringLiteral("topic ") + jumpName; }
    void ShowPopup(const QString &jumpName, const QPoint &) override { calls << QStringLiteral("popup ") + jumpName; }
    void ShowContext(int context) override { calls << QStringLiteral("context ") + QString::number(context); }

private:
    THelpService *m_previous;
};

// What one modal run of EditText gave.
struct TRun
{
    bool Result = false;
    bool WasModal = false;  // the script found the dialog as the modal window
    bool LeftOpen = false;  // the script ended with the dialog still open
};

// Types Text into Widget key by key; a line feed is typed as Ctrl+Enter.
void Type(QWidget *widget, const QString &text)
{
    for (const QChar character : text) {
        if (character == QLatin1Char('\n'))
            QTest::keyClick(widget, Qt::Key_Return, Qt::ControlModifier);
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(character), Qt::NoModifier);
    }
}

void SendMouse(QWidget *widget, QEvent::Type type)
{
    const QPointF position(5, 5);
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, position, widget->mapToGlobal(position), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// A click and a double click as Qt delivers them from the mouse.
void Click(QWidget *widget)
{
    SendMouse(widget, QEvent::MouseButtonPress);
    SendMouse(widget, QEvent::MouseButtonRelease);
}

void DoubleClick(QWidget *widget)
{
    Click(widget);
    SendMouse(widget, QEvent::MouseButtonPress);
    SendMouse(widget, QEvent::MouseButtonDblClick);
    SendMouse(widget, QEvent::MouseButtonRelease);
}

// Sends a key to Widget; whether anyone on the way took it.
bool SendKey(QWidget *widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(widget, &event);
    return event.isAccepted();
}

QString Letters(int count, char letter = 'a')
{
    return QString(count, QLatin1Char(letter));
}

QString StoredValue(const QString &name)
{
    TRegistry registry(RegistryRoot::CurrentUser);
    if (!registry.OpenKeyReadOnly(LastKey) || !registry.ValueExists(name))
        return {};
    return registry.ReadString(name);
}

void StoreValue(const QString &name, const QString &value)
{
    TRegistry registry(RegistryRoot::CurrentUser);
    QVERIFY(registry.OpenKey(LastKey, true));
    registry.WriteString(name, value);
}

// The text a plain text box holds, every character as it stands.
QString RawText(const QPlainTextEdit *memo)
{
    return memo->document()->toRawText();
}

TFontRecord FontRecord(const QString &name, int size, TFontStyles style, qint32 color)
{
    TFontRecord font;
    font.Name = name;
    font.Size = size;
    font.Style = style;
    font.Color = color;
    return font;
}

} // namespace

#define VERIFY_RUN(run)                                                                                          \
    do {                                                                                                         \
        QVERIFY2((run).WasModal, "the dialog was not the modal window");                                        \
        QVERIFY2(!(run).LeftOpen, "the dialog was still open when the script ended");                           \
    } while (false)

class TestUnit2 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void withLineFeeds_data();
    void withLineFeeds();
    void components_data();
    void components();
    void designProperties();
    void englishTableTranslates_data();
    void englishTableTranslates();
    void showingTexts_data();
    void showingTexts();
    void preparedAtEveryShowing();
    void fontsCopiedAndApplied();
    void storedForm_data();
    void storedForm();
    void lengthLimit_data();
    void lengthLimit();
    void placeholderProblemLineAndQuestion_data();
    void placeholderProblemLineAndQuestion();
    void previousOriginalShownWithWhatChanged();
    void longerTextConfirmedUnchanged_data();
    void longerTextConfirmedUnchanged();
    void cancelKeepsEverything_data();
    void cancelKeepsEverything();
    void enterKey_data();
    void enterKey();
    void everyByteSurvives_data();
    void everyByteSurvives();
    void typedTextStoredInItsCodePage_data();
    void typedTextStoredInItsCodePage();
    void twoMessagesWithDifferentOemFlags();
    void characterOutsideCodePageRefused_data();
    void characterOutsideCodePageRefused();
    void oemAreaToggles_data();
    void oemAreaToggles();
    void oemAreaShowsNothing();
    void f5TogglesMaximized_data();
    void f5TogglesMaximized();
    void paneHeightOnShowing_data();
    void paneHeightOnShowing();
    void firstShowingCentredAtDesignSize();
    void placementWrittenAndRead();
    void helpButton();
    void failuresReachTheCaller_data();
    void failuresReachTheCaller();
    void settingsFailureDoesNotStopTheDialog();

private:
    // Runs EditText on the dialog; Script acts on the open dialog and should
    // close it. A dialog left open is closed with Cancel.
    TRun edit(QByteArray &text, const QByteArray &original, bool &oem, const std::function<void()> &script,
              const std::optional<QByteArray> &previousOriginal = std::nullopt);
    // The same with the texts and flag thrown away afterwards.
    TRun edit(const QByteArray &text, bool oem, const std::function<void()> &script);

    template <typename T = QWidget>
    T *child(const char *name) const
    {
        return m_form->findChild<T *>(QLatin1String(name));
    }
    QPlainTextEdit *memo1() const { return child<QPlainTextEdit>("Memo1"); }
    QPlainTextEdit *memo2() const { return child<QPlainTextEdit>("Memo2"); }
    bool isOem() const { return child<QCheckBox>("OEMCheck")->isChecked(); }

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<ScriptedMessageBoxes> m_boxes;
    std::unique_ptr<TForm2> m_form;
};

TRun TestUnit2::edit(QByteArray &text, const QByteArray &original, bool &oem, const std::function<void()> &script,
                     const std::optional<QByteArray> &previousOriginal)
{
    TRun run;
    TForm2 &form = *m_form;
    QObject scope; // cancels the timer if EditText never runs its loop
    QTimer::singleShot(0, &scope, [&] {
        run.WasModal = QApplication::activeModalWidget() == &form && form.isVisible();
        if (!run.WasModal) {
            form.reject();
            return;
        }
        script();
        if (form.isVisible()) {
            run.LeftOpen = true;
            form.reject();
        }
    });
    run.Result = form.EditText(text, original, oem, previousOriginal);
    return run;
}

TRun TestUnit2::edit(const QByteArray &text, bool oem, const std::function<void()> &script)
{
    QByteArray changed = text;
    return edit(changed, text, oem, script);
}

void TestUnit2::initTestCase()
{
    AddLanguage(QLatin1String(EnglishLanguageEntry), EnglishTable());
    AddLanguage(QStringLiteral("TEST=Test"),
                QStringLiteral("EditTextTitle=Edit it\nCCountLabel=Chars\nTextTooLarge=Too long\n"));
    SetLanguage(QStringLiteral("ENGLISH"));
}

void TestUnit2::init()
{
    m_env = std::make_unique<TestEnvironment>();
    AppIni().SetAppKey(LexivaneAppKey);
    SetCodePages(QStringLiteral("windows-1251"), QStringLiteral("IBM866"));
    m_boxes = std::make_unique<ScriptedMessageBoxes>();
    m_form = std::make_unique<TForm2>();
}

void TestUnit2::cleanup()
{
    m_form.reset();
    m_boxes.reset();
    SetLanguage(QStringLiteral("ENGLISH"));
    AppIni().SetAppKey(QString());
    m_env.reset();
}

void TestUnit2::withLineFeeds_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const QString paragraph(QChar::ParagraphSeparator);
    const QString line(QChar::LineSeparator);
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("no line break") << "one line\tand a tab" << "one line\tand a tab";
    QTest::newRow("LF") << "a\nb\n" << "a\nb\n";
    QTest::newRow("CR LF") << "a\r\nb\r\n" << "a\nb\n";
    QTest::newRow("lone CR") << "a\rb\r" << "a\nb\n";
    QTest::newRow("LF CR: two breaks") << "a\n\rb" << "a\n\nb";
    QTest::newRow("CR CR LF: two breaks") << "a\r\r\nb" << "a\n\nb";
    QTest::newRow("CR LF LF: two breaks") << "a\r\n\nb" << "a\n\nb";
    QTest::newRow("paragraph separators") << paragraph + "a" + paragraph << "\na\n";
    QTest::newRow("line separator") << "a" + line + "b" << "a\nb";
    QTest::newRow("separator then LF: two breaks") << "a" + paragraph + "\nb" << "a\n\nb";
    QTest::newRow("no-break space and NUL kept") << QStringLiteral("a\u00A0b") + QChar(0) << QStringLiteral("a\u00A0b") + QChar(0);
}

void TestUnit2::withLineFeeds()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(WithLineFeeds(text), expected);
}

void TestUnit2::components_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<bool>("visible");

    QTest::newRow("Panel4") << "Panel4" << "QWidget" << true;
    QTest::newRow("Panel5") << "Panel5" << "QWidget" << true;
    QTest::newRow("Panel6") << "Panel6" << "QWidget" << true;
    QTest::newRow("TextLabel") << "TextLabel" << "QLabel" << true;
    QTest::newRow("Memo1") << "Memo1" << "QPlainTextEdit" << true;
    QTest::newRow("Splitter1") << "Splitter1" << "QSplitter" << true;
    QTest::newRow("Panel7") << "Panel7" << "QWidget" << true;
    QTest::newRow("Panel8") << "Panel8" << "QWidget" << true;
    QTest::newRow("OrigLabel") << "OrigLabel" << "QLabel" << true;
    QTest::newRow("Memo2") << "Memo2" << "QPlainTextEdit" << true;
    QTest::newRow("Panel1") << "Panel1" << "QWidget" << true;
    QTest::newRow("CCountLabel") << "CCountLabel" << "QLabel" << true;
    QTest::newRow("Panel2") << "Panel2" << "QWidget" << true;
    QTest::newRow("btnOK") << "btnOK" << "QPushButton" << true;
    QTest::newRow("Button2") << "Button2" << "QPushButton" << true;
    QTest::newRow("Button3") << "Button3" << "QPushButton" << true;
    QTest::newRow("OEMCheck never visible") << "OEMCheck" << "QCheckBox" << false;
    QTest::newRow("Panel3") << "Panel3" << "QWidget" << true;
    QTest::newRow("Label1 never visible") << "Label1" << "QLabel" << false;
    QTest::newRow("Button1 never visible") << "Button1" << "QPushButton" << false;
}

void TestUnit2::components()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(bool, visible);

    const TRun run = edit("text", false, [&] {
        auto *widget = m_form->findChild<QWidget *>(name);
        QVERIFY2(widget, qPrintable(name));
        QVERIFY2(widget->inherits(qPrintable(className)), widget->metaObject()->className());
        QCOMPARE(widget->isVisible(), visible);
        QCOMPARE(widget->window(), static_cast<QWidget *>(m_form.get()));
        m_form->reject();
    });
    VERIFY_RUN(run);
}

void TestUnit2::designProperties()
{
    TForm2 &form = *m_form;
    QCOMPARE(form.objectName(), QStringLiteral("Form2"));
    QCOMPARE(form.size(), QSize(492, 273));
    QCOMPARE(form.font().family(), QStringLiteral("Arial"));
    QCOMPARE(form.font().pixelSize(), 13);
    QVERIFY(form.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!form.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(form.windowFlags().testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(!form.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
    QCOMPARE(HelpContextOf(&form), 1);

    auto *help = form.findChild<TContextHelp *>(QStringLiteral("ContextHelp1"));
    QVERIFY(help);
    QCOMPARE(form.findChildren<TContextHelp *>().size(), 1);

    QCOMPARE(child<QWidget>("Panel3")->size(), QSize(29, 14));
    QCOMPARE(child<QWidget>("Panel1")->height(), 30);
    QCOMPARE(child<QSplitter>("Splitter1")->handleWidth(), 5);
    QCOMPARE(child<QSplitter>("Splitter1")->orientation(), Qt::Vertical);
    QVERIFY(!memo1()->isReadOnly());
    QVERIFY(memo2()->isReadOnly());
    QCOMPARE(memo1()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(memo2()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(child<QPushButton>("btnOK")->isDefault());
    for (const char *name : {"btnOK", "Button2", "Button3"}) {
        auto *button = child<QPushButton>(name);
        QVERIFY2(!(button->focusPolicy() & Qt::TabFocus), name);
        QVERIFY2(!button->isDefault() || button == child<QPushButton>("btnOK"), name);
    }
    // The splitter lies between the two panes.
    auto *splitter = child<QSplitter>("Splitter1");
    QCOMPARE(splitter->count(), 2);
    QCOMPARE(splitter->widget(0), child<QWidget>("Panel5"));
    QCOMPARE(splitter->widget(1), child<QWidget>("Panel7"));
    QVERIFY(child<QWidget>("Panel4")->isAncestorOf(splitter));
    QVERIFY(child<QWidget>("Panel5")->isAncestorOf(memo1()));
    QVERIFY(child<QWidget>("Panel7")->isAncestorOf(memo2()));
    QVERIFY(child<QWidget>("Panel2")->isAncestorOf(child<QPushButton>("Button3")));
    QVERIFY(child<QWidget>("Panel3")->isAncestorOf(child<QLabel>("Label1")));
}

void TestUnit2::englishTableTranslates_data()
{
    QTest::addColumn<QString>("component"); // empty: the window itself
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("expected");

    QTest::newRow("caption") << "" << "windowTitle" << "Change text";
    QTest::newRow("Button2") << "Button2" << "text" << "Cancel";
    QTest::newRow("Button1") << "Button1" << "text" << "Convert...";
    QTest::newRow("Button3") << "Button3" << "text" << "&Help";
    QTest::newRow("TextLabel") << "TextLabel" << "text" << "Message text";
    QTest::newRow("OrigLabel") << "OrigLabel" << "text" << "Original text";
}

void TestUnit2::englishTableTranslates()
{
    QFETCH(QString, component);
    QFETCH(QString, property);
    QFETCH(QString, expected);

    QObject *target = component.isEmpty() ? static_cast<QObject *>(m_form.get()) : m_form->findChild<QObject *>(component);
    QVERIFY(target);
    QVERIFY(target->setProperty(qPrintable(property), QString()));
    try {
        SetLanguage(QStringLiteral("ENGLISH"));
        TranslateForm(m_form.get());
    } catch (const std::exception &error) {
        QFAIL(error.what());
    }
    QCOMPARE(target->property(qPrintable(property)).toString(), expected);
    // Texts the table does not hold stay as built.
    QCOMPARE(child<QPushButton>("btnOK")->text(), QStringLiteral("OK"));
    QCOMPARE(child<QCheckBox>("OEMCheck")->text(), QStringLiteral("OEM"));
    QCOMPARE(child<QLabel>("Label1")->text(), QStringLiteral("&OEM"));
}

void TestUnit2::showingTexts_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("countPrefix");
    QTest::addColumn<QString>("tooLarge");

    QTest::newRow("English") << "ENGLISH" << "Change text" << "Total chars: " << "Text length can't exceed 255 characters";
    QTest::newRow("another table") << "TEST" << "Edit it" << "Chars: " << "Too long";
}

void TestUnit2::showingTexts()
{
    QFETCH(QString, language);
    QFETCH(QString, title);
    QFETCH(QString, countPrefix);
    QFETCH(QString, tooLarge);

    SetLanguage(language);
    const TRun run = edit("line 1\nline 2", false, [&] {
        QCOMPARE(m_form->windowTitle(), title);
        QCOMPARE(child<QLabel>("CCountLabel")->text(), countPrefix + QStringLiteral("13"));
        Type(memo1(), Letters(250));
        QCOMPARE(child<QLabel>("CCountLabel")->text(), countPrefix + QStringLiteral("263"));
        QTest::keyClick(memo1(), Qt::Key_Return);
        QVERIFY(m_form->isVisible());
        QCOMPARE(m_boxes->Count(), 1);
        QCOMPARE(m_boxes->Last().Text, tooLarge);
        m_form->reject();
    });
    VERIFY_RUN(run);
}

void TestUnit2::preparedAtEveryShowing()
{
    // A first use leaves the caret at the end, a selection and focus on the
    // original text.
    TRun run = edit("first text", false, [&] {
        memo1()->selectAll();
        memo2()->setFocus();
        m_form->reject();
    });
    VERIFY_RUN(run);

    run = edit("second\ntext", false, [&] {
        QCOMPARE(RawText(memo1()), QStringLiteral("second") + QChar::ParagraphSeparator + QStringLiteral("text"));
        QCOMPARE(RawText(memo2()), RawText(memo1()));
        QCOMPARE(m_form->focusWidget(), static_cast<QWidget *>(memo1()));
        const QTextCursor cursor = memo1()->textCursor();
        QCOMPARE(cursor.position(), 0);
        QVERIFY(!cursor.hasSelection());
        QCOMPARE(child<QLabel>("CCountLabel")->text(), QStringLiteral("Total chars: 11"));
        m_form->reject();
    });
    VERIFY_RUN(run);
}

void TestUnit2::fontsCopiedAndApplied()
{
    TFontRecord text = FontRecord(QStringLiteral("DejaVu Serif"), 17, fsBold, 0x0000FF);
    TFontRecord original = FontRecord(QStringLiteral("DejaVu Sans Mono"), 9, fsItalic, 0x008000);
    m_form->SetEditFonts(text, original);
    // The dialog holds copies: later changes to the caller's records do not reach it.
    text.Size = 30;
    original.Name = QStringLiteral("Nothing");

    const TRun run = edit("text", false, [&] {
        const QFont memoFont = memo1()->font();
        QCOMPARE(memoFont.family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(memoFont.pointSize(), 17);
        QVERIFY(memoFont.bold());
        QVERIFY(!memoFont.italic());
        QCOMPARE(memo1()->palette().color(QPalette::Text), QColor(255, 0, 0));
        const QFont originalFont = memo2()->font();
        QCOMPARE(originalFont.family(), QStringLiteral("DejaVu Sans Mono"));
        QCOMPARE(originalFont.pointSize(), 9);
        QVERIFY(originalFont.italic());
        QVERIFY(!originalFont.bold());
        QCOMPARE(memo2()->palette().color(QPalette::Text), QColor(0, 128, 0));
        m_form->reject();
    });
    VERIFY_RUN(run);
}

void TestUnit2::storedForm_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("pasted"); // inserted at the end, as a paste would
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("count");

    QTest::newRow("empty") << QByteArray() << QString() << QByteArray() << 0;
    QTest::newRow("line feeds of the message") << QByteArray("ab\ncd\n") << QString() << QByteArray("ab\ncd\n") << 6;
    QTest::newRow("carriage return of the message") << QByteArray("ab\rcd") << QString() << QByteArray("ab\ncd") << 5;
    QTest::newRow("CR LF of the message") << QByteArray("ab\r\ncd") << QString() << QByteArray("ab\ncd") << 5;
    QTest::newRow("CR LF pasted") << QByteArray("ab") << QStringLiteral("\r\ncd") << QByteArray("ab\ncd") << 5;
    QTest::newRow("lone CR pasted") << QByteArray("ab") << QStringLiteral("\rcd\r") << QByteArray("ab\ncd\n") << 6;
    QTest::newRow("LF CR pasted") << QByteArray("ab") << QStringLiteral("\n\rcd") << QByteArray("ab\n\ncd") << 6;
    QTest::newRow("paragraph separator pasted") << QByteArray("ab") << (QString(QChar::ParagraphSeparator) + "cd")
                                                << QByteArray("ab\ncd") << 5;
    QTest::newRow("line separator pasted") << QByteArray("ab") << (QString(QChar::LineSeparator) + "cd")
                                           << QByteArray("ab\ncd") << 5;
    QTest::newRow("no-break space kept") << QByteArray("a\xA0" "b") << QString() << QByteArray("a\xA0" "b") << 3;
    QTest::newRow("tab kept") << QByteArray("a\tb") << QStringLiteral("\t") << QByteArray("a\tb\t") << 4;
    QTest::newRow("Cyrillic pasted") << QByteArray("1 ") << QStringLiteral("Жук") << QByteArray("1 \xC6\xF3\xEA") << 5;
}

void TestUnit2::storedForm()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, pasted);
    QFETCH(QByteArray, stored);
    QFETCH(int, count);

    QByteArray edited = text;
    bool oem = false;
    const TRun run = edit(edited, text, oem, [&] {
        memo1()->moveCursor(QTextCursor::End);
        memo1()->insertPlainText(pasted);
        QByteArray shown;
        QVERIFY(m_form->GetStoredText(shown));
        QCOMPARE(shown, stored);
        QCOMPARE(child<QLabel>("CCountLabel")->text(), QStringLiteral("Total chars: %1").arg(count));
        QTest::keyClick(memo1(), Qt::Key_Return);
    });
    VERIFY_RUN(run);
    QVERIFY(run.Result);
    QCOMPARE(edited, stored);
    QVERIFY(!oem);
    QCOMPARE(m_boxes->Count(), 0);
}

void TestUnit2::lengthLimit_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("255 letters close") << Letters(255) << 255 << true;
    QTest::newRow("256 letters don't") << Letters(256) << 256 << false;
    QTest::newRow("253 letters on two lines count 254") << Letters(100) + "\n" + Letters(153, 'b') << 254 << true;
    QTest::newRow("254 letters on two lines count 255") << Letters(127) + "\n" + Letters(127, 'b') << 255 << true;
    QTest::newRow("255 letters on two lines count 256") << Letters(128) + "\n" + Letters(127, 'b') << 256 << false;
    QTest::newRow("255 line breaks") << QString(255, QLatin1Char('\n')) << 255 << true;
}

void TestUnit2::lengthLimit()
{
    QFETCH(QString, typed);
    QFETCH(int, count);
    QFETCH(bool, accepted);

    QByteArray text;
    bool oem = false;
    const TRun run = edit(text, "original", oem, [&] {
        Type(memo1(), typed);
        QCOMPARE(child<QLabel>("CCountLabel")->text(), QStringLiteral("Total chars: %1").arg(count));
        QTest::keyClick(memo1(), Qt::Key_Return);
        if (accepted) {
            QVERIFY(!m_form->isVisible());
            return;
        }
        QVERIFY(m_form->isVisible());
        QCOMPARE(m_boxes->Count(), 1);
        const TMessageBoxRequest &box = m_boxes->Last();
        QCOMPARE(box.Text, QStringLiteral("Text length can't exceed 255 characters"));
        QCOMPARE(box.Kind, TMsgDlgType::mtError);
        QCOMPARE(box.Buttons, TMsgDlgButtons(TMsgDlgBtn::mbOK));
        // The text stays as typed; a second OK is refused again.
        QCOMPARE(m_form->StoredCharacters(), typed);
        QTest::keyClick(memo1(), Qt::Key_Return);
        QVERIFY(m_form->isVisible());
        QCOMPARE(m_boxes->Count(), 2);
        QTest::keyClick(memo1(), Qt::Key_Escape);
    });
    VERIFY_RUN(run);
    QCOMPARE(run.Result, accepted);
    QCOMPARE(text, accepted ? typed.toLatin1() : QByteArray());
    if (accepted)
        QCOMPARE(m_boxes->Count(), 0);
}

void TestUnit2::placeholderProblemLineAndQuestion_data()
{
    QTest::addColumn<QString>("typed");  // replaces the text
    QTest::addColumn<QString>("line");   // under the text box
    QTest::addColumn<QString>("answer"); // to the question; empty: none asked
    QTest::addColumn<bool>("accepted");

    QTest::newRow("placeholders kept: no question") << "fichier @1, ligne %d" << "" << "" << true;
    QTest::newRow("dropped @1, Yes keeps it") << "fichier, ligne %d" << "Missing @1" << "Yes" << true;
    QTest::newRow("dropped @1, No goes back") << "fichier, ligne %d" << "Missing @1" << "No" << false;
    QTest::newRow("printf of another type, Yes") << "fichier @1, ligne %s" << "Placeholders %d became %s" << "Yes"
                                                 << true;
    QTest::newRow("typed back to the original: no problem") << "file @1, line %d" << "" << "" << true;
}

// The line under the text box names the placeholder problem of the text as
// it is typed; OK on a text with one asks whether to keep it.
void TestUnit2::placeholderProblemLineAndQuestion()
{
    QFETCH(QString, typed);
    QFETCH(QString, line);
    QFETCH(QString, answer);
    QFETCH(bool, accepted);

    const QByteArray original("file @1, line %d");
    QByteArray text = "fichier @1, ligne %d";
    bool oem = false;
    if (!answer.isEmpty())
        m_boxes->Answer(answer == QLatin1String("Yes") ? TModalResult::mrYes : TModalResult::mrNo);
    const TRun run = edit(text, original, oem, [&] {
        auto *problem = child<QLabel>("ProblemLabel");
        QCOMPARE(problem->text(), QString());
        memo1()->selectAll();
        Type(memo1(), typed);
        QCOMPARE(problem->text(), line);
        QTest::keyClick(memo1(), Qt::Key_Return);
        QCOMPARE(m_boxes->Count(), answer.isEmpty() ? 0 : 1);
        if (!answer.isEmpty()) {
            QCOMPARE(m_boxes->Last().Text,
                     QStringLiteral("The placeholders differ from the original: %1. Keep this text?").arg(line));
            QCOMPARE(m_boxes->Last().Buttons, TMsgDlgButtons(TMsgDlgBtn::mbYes | TMsgDlgBtn::mbNo));
        }
        QCOMPARE(m_form->isVisible(), !accepted);
        if (!accepted) {
            QVERIFY(memo1()->hasFocus() || !QApplication::focusWidget());
            QCOMPARE(m_form->StoredCharacters(), typed);
            QTest::keyClick(memo1(), Qt::Key_Escape);
        }
    });
    VERIFY_RUN(run);
    QCOMPARE(run.Result, accepted);
    QCOMPARE(text, accepted ? typed.toLatin1() : QByteArray("fichier @1, ligne %d"));
}

// A message to review shows the original its translation was made for,
// under the original, with the words added and dropped marked; without one
// the box is not there.
void TestUnit2::previousOriginalShownWithWhatChanged()
{
    const auto marked = [](QPlainTextEdit *memo) {
        QStringList pieces;
        for (const QTextEdit::ExtraSelection &selection : memo->extraSelections())
            pieces << selection.cursor.selectedText();
        return pieces.join(QLatin1Char('|'));
    };
    QByteArray text = "impossible d'ouvrir %s";
    bool oem = false;
    QString added;
    QString removed;
    bool shown = false;
    TRun run = edit(text, "cannot read the file %s", oem, [&] {
        shown = child<QPlainTextEdit>("Memo3")->isVisible() && child<QLabel>("PrevOrigLabel")->isVisible();
        added = marked(memo2());
        removed = marked(child<QPlainTextEdit>("Memo3"));
        QTest::keyClick(memo1(), Qt::Key_Return);
    }, QByteArray("cannot open file %s"));
    VERIFY_RUN(run);
    QVERIFY(shown);
    QCOMPARE(added, QStringLiteral("read the"));
    QCOMPARE(removed, QStringLiteral("open"));
    // OK with the text as it was is a confirmation: the mark is the caller's.
    QVERIFY(run.Result);
    QCOMPARE(text, QByteArray("impossible d'ouvrir %s"));

    run = edit(text, "cannot read the file %s", oem, [&] {
        shown = child<QPlainTextEdit>("Memo3")->isVisible();
        added = marked(memo2());
        QTest::keyClick(memo1(), Qt::Key_Escape);
    });
    VERIFY_RUN(run);
    QVERIFY(!shown);
    QCOMPARE(added, QString());
}

void TestUnit2::longerTextConfirmedUnchanged_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("unchanged: OK closes") << "none" << true;
    QTest::newRow("typed and deleted again: OK closes") << "type and delete" << true;
    QTest::newRow("a letter added: refused") << "type" << false;
    QTest::newRow("a letter deleted, still too long: refused") << "delete" << false;
    QTest::newRow("the OEM state toggled: refused") << "toggle" << false;
}

// A file may hold texts longer than the dialog accepts (up to 1016 bytes);
// such a text can be confirmed as it is, only a change must keep the limit.
void TestUnit2::longerTextConfirmedUnchanged()
{
    QFETCH(QString, change);
    QFETCH(bool, accepted);

    const QByteArray given = QByteArray("A long message\n") + QByteArray(955, 'x');
    QCOMPARE(given.size(), 970);
    QByteArray text = given;
    bool oem = false;
    const TRun run = edit(text, given, oem, [&] {
        QTextCursor cursor = memo1()->textCursor();
        cursor.movePosition(QTextCursor::End);
        memo1()->setTextCursor(cursor);
        if (change.startsWith(QLatin1String("type")))
            QTest::keyClick(memo1(), Qt::Key_Y);
        if (change.endsWith(QLatin1String("delete")))
            QTest::keyClick(memo1(), Qt::Key_Backspace);
        if (change == QLatin1String("toggle"))
            Click(child<QWidget>("Panel3"));
        QTest::keyClick(memo1(), Qt::Key_Return);
        QCOMPARE(m_form->isVisible(), !accepted);
        QCOMPARE(m_boxes->Count(), accepted ? 0 : 1);
        if (!accepted) {
            QCOMPARE(m_boxes->Last().Text, QStringLiteral("Text length can't exceed 255 characters"));
            QTest::keyClick(memo1(), Qt::Key_Escape);
        }
    });
    VERIFY_RUN(run);
    QCOMPARE(run.Result, accepted);
    QCOMPARE(text, given);
    QVERIFY(!oem);
}

void TestUnit2::cancelKeepsEverything_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("oem");

    QTest::newRow("Escape") << "escape" << false;
    QTest::newRow("Escape, OEM") << "escape" << true;
    QTest::newRow("Cancel button") << "cancel" << false;
    QTest::newRow("close box") << "close" << true;
}

void TestUnit2::cancelKeepsEverything()
{
    QFETCH(QString, how);
    QFETCH(bool, oem);

    const QByteArray before("old text\nsecond line");
    QByteArray text = before;
    bool flag = oem;
    const TRun run = edit(text, "original", flag, [&] {
        Type(memo1(), Letters(400, 'z'));
        QCOMPARE(child<QLabel>("CCountLabel")->text(), QStringLiteral("Total chars: 420"));
        DoubleClick(child<QWidget>("Panel3"));
        Click(child<QWidget>("Panel3"));
        QCOMPARE(isOem(), !oem);
        if (how == QLatin1String("escape"))
            QTest::keyClick(memo1(), Qt::Key_Escape);
        else if (how == QLatin1String("cancel"))
            QTest::mouseClick(child<QPushButton>("Button2"), Qt::LeftButton);
        else
            m_form->close();
        QVERIFY(!m_form->isVisible());
    });
    VERIFY_RUN(run);
    QVERIFY(!run.Result);
    QCOMPARE(text, before);
    QCOMPARE(flag, oem);
    QCOMPARE(m_boxes->Count(), 0);
}

void TestUnit2::enterKey_data()
{
    QTest::addColumn<QString>("receiver");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("closes");

    QTest::newRow("Enter in the text") << "Memo1" << int(Qt::Key_Return) << Qt::KeyboardModifiers() << true;
    QTest::newRow("keypad Enter in the text") << "Memo1" << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier)
                                              << true;
    QTest::newRow("Shift+Enter in the text") << "Memo1" << int(Qt::Key_Return)
                                             << Qt::KeyboardModifiers(Qt::ShiftModifier) << true;
    QTest::newRow("Enter in the original") << "Memo2" << int(Qt::Key_Return) << Qt::KeyboardModifiers() << true;
    QTest::newRow("Ctrl+Enter breaks the line") << "Memo1" << int(Qt::Key_Return)
                                                << Qt::KeyboardModifiers(Qt::ControlModifier) << false;
}

void TestUnit2::enterKey()
{
    QFETCH(QString, receiver);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, closes);

    QByteArray text("abc");
    bool oem = false;
    const TRun run = edit(text, "abc", oem, [&] {
        auto *widget = m_form->findChild<QPlainTextEdit *>(receiver);
        QVERIFY(widget);
        widget->setFocus();
        widget->moveCursor(QTextCursor::End);
        QTest::keyClick(widget, Qt::Key(key), modifiers);
        QCOMPARE(m_form->isVisible(), !closes);
        if (closes)
            return;
        QCOMPARE(m_form->StoredCharacters(), QStringLiteral("abc\n"));
        QTest::keyClick(memo1(), Qt::Key_Return);
    });
    VERIFY_RUN(run);
    QVERIFY(run.Result);
    QCOMPARE(text, closes ? QByteArray("abc") : QByteArray("abc\n"));
}

void TestUnit2::everyByteSurvives_data()
{
    QTest::addColumn<QString>("ansi");
    QTest::addColumn<QString>("oemPage");
    QTest::addColumn<bool>("oem");

    QTest::newRow("windows-1251") << "windows-1251" << "IBM866" << false;
    QTest::newRow("IBM866") << "windows-1251" << "IBM866" << true;
    QTest::newRow("windows-1252") << "windows-1252" << "IBM437" << false;
    QTest::newRow("IBM437") << "windows-1252" << "IBM437" << true;
    QTest::newRow("windows-1250") << "windows-1250" << "IBM852" << false;
    QTest::newRow("IBM852") << "windows-1250" << "IBM852" << true;
}

void TestUnit2::everyByteSurvives()
{
    QFETCH(QString, ansi);
    QFETCH(QString, oemPage);
    QFETCH(bool, oem);

    SetCodePages(ansi, oemPage);
    // Every byte but CR, which the box shows as a line break like LF: 255
    // bytes, the most the dialog accepts.
    QByteArray all;
    for (int byte = 0; byte < 256; ++byte) {
        if (byte != '\r')
            all.append(char(byte));
    }
    QCOMPARE(all.size(), 255);

    QByteArray text = all;
    bool flag = oem;
    const TRun run = edit(text, all, flag, [&] {
        QCOMPARE(RawText(memo2()), RawText(memo1()));
        QCOMPARE(child<QLabel>("CCountLabel")->text(), QStringLiteral("Total chars: 255"));
        QTest::keyClick(memo1(), Qt::Key_Return);
    });
    VERIFY_RUN(run);
    QVERIFY(run.Result);
    QCOMPARE(m_boxes->Count(), 0);
    QCOMPARE(flag, oem);
    QCOMPARE(text.toHex(' '), all.toHex(' '));
}

void TestUnit2::typedTextStoredInItsCodePage_data()
{
    QTest::addColumn<bool>("oem");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("stored");

    QTest::newRow("Cyrillic into an OEM message") << true << QStringLiteral("Привет") << QByteArray("\x8F\xE0\xA8\xA2\xA5\xE2");
    QTest::newRow("Cyrillic into an ANSI message") << false << QStringLiteral("Привет") << QByteArray("\xCF\xF0\xE8\xE2\xE5\xF2");
    QTest::newRow("box drawing into an OEM message") << true << QStringLiteral("╔═╗") << QByteArray("\xC9\xCD\xBB");
    QTest::newRow("two lines into an OEM message") << true << QStringLiteral("ё\nЁ") << QByteArray("\xF1\n\xF0");
}

void TestUnit2::typedTextStoredInItsCodePage()
{
    QFETCH(bool, oem);
    QFETCH(QString, typed);
    QFETCH(QByteArray, stored);

    QByteArray text;
    bool flag = oem;
    const TRun run = edit(text, QByteArray(), flag, [&] {
        Type(memo1(), typed);
        QCOMPARE(child<QLabel>("CCountLabel")->text(), QStringLiteral("Total chars: %1").arg(stored.size()));
        QTest::keyClick(memo1(), Qt::Key_Return);
    });
    VERIFY_RUN(run);
    QVERIFY(run.Result);
    QCOMPARE(flag, oem);
    QCOMPARE(text.toHex(' '), stored.toHex(' '));
}

void TestUnit2::twoMessagesWithDifferentOemFlags()
{
    const QByteArray oemWord("\x8F\xE0\xA8\xA2\xA5\xE2");  // "Привет" in IBM866
    const QByteArray ansiWord("\xCF\xF0\xE8\xE2\xE5\xF2"); // the same in windows-1251
    const QString word = QStringLiteral("Привет");

    QByteArray text = oemWord;
    bool oem = true;
    TRun run = edit(text, oemWord, oem, [&] {
        QCOMPARE(RawText(memo1()), word);
        QCOMPARE(RawText(memo2()), word);
        QVERIFY(isOem());
        QCOMPARE(m_form->focusWidget(), static_cast<QWidget *>(memo1()));
        QTest::keyClick(memo1(), Qt::Key_Return);
    });
    VERIFY_RUN(run);
    QVERIFY(run.Result);
    QVERIFY(oem);
    QCOMPARE(text, oemWord);

    text = ansiWord;
    oem = false;
    run = edit(text, ansiWord, oem, [&] {
        QCOMPARE(RawText(memo1()), word);
        QCOMPARE(RawText(memo2()), word);
        QVERIFY(!isOem());
        QCOMPARE(m_form->focusWidget(), static_cast<QWidget *>(memo1()));
        QTest::keyClick(memo1(), Qt::Key_Return);
    });
    VERIFY_RUN(run);
    QVERIFY(run.Result);
    QVERIFY(!oem);
    QCOMPARE(text, ansiWord);
    QCOMPARE(m_boxes->Count(), 0);
}

void TestUnit2::characterOutsideCodePageRefused_data()
{
    QTest::addColumn<QString>("ansi");
    QTest::addColumn<QString>("oemPage");
    QTest::addColumn<bool>("oem");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("refused");
    QTest::addColumn<QString>("pageName");
    QTest::addColumn<bool>("onlyOne"); // whether the text can be stored without it

    QTest::newRow("Cyrillic in windows-1252") << "windows-1252" << "IBM437" << false << "a Ж b" << "Ж" << "windows-1252"
                                              << true;
    QTest::newRow("the first of several") << "windows-1252" << "IBM437" << false << "a Жук" << "Ж" << "windows-1252"
                                          << false;
    QTest::newRow("euro sign in IBM437") << "windows-1252" << "IBM437" << true << "5 € and £" << "€" << "IBM437" << true;
    QTest::newRow("i diaeresis in windows-1251") << "windows-1251" << "IBM866" << false << "naïve" << "ï" << "windows-1251"
                                                 << true;
    QTest::newRow("emoji in IBM866") << "windows-1251" << "IBM866" << true << "ok \U0001F600!" << "\U0001F600" << "IBM866"
                                     << true;
    QTest::newRow("before the length check") << "windows-1251" << "IBM866" << false << Letters(300) + "é" << "é"
                                             << "windows-1251" << true;
}

void TestUnit2::characterOutsideCodePageRefused()
{
    QFETCH(QString, ansi);
    QFETCH(QString, oemPage);
    QFETCH(bool, oem);
    QFETCH(QString, pasted);
    QFETCH(QString, refused);
    QFETCH(QString, pageName);
    QFETCH(bool, onlyOne);

    SetCodePages(ansi, oemPage);
    QByteArray text("x");
    bool flag = oem;
    const TRun run = edit(text, "x", flag, [&] {
        memo1()->moveCursor(QTextCursor::End);
        memo1()->insertPlainText(QStringLiteral("\n") + pasted);
        memo1()->moveCursor(QTextCursor::Start);
        // Counted as stored, one byte for each character.
        const int characters = (QStringLiteral("x\n") + pasted).toUcs4().size();
        QCOMPARE(child<QLabel>("CCountLabel")->text(), QStringLiteral("Total chars: %1").arg(characters));
        QTest::keyClick(memo1(), Qt::Key_Return);
        QVERIFY(m_form->isVisible());
        QCOMPARE(m_boxes->Count(), 1);
        const TMessageBoxRequest &box = m_boxes->Last();
        QCOMPARE(box.Kind, TMsgDlgType::mtError);
        QCOMPARE(box.Text, QStringLiteral("The character \"%1\" cannot be stored in the code page of this message (%2). "
                                          "Choose the code page of your language under Options > Code page, or type the character differently.")
                               .arg(refused, pageName));
        // The text stays as typed, the refused character selected.
        QCOMPARE(m_form->StoredCharacters(), QStringLiteral("x\n") + pasted);
        QCOMPARE(memo1()->textCursor().selectedText(), refused);
        QByteArray stored;
        QVERIFY(!m_form->GetStoredText(stored));
        memo1()->textCursor().removeSelectedText();
        QCOMPARE(m_form->GetStoredText(stored), onlyOne);
        QTest::keyClick(memo1(), Qt::Key_Escape);
    });
    VERIFY_RUN(run);
    QVERIFY(!run.Result);
    QCOMPARE(text, QByteArray("x"));
}

void TestUnit2::oemAreaToggles_data()
{
    QTest::addColumn<QString>("clicks"); // c: a click, d: a double click
    QTest::addColumn<int>("toggles");

    QTest::newRow("a click") << "c" << 1;
    QTest::newRow("a double click") << "d" << 2;
    QTest::newRow("a click and a double click") << "cd" << 3;
    QTest::newRow("two clicks") << "cc" << 2;
}

void TestUnit2::oemAreaToggles()
{
    QFETCH(QString, clicks);
    QFETCH(int, toggles);

    const TFontRecord textFont = FontRecord(QStringLiteral("DejaVu Serif"), 17, fsBold, 0x0000FF);
    m_form->SetEditFonts(textFont, TFontRecord());
    QByteArray text("\xCF\xF0\xE8\xE2\xE5\xF2"); // "Привет" in windows-1251
    bool oem = false;
    const bool expectOem = toggles % 2 == 1;
    const TRun run = edit(text, text, oem, [&] {
        QSignalSpy spy(child<QCheckBox>("OEMCheck"), &QCheckBox::toggled);
        const QString countBefore = child<QLabel>("CCountLabel")->text();
        memo1()->setFont(QFont(QStringLiteral("DejaVu Sans"), 30));
        memo2()->setFocus();
        for (const QChar action : clicks) {
            if (action == QLatin1Char('c'))
                Click(child<QWidget>("Panel3"));
            else
                DoubleClick(child<QWidget>("Panel3"));
        }
        QCOMPARE(spy.count(), toggles);
        QCOMPARE(isOem(), expectOem);
        // The characters shown stay; the fonts are applied again and the
        // focus is back in the text.
        QCOMPARE(RawText(memo1()), QStringLiteral("Привет"));
        QCOMPARE(child<QLabel>("CCountLabel")->text(), countBefore);
        QCOMPARE(memo1()->font().pointSize(), 17);
        QCOMPARE(m_form->focusWidget(), static_cast<QWidget *>(memo1()));
        QTest::keyClick(memo1(), Qt::Key_Return);
    });
    VERIFY_RUN(run);
    QVERIFY(run.Result);
    QCOMPARE(oem, expectOem);
    QCOMPARE(text, expectOem ? QByteArray("\x8F\xE0\xA8\xA2\xA5\xE2") : QByteArray("\xCF\xF0\xE8\xE2\xE5\xF2"));
}

void TestUnit2::oemAreaShowsNothing()
{
    const TRun run = edit("text", false, [&] {
        auto *area = child<QWidget>("Panel3");
        QVERIFY(area->isVisible());
        const QImage image = area->grab().toImage();
        QVERIFY(!image.isNull());
        const QRgb background = image.pixel(0, 0);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                QVERIFY2(image.pixel(x, y) == background, qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
        }
        QCOMPARE(QColor(background), child<QWidget>("Panel1")->palette().color(QPalette::Window));
        m_form->reject();
    });
    VERIFY_RUN(run);
}

void TestUnit2::f5TogglesMaximized_data()
{
    QTest::addColumn<QString>("receiver");

    QTest::newRow("in the text") << "Memo1";
    QTest::newRow("in the original") << "Memo2";
    QTest::newRow("on a button") << "Button3";
}

void TestUnit2::f5TogglesMaximized()
{
    QFETCH(QString, receiver);

    const TRun run = edit("text", false, [&] {
        auto *widget = m_form->findChild<QWidget *>(receiver);
        QVERIFY(widget);
        const QSize normal = m_form->size();
        QVERIFY(!m_form->isMaximized());

        QVERIFY2(SendKey(widget, Qt::Key_F5), "F5 was not consumed");
        QVERIFY(m_form->isMaximized());
        QTRY_VERIFY(m_form->width() > normal.width() && m_form->height() > normal.height());

        QVERIFY2(SendKey(widget, Qt::Key_F5), "F5 was not consumed");
        QVERIFY(!m_form->isMaximized());
        QTRY_COMPARE(m_form->size(), normal);
        QVERIFY(m_form->isVisible());
        QCOMPARE(RawText(memo1()), QStringLiteral("text"));
        m_form->reject();
    });
    VERIFY_RUN(run);
}

void TestUnit2::paneHeightOnShowing_data()
{
    QTest::addColumn<QString>("stored"); // null: nothing stored
    QTest::addColumn<int>("expected");   // -1: the height of Panel4 less 30

    QTest::newRow("nothing stored: design height") << QString() << 124;
    QTest::newRow("10000: Panel4 less 30") << "10000" << -1;
    QTest::newRow("80") << "80" << 80;
    QTest::newRow("150") << "150" << 150;
    QTest::newRow("unreadable: as it was") << "abc" << 124;
    QTest::newRow("0: the least pane") << "0" << 30;
}

void TestUnit2::paneHeightOnShowing()
{
    QFETCH(QString, stored);
    QFETCH(int, expected);

    if (!stored.isNull())
        StoreValue(QStringLiteral("Form2.Panel5.Height"), stored);
    int shown = -1;
    const TRun run = edit("text", false, [&] {
        const int panel4 = child<QWidget>("Panel4")->height();
        QVERIFY(panel4 > 60);
        shown = child<QWidget>("Panel5")->height();
        QCOMPARE(shown, expected < 0 ? panel4 - 30 : expected);
        m_form->reject();
    });
    VERIFY_RUN(run);
    QCOMPARE(StoredValue(QStringLiteral("Form2.Panel5.Height")), QString::number(shown));
}

void TestUnit2::firstShowingCentredAtDesignSize()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const TRun run = edit("text", false, [&] {
        QCOMPARE(m_form->size(), QSize(492, 273));
        const QPoint offset = m_form->frameGeometry().center() - screen.center();
        QVERIFY2(qAbs(offset.x()) <= 1 && qAbs(offset.y()) <= 1,
                 qPrintable(QStringLiteral("%1,%2 off the centre").arg(offset.x()).arg(offset.y())));
        QCOMPARE(child<QWidget>("Panel5")->height(), 124);
        m_form->reject();
    });
    VERIFY_RUN(run);
}

void TestUnit2::placementWrittenAndRead()
{
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect first(work.x() + 40, work.y() + 50, 450, 280);
    StoreValue(QStringLiteral("Form2.Left"), QString::number(first.x()));
    StoreValue(QStringLiteral("Form2.Top"), QString::number(first.y()));
    StoreValue(QStringLiteral("Form2.Width"), QString::number(first.width()));
    StoreValue(QStringLiteral("Form2.Height"), QString::number(first.height()));
    StoreValue(QStringLiteral("Form2.Panel5.Height"), QStringLiteral("90"));

    QRect moved;
    int pane = 0;
    TRun run = edit("text", false, [&] {
        QCOMPARE(m_form->frameGeometry(), first);
        QCOMPARE(child<QWidget>("Panel5")->height(), 90);
        // The user moves and resizes the window and drags the splitter.
        m_form->move(first.x() + 15, first.y() + 25);
        m_form->resize(m_form->width() + 30, m_form->height() + 40);
        QTRY_COMPARE(m_form->frameGeometry().size(), first.size() + QSize(30, 40));
        auto *splitter = child<QSplitter>("Splitter1");
        splitter->setSizes({110, splitter->height() - splitter->handleWidth() - 110});
        QCOMPARE(child<QWidget>("Panel5")->height(), 110);
        moved = m_form->frameGeometry();
        pane = 110;
        m_form->reject();
    });
    VERIFY_RUN(run);
    QCOMPARE(StoredValue(QStringLiteral("Form2.Left")), QString::number(moved.x()));
    QCOMPARE(StoredValue(QStringLiteral("Form2.Top")), QString::number(moved.y()));
    QCOMPARE(StoredValue(QStringLiteral("Form2.Width")), QString::number(moved.width()));
    QCOMPARE(StoredValue(QStringLiteral("Form2.Height")), QString::number(moved.height()));
    QCOMPARE(StoredValue(QStringLiteral("Form2.Panel5.Height")), QString::number(pane));

    // Read again at the next showing, not kept from the last one.
    const QRect second(work.x() + 10, work.y() + 20, 480, 300);
    StoreValue(QStringLiteral("Form2.Left"), QString::number(second.x()));
    StoreValue(QStringLiteral("Form2.Top"), QString::number(second.y()));
    StoreValue(QStringLiteral("Form2.Width"), QString::number(second.width()));
    StoreValue(QStringLiteral("Form2.Height"), QString::number(second.height()));
    StoreValue(QStringLiteral("Form2.Panel5.Height"), QStringLiteral("70"));
    run = edit("text", false, [&] {
        QCOMPARE(m_form->frameGeometry(), second);
        QCOMPARE(child<QWidget>("Panel5")->height(), 70);
        QTest::keyClick(memo1(), Qt::Key_Return);
    });
    VERIFY_RUN(run);
    QCOMPARE(StoredValue(QStringLiteral("Form2.Width")), QString::number(second.width()));
}

void TestUnit2::helpButton()
{
    THelpRecorder help;
    const TRun run = edit("text", false, [&] {
        QTest::mouseClick(child<QPushButton>("Button3"), Qt::LeftButton);
        QCOMPARE(help.calls, QStringList{QStringLiteral("topic Form2")});
        QVERIFY(m_form->isVisible());
        QTest::keyClick(memo1(), Qt::Key_Escape);
    });
    VERIFY_RUN(run);
    QCOMPARE(help.calls.size(), 1);
}

void TestUnit2::failuresReachTheCaller_data()
{
    QTest::addColumn<QString>("failure");

    QTest::newRow("no message box for the refusal") << "boxes";
}

void TestUnit2::failuresReachTheCaller()
{
    QFETCH(QString, failure);

    Q_UNUSED(failure);
    m_boxes.reset();
    QByteArray text("text");
    bool oem = false;
    bool raised = false;
    try {
        edit(text, "text", oem, [&] {
            Type(memo1(), Letters(300));
            QTest::keyClick(memo1(), Qt::Key_Return);
            // The failure ends the run at the next turn of its loop.
            QTRY_VERIFY(!m_form->isVisible());
        });
    } catch (const Exception &) {
        raised = true;
    }
    QVERIFY(raised);
    QVERIFY(!m_form->isVisible());
    QCOMPARE(text, QByteArray("text"));
    QVERIFY(!oem);
}

// Preferences that cannot be read or written do not stop an edit: the
// dialog runs with its present placement and the failure goes to the log.
void TestUnit2::settingsFailureDoesNotStopTheDialog()
{
    AppIni().SetAppKey(QString());
    TLogFile log(m_env->path(QStringLiteral("test.LOG")));
    TLogFile *previousLog = SetLogFile(&log);
    QByteArray text("text");
    bool oem = false;
    const TRun run = edit(text, "text", oem, [&] {
        Type(memo1(), QStringLiteral(" more"));
        QTest::keyClick(memo1(), Qt::Key_Return);
    });
    SetLogFile(previousLog);
    QVERIFY(run.WasModal);
    QVERIFY(run.Result);
    QCOMPARE(text, QByteArray(" moretext")); // typed at the caret, which starts at the beginning
    QVERIFY(ReadWholeFile(log.LogFileName()).contains("No application key specified"));
}

QTEST_MAIN(TestUnit2)
#include "tst_unit2.moc"
