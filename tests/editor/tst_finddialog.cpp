// The find dialog on the screen: its controls and captions, driven with keys
// and the mouse; help requests reach a recorded help service.

#include "editor/FindDialog.h"
#include "help/HelpService.h"
#include "help/HelpUtils.h"
#include "support/TestEnvironment.h"
#include "uitext/EnglishMsg.h"
#include "uitext/FormTranslation.h"
#include "uitext/LangUtils.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

const TestEnvironment ProcessEnvironment;

// Records every help request, plugged in while it exists.
class TRecordedHelp : public THelpService
{
public:
    TRecordedHelp() : m_previous(SetHelpService(this)) {}
    ~TRecordedHelp() override { SetHelpService(m_previous); }

    void ShowContents() override { Requests << QStringLiteral("contents"); }
    void ShowTopic(const QString &jumpName) override { Requests << QStringLiteral("topic ") + jumpName; }
    void ShowPopup(const QString &jumpName, const QPoint &) override
    {
        Requests << QStringLiteral("popup ") + jumpName;
    }
    void ShowContext(int context) override { Requests << QStringLiteral("context %1").arg(context); }

    QStringList Requests;

private:
    THelpService *m_previous;
};

// A dialog on the screen with its find text focused, and a spy on its find
// requests.
struct TShownDialog
{
    TShownDialog()
        : Requests(&Dialog, &TFindDialog::FindRequested)
    {
        Dialog.Show();
    }

    bool Ready()
    {
        return QTest::qWaitForWindowExposed(&Dialog) && Dialog.FindWhatEdit->hasFocus();
    }

    TFindDialog Dialog;
    QSignalSpy Requests;
};

} // namespace

class TestFindDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        AddLanguage(QString::fromLatin1(EnglishLanguageEntry), EnglishTable());
    }

    void controls()
    {
        TFindDialog dialog;
        QCOMPARE(dialog.objectName(), QStringLiteral("FindDialog1"));
        QCOMPARE(dialog.isModal(), false);
        QCOMPARE(dialog.windowModality(), Qt::NonModal);
        QCOMPARE(HelpContextOf(&dialog), 1);
        QCOMPARE(dialog.font().family(), QStringLiteral("Arial"));
        QCOMPARE(dialog.font().pixelSize(), 13);
        QCOMPARE(dialog.FindWhatLabel->buddy(), dialog.FindWhatEdit);
        QVERIFY(dialog.FindNextButton->isDefault());
        // Downward only: no options of the platform's dialog.
        QVERIFY(dialog.findChildren<QCheckBox *>().isEmpty());
        QVERIFY(dialog.findChildren<QRadioButton *>().isEmpty());
        QCOMPARE(dialog.findChildren<QAbstractButton *>().size(), 3);
        QCOMPARE(dialog.FindText(), QString());
        QVERIFY(!dialog.FindNextButton->isEnabled());
    }

    // The language table has no rows for the dialog: its built-in English
    // captions stay, and applying the table raises nothing.
    void englishCaptions()
    {
        TFindDialog dialog;
        SetLanguage(QStringLiteral("ENGLISH"));
        TranslateForm(&dialog);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Find"));
        QCOMPARE(dialog.FindWhatLabel->text(), QStringLiteral("Fi&nd what:"));
        QCOMPARE(dialog.FindNextButton->text(), QStringLiteral("&Find Next"));
        QCOMPARE(dialog.CancelButton->text(), QStringLiteral("Cancel"));
        QCOMPARE(dialog.HelpButton->text(), QStringLiteral("&Help"));
    }

    void findNextEnabled_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("backspaces");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("nothing typed") << "" << 0 << false;
        QTest::newRow("a letter") << "a" << 0 << true;
        QTest::newRow("a blank is a find text") << " " << 0 << true;
        QTest::newRow("typed and erased") << "ab" << 2 << false;
        QTest::newRow("partly erased") << "ab" << 1 << true;
    }
    void findNextEnabled()
    {
        QFETCH(QString, typed);
        QFETCH(int, backspaces);
        QFETCH(bool, enabled);
        TShownDialog shown;
        QVERIFY(shown.Ready());
        QTest::keyClicks(shown.Dialog.FindWhatEdit, typed);
        for (int i = 0; i < backspaces; ++i)
            QTest::keyClick(shown.Dialog.FindWhatEdit, Qt::Key_Backspace);
        QCOMPARE(shown.Dialog.FindNextButton->isEnabled(), enabled);
    }

    void enterAsksToFind_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("requests");
        QTest::newRow("Return with a text") << "abc" << int(Qt::Key_Return) << 1;
        QTest::newRow("Enter with a text") << "abc" << int(Qt::Key_Enter) << 1;
        QTest::newRow("Return without a text") << "" << int(Qt::Key_Return) << 0;
    }
    void enterAsksToFind()
    {
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(int, requests);
        TShownDialog shown;
        QVERIFY(shown.Ready());
        QTest::keyClicks(shown.Dialog.FindWhatEdit, typed);
        QTest::keyClick(shown.Dialog.FindWhatEdit, Qt::Key(key),
                        key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(shown.Requests.size(), requests);
        QCOMPARE(shown.Dialog.FindText(), typed);
        // The dialog stays open for the next search.
        QVERIFY(shown.Dialog.isVisible());
    }

    void findNextButtonAsksToFind()
    {
        TShownDialog shown;
        QVERIFY(shown.Ready());
        QTest::keyClicks(shown.Dialog.FindWhatEdit, QStringLiteral("needle"));
        QTest::mouseClick(shown.Dialog.FindNextButton, Qt::LeftButton);
        QTest::mouseClick(shown.Dialog.FindNextButton, Qt::LeftButton);
        QCOMPARE(shown.Requests.size(), 2);
        QVERIFY(shown.Dialog.isVisible());
        QCOMPARE(shown.Dialog.FindText(), QStringLiteral("needle"));
    }

    void closesWithoutFinding_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Cancel button") << false;
        QTest::newRow("Escape") << true;
    }
    void closesWithoutFinding()
    {
        QFETCH(bool, escape);
        TShownDialog shown;
        QVERIFY(shown.Ready());
        QTest::keyClicks(shown.Dialog.FindWhatEdit, QStringLiteral("abc"));
        if (escape)
            QTest::keyClick(shown.Dialog.FindWhatEdit, Qt::Key_Escape);
        else
            QTest::mouseClick(shown.Dialog.CancelButton, Qt::LeftButton);
        QVERIFY(!shown.Dialog.isVisible());
        QCOMPARE(shown.Requests.size(), 0);
    }

    // The text stays for the next showing, selected so that typing replaces
    // it, and Find Next is ready for it.
    void keepsTheText()
    {
        TShownDialog shown;
        QVERIFY(shown.Ready());
        QTest::keyClicks(shown.Dialog.FindWhatEdit, QStringLiteral("kept"));
        QTest::mouseClick(shown.Dialog.CancelButton, Qt::LeftButton);
        QVERIFY(!shown.Dialog.isVisible());
        QCOMPARE(shown.Dialog.FindText(), QStringLiteral("kept"));

        // The next command comes from the event loop.
        QCoreApplication::processEvents();
        shown.Dialog.Show();
        QVERIFY(shown.Ready());
        QCOMPARE(shown.Dialog.FindWhatEdit->selectedText(), QStringLiteral("kept"));
        QVERIFY(shown.Dialog.FindNextButton->isEnabled());
        QTest::keyClick(shown.Dialog.FindWhatEdit, Qt::Key_Return);
        QCOMPARE(shown.Requests.size(), 1);
        QTest::keyClicks(shown.Dialog.FindWhatEdit, QStringLiteral("new"));
        QCOMPARE(shown.Dialog.FindText(), QStringLiteral("new"));
    }

    void findNextFollowsTheText()
    {
        TFindDialog dialog;
        dialog.FindWhatEdit->setText(QStringLiteral("preset"));
        QCOMPARE(dialog.FindText(), QStringLiteral("preset"));
        QVERIFY(dialog.FindNextButton->isEnabled());
        dialog.FindWhatEdit->setText(QString());
        QVERIFY(!dialog.FindNextButton->isEnabled());
    }

    // Showing it again while it is shown brings the same window forward.
    void showBringsForward()
    {
        TShownDialog shown;
        QVERIFY(shown.Ready());
        QWidget other;
        other.resize(200, 100);
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        shown.Dialog.FindWhatEdit->setText(QStringLiteral("abc"));
        shown.Dialog.FindWhatEdit->deselect();

        shown.Dialog.Show();
        QVERIFY(QTest::qWaitForWindowActive(&shown.Dialog));
        QVERIFY(shown.Dialog.isVisible());
        QCOMPARE(QApplication::activeWindow(), &shown.Dialog);
        QVERIFY(shown.Dialog.FindWhatEdit->hasFocus());
        QCOMPARE(shown.Dialog.FindWhatEdit->selectedText(), QStringLiteral("abc"));
    }

    // Help by the dialog's help context number, not by a topic name.
    void help_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Help button") << "button";
        QTest::newRow("F1 in the text box") << "F1 text";
        QTest::newRow("F1 on Find Next") << "F1 button";
    }
    void help()
    {
        QFETCH(QString, how);
        TRecordedHelp help;
        TShownDialog shown;
        QVERIFY(shown.Ready());
        QTest::keyClicks(shown.Dialog.FindWhatEdit, QStringLiteral("x"));
        if (how == QLatin1String("button")) {
            QTest::mouseClick(shown.Dialog.HelpButton, Qt::LeftButton);
        } else if (how == QLatin1String("F1 text")) {
            QTest::keyClick(shown.Dialog.FindWhatEdit, Qt::Key_F1);
        } else {
            shown.Dialog.FindNextButton->setFocus();
            QTest::keyClick(shown.Dialog.FindNextButton, Qt::Key_F1);
        }
        QCOMPARE(help.Requests, QStringList{QStringLiteral("context 1")});
        QVERIFY(shown.Dialog.isVisible());
        QCOMPARE(shown.Requests.size(), 0);
    }

    // The help context decides: without one, nothing is asked.
    void helpFollowsTheContext()
    {
        TRecordedHelp help;
        TFindDialog dialog;
        SetHelpContext(&dialog, 0);
        QTest::mouseClick(dialog.HelpButton, Qt::LeftButton);
        QVERIFY(help.Requests.isEmpty());
        SetHelpContext(&dialog, 7);
        QTest::mouseClick(dialog.HelpButton, Qt::LeftButton);
        QCOMPARE(help.Requests, QStringList{QStringLiteral("context 7")});
    }
};

QTEST_MAIN(TestFindDialog)
#include "tst_finddialog.moc"
