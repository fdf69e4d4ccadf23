// Applying language tables to windows made here: which rows reach which
// component, the case rules, the stop after a window's run, and the failures.

#include "uitext/FormTranslation.h"
#include "uitext/Format.h"
#include "uitext/LangUtils.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {

// A menu item with a number property, as menu items carry.
class TaggedAction : public QAction
{
    Q_OBJECT
    Q_PROPERTY(int Tag MEMBER m_tag)
public:
    using QAction::QAction;

private:
    int m_tag = 0;
};

// A component of our own: a list of lines, a read-only text and an
// object-valued property.
class Memo : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QStringList Lines MEMBER m_lines)
    Q_PROPERTY(QString Version READ Version)
    Q_PROPERTY(QObject *Inner MEMBER m_inner)
public:
    explicit Memo(QObject *parent) : QObject(parent) {}
    QString Version() const { return QStringLiteral("1"); }

    QStringList m_lines{QStringLiteral("one"), QStringLiteral("two")};
    QObject *m_inner = nullptr;
};

// A window like the program's: a caption, buttons, a label, a menu.
struct Form2
{
    Form2()
        : window(std::make_unique<QWidget>())
    {
        window->setObjectName(QStringLiteral("Form2"));
        window->setWindowTitle(QStringLiteral("Изменить текст"));
        button = new QPushButton(QStringLiteral("Отмена"), window.get());
        button->setObjectName(QStringLiteral("Button2"));
        label = new QLabel(window.get());
        label->setObjectName(QStringLiteral("TextLabel"));
        auto *bar = new QMenuBar(window.get());
        menu = bar->addMenu(QStringLiteral("&Файл"));
        item = new TaggedAction(QStringLiteral("&Открыть..."), window.get());
        item->setObjectName(QStringLiteral("N2"));
        menu->addAction(item);
        menu->menuAction()->setObjectName(QStringLiteral("N1"));
        memo = new Memo(window.get());
        memo->setObjectName(QStringLiteral("Memo1"));
        auto *inner = new QLabel(window.get());
        inner->setObjectName(QStringLiteral("InnerLabel"));
        memo->m_inner = inner;
    }

    std::unique_ptr<QWidget> window;
    QPushButton *button;
    QLabel *label;
    QMenu *menu;
    TaggedAction *item;
    Memo *memo;
};

void UseTable(const QString &table)
{
    LanguageNames().clear();
    LanguageTables().clear();
    AddLanguage(QStringLiteral("TEST=Test"), table);
    LoadLanguageTable(QStringLiteral("TEST"), CurrentKeys(), CurrentValues());
}

template <typename Error, typename Operation>
QString ErrorOf(Operation operation)
{
    try {
        operation();
    } catch (const Error &e) {
        return e.Message();
    }
    return QStringLiteral("(no error)");
}

} // namespace

class TestFormTranslation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void setsCaptionsHintsAndItems()
    {
        Form2 form;
        UseTable(QStringLiteral("Form2.Caption=Change text\n"
                                "Form2.Button2.Caption=Cancel\n"
                                "Form2.Button2.Hint=Leave the text as it was\n"
                                "Form2.TextLabel.Caption=Message text\n"
                                "Form2.N1.Caption=&File\n"
                                "Form2.N2.Caption=&Open...\n"));
        TranslateForm(form.window.get());
        QCOMPARE(form.window->windowTitle(), QStringLiteral("Change text"));
        QCOMPARE(form.button->text(), QStringLiteral("Cancel"));
        QCOMPARE(form.button->toolTip(), QStringLiteral("Leave the text as it was"));
        QCOMPARE(form.label->text(), QStringLiteral("Message text"));
        QCOMPARE(form.menu->title(), QStringLiteral("&File"));
        QCOMPARE(form.item->text(), QStringLiteral("&Open..."));
    }

    void windowPrefixIsCaseExactOtherNamesAreNot()
    {
        Form2 form;
        UseTable(QStringLiteral("form2.Caption=lower-case window\n"
                                "Form2.button2.caption=Cancel\n"
                                "Form2.TEXTLABEL.CAPTION=Message text\n"));
        TranslateForm(form.window.get());
        QCOMPARE(form.window->windowTitle(), QStringLiteral("Изменить текст"));
        QCOMPARE(form.button->text(), QStringLiteral("Cancel"));
        QCOMPARE(form.label->text(), QStringLiteral("Message text"));
    }

    void onlyTheFirstRunOfAWindowIsApplied()
    {
        Form2 form;
        UseTable(QStringLiteral("Other.Caption=x\n"
                                "Form2.Caption=first run\n"
                                "Form2.Button2.Caption=first run\n"
                                "Message=between\n"
                                "Form2.TextLabel.Caption=second run\n"
                                "Form2.Caption=second run\n"));
        TranslateForm(form.window.get());
        QCOMPARE(form.window->windowTitle(), QStringLiteral("first run"));
        QCOMPARE(form.button->text(), QStringLiteral("first run"));
        QCOMPARE(form.label->text(), QString());
    }

    void stringListItems()
    {
        Form2 form;
        UseTable(QStringLiteral("Form2.Memo1.Lines.[1]=second line\n"));
        TranslateForm(form.window.get());
        QCOMPARE(form.memo->m_lines, (QStringList{QStringLiteral("one"), QStringLiteral("second line")}));
    }

    void objectValuedPropertiesAreFollowed()
    {
        Form2 form;
        UseTable(QStringLiteral("Form2.Memo1.Inner.Caption=inner text\n"));
        TranslateForm(form.window.get());
        QCOMPARE(static_cast<QLabel *>(form.memo->m_inner)->text(), QStringLiteral("inner text"));
    }

    void failures_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("message");
        QTest::newRow("number property") << "Form2.N2.Tag=5" << "Can't assign to \"Tag\"";
        QTest::newRow("unknown property") << "Form2.Button2.Colour=red" << "No such property \"Colour\"";
        QTest::newRow("unknown component, tried on the window")
            << "Form2.Button9.Caption=x" << "No such property \"Button9.Caption\"";
        QTest::newRow("empty path") << "Form2.Button2.=x" << "Invalid property name";
        QTest::newRow("read-only text") << "Form2.Memo1.Version=2" << "Can't assign to \"Version\"";
        QTest::newRow("index without brackets") << "Form2.Memo1.Lines.0=x" << "Invalid property name";
        QTest::newRow("empty index") << "Form2.Memo1.Lines.[]=x" << "'' is not a valid integer value";
        QTest::newRow("letter as index") << "Form2.Memo1.Lines.[a]=x" << "'a' is not a valid integer value";
        QTest::newRow("index out of bounds") << "Form2.Memo1.Lines.[5]=x" << "List index out of bounds (5)";
        QTest::newRow("list without index") << "Form2.Memo1.Lines=x" << "Invalid property name";
    }
    void failures()
    {
        QFETCH(QString, row);
        QFETCH(QString, message);
        Form2 form;
        UseTable(row + QStringLiteral("\nForm2.Caption=after the failure\n"));
        QCOMPARE(ErrorOf<Exception>([&] { TranslateForm(form.window.get()); }), message);
        // The failing row stops the window's translation.
        QCOMPARE(form.window->windowTitle(), QStringLiteral("Изменить текст"));
    }

    void componentPaths()
    {
        Form2 form;
        QCOMPARE(ComponentPath(form.window.get()), QStringLiteral("Form2"));
        QCOMPARE(ComponentPath(form.button), QStringLiteral("Form2.Button2"));
        QCOMPARE(ComponentPath(form.item), QStringLiteral("Form2.N2"));
        QCOMPARE(ComponentPath(form.menu->menuAction()), QStringLiteral("Form2.N1"));

        // A dialog standing on the window is a window of its own.
        auto *dialog = new QDialog(form.window.get());
        dialog->setObjectName(QStringLiteral("Form3"));
        auto *button = new QPushButton(dialog);
        button->setObjectName(QStringLiteral("Button2"));
        QCOMPARE(ComponentPath(dialog), QStringLiteral("Form3"));
        QCOMPARE(ComponentPath(button), QStringLiteral("Form3.Button2"));
        UseTable(QStringLiteral("Form2.Button2.Caption=main window's\nForm3.Button2.Caption=dialog's\n"));
        TranslateForm(form.window.get());
        QCOMPARE(form.button->text(), QStringLiteral("main window's"));
        QCOMPARE(button->text(), QString());
        TranslateForm(dialog);
        QCOMPARE(button->text(), QStringLiteral("dialog's"));
    }

    void setLanguageTranslatesEveryWindowAndSetsTitle()
    {
        Form2 form;
        QWidget hidden;
        hidden.setObjectName(QStringLiteral("Form4"));
        UseTable(QString());
        LanguageNames().clear();
        LanguageTables().clear();
        AddLanguage(QStringLiteral("ENGLISH=English"),
                    QStringLiteral("Form2.Caption=Change text\nApplication.Title=Lexivane\nForm4.Caption=Font setup\n"));
        SetApplicationTitle(QStringLiteral("built-in title"));
        SetLanguage(QStringLiteral("english"));
        QCOMPARE(ApplicationTitle(), QStringLiteral("Lexivane"));
        QCOMPARE(form.window->windowTitle(), QStringLiteral("Change text"));
        QCOMPARE(hidden.windowTitle(), QStringLiteral("Font setup"));
        QCOMPARE(FindTranslation(QStringLiteral("form2.caption")), QStringLiteral("Change text"));

        // An unknown language keeps the current table and applies it again.
        form.window->setWindowTitle(QStringLiteral("changed by hand"));
        SetLanguage(QStringLiteral("KLINGON"));
        QCOMPARE(form.window->windowTitle(), QStringLiteral("Change text"));
        QCOMPARE(CurrentKeys().size(), 3);
    }
};

QTEST_MAIN(TestFormTranslation)
#include "tst_formtranslation.moc"
