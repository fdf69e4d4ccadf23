// The input prompt: when OK may be pressed, what the caller gets back on OK
// and on Cancel, Escape or the close box, its help topic, and its texts from
// the language table.

#include "dialogs/Unit6.h"
#include "help/HelpService.h"
#include "help/HelpUtils.h"
#include "support/TestEnvironment.h"
#include "uitext/Components.h"
#include "uitext/EnglishMsg.h"
#include "uitext/FormTranslation.h"
#include "uitext/LangUtils.h"
#include "uitext/MsgRes.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

class THelpRecorder : public THelpService
{
public:
    QStringList calls;
    void ShowContents() override { calls << QStringLiteral("contents"); }
    void ShowTopic(const QString &jumpName) override { calls << QStringLiteral("topic ") + jumpName; }
    void ShowPopup(const QString &jumpName, const QPoint &) override { calls << QStringLiteral("popup ") + jumpName; }
    void ShowContext(int context) override { calls << QStringLiteral("context ") + QString::number(context); }
};

// Acts on the input prompt once EnterString shows it. Whatever goes wrong,
// the prompt is closed, so that a test never hangs: when no prompt appears,
// and when the action leaves it open (Stuck) or a watchdog fires.
class TPromptDriver
{
public:
    explicit TPromptDriver(std::function<void(TStringEnterForm *)> action)
    {
        QTimer::singleShot(0, &m_context, [this, action] {
            QWidget *modal = QApplication::activeModalWidget();
            auto *form = qobject_cast<TStringEnterForm *>(modal);
            if (!form) {
                if (modal)
                    modal->close();
                return;
            }
            Found = true;
            action(form);
            if (form->isVisible()) {
                Stuck = true;
                form->reject();
            }
        });
        m_watchdog.setSingleShot(true);
        QObject::connect(&m_watchdog, &QTimer::timeout, &m_context, [this] {
            TimedOut = true;
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        m_watchdog.start(10000);
    }

    bool Found = false;
    bool Stuck = false;
    bool TimedOut = false;

    bool Clean() const { return Found && !Stuck && !TimedOut; }

private:
    QObject m_context;
    QTimer m_watchdog;
};

void PressKey(TStringEnterForm *form, Qt::Key key)
{
    QTest::keyClick(form->Edit1, key);
}

} // namespace

class TestUnit6 : public QObject
{
    Q_OBJECT

private:
    TestEnvironment m_environment;
    THelpRecorder m_help;
    THelpService *m_previousHelp = nullptr;

private Q_SLOTS:
    void initTestCase()
    {
        AddLanguage(QLatin1String(EnglishLanguageEntry), EnglishTable());
        AddLanguage(QStringLiteral("TEST=Test"),
                    QStringLiteral("StringEnterForm.CancelBtn.Caption=Abbrechen\n"
                                   "StringEnterForm.HelpBtn.Caption=&Hilfe\n"));
        m_previousHelp = SetHelpService(&m_help);
    }

    void cleanupTestCase() { SetHelpService(m_previousHelp); }

    void init()
    {
        SetLanguage(QStringLiteral("ENGLISH"));
        m_help.calls.clear();
    }

    void design()
    {
        TStringEnterForm form;
        QCOMPARE(form.objectName(), QStringLiteral("StringEnterForm"));
        for (const char *name : {"Label1", "Edit1", "OKBtn", "CancelBtn", "HelpBtn", "ContextHelp1"}) {
            QObject *component = form.findChild<QObject *>(QLatin1String(name));
            QVERIFY2(component, name);
            QCOMPARE(OwnerForm(component), &form);
        }
        QCOMPARE(form.OKBtn->text(), QStringLiteral("OK"));
        QVERIFY(form.OKBtn->isDefault());
        QCOMPARE(HelpContextOf(&form), 0);
        QCOMPARE(form.font().family(), QStringLiteral("Arial"));
        QCOMPARE(form.font().pixelSize(), 13);
        // Fixed border, at least the design size.
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QVERIFY(form.width() >= 347);
        QVERIFY(form.height() >= 106);
    }

    void tabOrder()
    {
        TStringEnterForm form;
        form.Prepare(QStringLiteral("Caption"), QStringLiteral("Prompt"), QStringLiteral("x"), QString(), false);
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.Edit1->setFocus();
        QCOMPARE(QApplication::focusWidget(), form.Edit1);
        const QList<QWidget *> expected = {form.OKBtn, form.CancelBtn, form.HelpBtn, form.Edit1};
        for (QWidget *next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    void okFollowsTheInitialText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("allowEmpty");
        QTest::addColumn<bool>("enabled");

        QTest::newRow("empty") << "" << false << false;
        QTest::newRow("empty, empty allowed") << "" << true << true;
        QTest::newRow("two blanks") << "  " << false << false;
        QTest::newRow("two blanks, empty allowed") << "  " << true << true;
        QTest::newRow("tab and control characters") << "\t\x01\x1F" << false << false;
        QTest::newRow("delete character") << "\x7F" << false << false;
        QTest::newRow("no-break space") << "\u00A0 " << false << false;
        QTest::newRow("text") << "1F" << false << true;
        QTest::newRow("text between blanks") << " \t1F  " << false << true;
        QTest::newRow("text, empty allowed") << "1F" << true << true;
        QTest::newRow("punctuation") << "." << false << true;
    }

    void okFollowsTheInitialText()
    {
        QFETCH(QString, text);
        QFETCH(bool, allowEmpty);
        QFETCH(bool, enabled);
        TStringEnterForm form;
        form.Prepare(QStringLiteral("Caption"), QStringLiteral("Prompt"), text, QString(), allowEmpty);
        QCOMPARE(form.OKBtn->isEnabled(), enabled);
        QCOMPARE(form.Edit1->text(), text);
        QCOMPARE(form.AllowEmpty, allowEmpty);

        // Through the entry point: OK's first state as the user sees it.
        bool seen = !enabled;
        QString answer = text;
        TPromptDriver driver([&](TStringEnterForm *shown) {
            seen = shown->OKBtn->isEnabled();
            PressKey(shown, Qt::Key_Escape);
        });
        QVERIFY(!TStringEnterForm::EnterString(QStringLiteral("Caption"), QStringLiteral("Prompt"), answer, QString(),
                                               allowEmpty));
        QVERIFY(driver.Clean());
        QCOMPARE(seen, enabled);
    }

    void okFollowsTyping()
    {
        TStringEnterForm form;
        form.Prepare(QStringLiteral("Caption"), QStringLiteral("Prompt"), QString(), QString(), false);
        form.show();
        QVERIFY(!form.OKBtn->isEnabled());
        QTest::keyClicks(form.Edit1, QStringLiteral("1F"));
        QVERIFY(form.OKBtn->isEnabled());
        QTest::keyClick(form.Edit1, Qt::Key_Backspace);
        QVERIFY(form.OKBtn->isEnabled());
        QTest::keyClick(form.Edit1, Qt::Key_Backspace);
        QVERIFY(!form.OKBtn->isEnabled());
        QTest::keyClicks(form.Edit1, QStringLiteral("   "));
        QVERIFY(!form.OKBtn->isEnabled());
        QTest::keyClicks(form.Edit1, QStringLiteral("x"));
        QVERIFY(form.OKBtn->isEnabled());
        form.Edit1->clear();
        QVERIFY(!form.OKBtn->isEnabled());
    }

    void enterPressesOkOnlyWhileEnabled()
    {
        TStringEnterForm form;
        form.Prepare(QStringLiteral("Caption"), QStringLiteral("Prompt"), QStringLiteral("  "), QString(), false);
        form.show();
        QTest::keyClick(form.Edit1, Qt::Key_Return);
        QVERIFY(form.isVisible());
        form.accept();
        QVERIFY(form.isVisible());
        QTest::keyClicks(form.Edit1, QStringLiteral("7"));
        QTest::keyClick(form.Edit1, Qt::Key_Return);
        QVERIFY(!form.isVisible());
        QCOMPARE(form.result(), int(QDialog::Accepted));
    }

    void answers_data()
    {
        QTest::addColumn<QString>("initial");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("close");
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<QString>("expected");

        enum { Enter, OkButton, Escape, CancelButton, CloseBox };
        QTest::newRow("typed, Enter") << "" << "1F" << int(Enter) << true << "1F";
        QTest::newRow("blanks kept") << "" << "  1F  " << int(Enter) << true << "  1F  ";
        QTest::newRow("initial text, OK button") << "ABC" << "" << int(OkButton) << true << "ABC";
        QTest::newRow("appended, OK button") << "AB" << "C " << int(OkButton) << true << "ABC ";
        QTest::newRow("Escape") << "orig" << "XYZ" << int(Escape) << false << "orig";
        QTest::newRow("Cancel button") << "orig" << "XYZ" << int(CancelButton) << false << "orig";
        QTest::newRow("close box") << "orig" << "XYZ" << int(CloseBox) << false << "orig";
        QTest::newRow("blank: Enter ignored, then Escape") << "  " << "" << int(Enter) << false << "  ";
    }

    void answers()
    {
        QFETCH(QString, initial);
        QFETCH(QString, typed);
        QFETCH(int, close);
        QFETCH(bool, confirmed);
        QFETCH(QString, expected);

        QString text = initial;
        bool openAfterEnter = false;
        TPromptDriver driver([&](TStringEnterForm *form) {
            form->Edit1->setFocus();
            form->Edit1->end(false);
            QTest::keyClicks(form->Edit1, typed);
            switch (close) {
            case 0:
                PressKey(form, Qt::Key_Return);
                openAfterEnter = form->isVisible();
                if (openAfterEnter)
                    PressKey(form, Qt::Key_Escape);
                break;
            case 1:
                QTest::mouseClick(form->OKBtn, Qt::LeftButton);
                break;
            case 2:
                PressKey(form, Qt::Key_Escape);
                break;
            case 3:
                QTest::mouseClick(form->CancelBtn, Qt::LeftButton);
                break;
            default:
                form->close();
                break;
            }
        });
        const bool result = TStringEnterForm::EnterString(QStringLiteral("Caption"), QStringLiteral("Prompt"), text,
                                                          QStringLiteral("Help.Key"), false);
        QVERIFY(driver.Clean());
        QCOMPARE(result, confirmed);
        QCOMPARE(text, expected);
        QCOMPARE(openAfterEnter, close == 0 && !confirmed);
    }

    void callerSetsCaptionPromptAndHelpKey()
    {
        // As the go-to command asks.
        QString text;
        QString caption, prompt, helpKey, cancel, help;
        bool allowEmpty = true;
        QStringList helpCalls;
        TPromptDriver driver([&](TStringEnterForm *form) {
            caption = form->windowTitle();
            prompt = form->Label1->text();
            helpKey = form->ContextHelp1->DefaultContext();
            allowEmpty = form->AllowEmpty;
            cancel = form->CancelBtn->text();
            help = form->HelpBtn->text();
            QTest::mouseClick(form->HelpBtn, Qt::LeftButton);
            QTest::keyClick(form->Edit1, Qt::Key_F1);
            helpCalls = m_help.calls;
            PressKey(form, Qt::Key_Escape);
        });
        QVERIFY(!TStringEnterForm::EnterString(GetMsg(QStringLiteral("GotoLineCaption")),
                                               GetMsg(QStringLiteral("GotoLinePrompt")), text,
                                               QStringLiteral("Form1.GotoDialog"), false));
        QVERIFY(driver.Clean());
        QCOMPARE(caption, QStringLiteral("Enter a message identifier to go to"));
        QCOMPARE(prompt, QStringLiteral("Message ID"));
        QCOMPARE(helpKey, QStringLiteral("Form1.GotoDialog"));
        QCOMPARE(allowEmpty, false);
        QCOMPARE(cancel, QStringLiteral("Cancel"));
        QCOMPARE(help, QStringLiteral("&Help"));
        QCOMPARE(helpCalls, (QStringList{QStringLiteral("topic Form1.GotoDialog"), QStringLiteral("topic Form1.GotoDialog")}));
    }

    void withoutHelpKeyHelpDoesNothing()
    {
        TStringEnterForm form;
        form.Prepare(QStringLiteral("Caption"), QStringLiteral("Prompt"), QString(), QString(), false);
        form.show();
        QTest::mouseClick(form.HelpBtn, Qt::LeftButton);
        QVERIFY(m_help.calls.isEmpty());
        QVERIFY(form.isVisible());
    }

    void theEntryPointTranslatesTheDialog()
    {
        SetLanguage(QStringLiteral("TEST"));
        QString cancel, help, caption;
        QString text = QStringLiteral("1");
        TPromptDriver driver([&](TStringEnterForm *form) {
            cancel = form->CancelBtn->text();
            help = form->HelpBtn->text();
            caption = form->windowTitle();
            PressKey(form, Qt::Key_Escape);
        });
        QVERIFY(!TStringEnterForm::EnterString(QStringLiteral("Go"), QStringLiteral("ID"), text, QString(), false));
        QVERIFY(driver.Clean());
        QCOMPARE(cancel, QStringLiteral("Abbrechen"));
        QCOMPARE(help, QStringLiteral("&Hilfe"));
        QCOMPARE(caption, QStringLiteral("Go"));
    }

    void englishTable()
    {
        TStringEnterForm form;
        form.Prepare(QStringLiteral("My caption"), QStringLiteral("My prompt"), QString(), QString(), false);
        form.CancelBtn->setText(QStringLiteral("-"));
        form.HelpBtn->setText(QStringLiteral("-"));
        QVERIFY_THROWS_NO_EXCEPTION(TranslateForm(&form));
        QCOMPARE(form.CancelBtn->text(), QStringLiteral("Cancel"));
        QCOMPARE(form.HelpBtn->text(), QStringLiteral("&Help"));
        QCOMPARE(form.OKBtn->text(), QStringLiteral("OK"));
        QCOMPARE(form.windowTitle(), QStringLiteral("My caption"));
        QCOMPARE(form.Label1->text(), QStringLiteral("My prompt"));
    }
};

QTEST_MAIN(TestUnit6)
#include "tst_unit6.moc"
