// The entry points reach the program's real dialogs: each runs modally and
// its answer comes back through the entry point.

#include "dialogs/QtDialogs.h"
#include "dialogs/Unit2.h"
#include "dialogs/Unit4.h"
#include "dialogs/fmAbout.h"
#include "platform/CodePages.h"
#include "settings/ConfigUtils.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestEnvironment.h"
#include "uitext/EnglishMsg.h"
#include "uitext/FormTranslation.h"
#include "uitext/LangUtils.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

// Acts on the modal dialog once it is up; closes it if it is not the one
// expected, so that a test never hangs.
void WhenModal(const QString &formName, std::function<void(QDialog &)> action)
{
    QTimer::singleShot(0, [formName, action] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        if (dialog->objectName() != formName) {
            dialog->reject();
            return;
        }
        action(*dialog);
    });
}

} // namespace

class TestQtDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        m_environment = std::make_unique<TestEnvironment>();
        AppIni().SetAppKey(LexivaneAppKey);
        AddLanguage(QLatin1String(EnglishLanguageEntry), EnglishTable());
        SetCodePages(QStringLiteral("windows-1251"), QStringLiteral("IBM866"));
        m_textEdit = std::make_unique<TForm2>();
        m_fontSetup = std::make_unique<TForm4>();
        m_aboutBox = std::make_unique<TAboutBox>();
        SetLanguage(QStringLiteral("ENGLISH"));
        m_dialogs = std::make_unique<TQtDialogs>(*m_textEdit, *m_fontSetup, *m_aboutBox);
        m_previous = SetDialogPresenter(m_dialogs.get());
    }

    void cleanupTestCase() { SetDialogPresenter(m_previous); }

    void editTextConfirmed()
    {
        WhenModal(QStringLiteral("Form2"), [](QDialog &dialog) {
            auto *memo = dialog.findChild<QPlainTextEdit *>(QStringLiteral("Memo1"));
            memo->setPlainText(QStringLiteral("Новый текст\nвторая строка"));
            dialog.accept();
        });
        QByteArray text("old");
        bool oem = false;
        QVERIFY(EditText(text, "original", oem));
        QByteArray expected;
        QVERIFY(UnicodeToAnsi(QStringLiteral("Новый текст\nвторая строка"), expected));
        QCOMPARE(text, expected);
        QVERIFY(!oem);
    }

    void editTextCancelledKeepsText()
    {
        WhenModal(QStringLiteral("Form2"), [](QDialog &dialog) { dialog.reject(); });
        QByteArray text("unchanged");
        bool oem = true;
        QVERIFY(!EditText(text, {}, oem));
        QCOMPARE(text, QByteArray("unchanged"));
        QVERIFY(oem);
    }

    void enterStringReturnsTheAnswer()
    {
        WhenModal(QStringLiteral("StringEnterForm"), [](QDialog &dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Caption"));
            dialog.findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(QStringLiteral(" 1f "));
            dialog.accept();
        });
        QString text;
        QVERIFY(EnterString(QStringLiteral("Caption"), QStringLiteral("Prompt"), text, QStringLiteral("Form1.GotoDialog"), false));
        QCOMPARE(text, QStringLiteral(" 1f "));
    }

    void selectMessageFileCancelled()
    {
        WhenModal(QStringLiteral("Form3"), [](QDialog &dialog) { dialog.reject(); });
        QString name = QStringLiteral("kept");
        QVERIFY(!SelectMessageFile(name));
        QCOMPARE(name, QStringLiteral("kept"));
    }

    void fontSetupAndAboutBox()
    {
        WhenModal(QStringLiteral("Form4"), [](QDialog &dialog) { dialog.accept(); });
        QVERIFY(ExecuteFontSetup());
        WhenModal(QStringLiteral("Form4"), [](QDialog &dialog) { dialog.reject(); });
        QVERIFY(!ExecuteFontSetup());

        bool shown = false;
        WhenModal(QStringLiteral("AboutBox"), [&shown](QDialog &dialog) {
            shown = dialog.isVisible();
            dialog.accept();
        });
        ShowAboutBox();
        QVERIFY(shown);
    }

private:
    std::unique_ptr<TestEnvironment> m_environment;
    std::unique_ptr<TForm2> m_textEdit;
    std::unique_ptr<TForm4> m_fontSetup;
    std::unique_ptr<TAboutBox> m_aboutBox;
    std::unique_ptr<TQtDialogs> m_dialogs;
    TDialogPresenter *m_previous = nullptr;
};

QTEST_MAIN(TestQtDialogs)
#include "tst_qtdialogs.moc"
