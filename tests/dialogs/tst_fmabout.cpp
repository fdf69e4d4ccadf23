// The about box: what it shows and how each showing resets it, the link and
// its menu (never launching a browser: a recording runner stands in for the
// desktop), the Alt+V, Alt+F sequence that shows the hidden panel, its help
// and its texts from the English table.

#include "dialogs/SWUtils.h"
#include "dialogs/VerUtils.h"
#include "dialogs/fmAbout.h"
#include "help/HelpService.h"
#include "help/HelpUtils.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestEnvironment.h"
#include "uitext/Components.h"
#include "uitext/EnglishMsg.h"
#include "uitext/FormTranslation.h"
#include "uitext/LangUtils.h"
#include "uitext/SupportAddresses.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QLabel>
#include <QMenu>
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

const QString kWebSite = QLatin1String(WebSiteAddress);

// Presses the keys of Sequence on Target: blank-separated tokens, "Alt+V"
// (a letter with Alt held), "V" (a letter alone), "Alt" (the Alt key itself).
void PressKeys(QWidget *target, const QString &sequence)
{
    const QStringList tokens = sequence.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &token : tokens) {
        if (token == QLatin1String("Alt")) {
            QTest::keyClick(target, Qt::Key_Alt, Qt::AltModifier);
            continue;
        }
        const bool alt = token.startsWith(QLatin1String("Alt+"));
        const QChar letter = token.back().toUpper();
        const auto key = Qt::Key(Qt::Key_A + (letter.unicode() - 'A'));
        QTest::keyClick(target, key, alt ? Qt::AltModifier : Qt::NoModifier);
    }
}

// The sequence is kept for the whole run; any Alt key but V brings it back
// to its start.
void ResetSequence(TAboutBox &box)
{
    PressKeys(box.OKButton, QStringLiteral("Alt+X"));
}

// Acts on the about box once ShowAboutBox shows it; closes it when the
// action leaves it open or nothing happens in time, so that no test hangs.
class TBoxDriver
{
public:
    explicit TBoxDriver(std::function<void(TAboutBox *)> action)
    {
        QTimer::singleShot(0, &m_context, [this, action] {
            QWidget *modal = QApplication::activeModalWidget();
            auto *box = qobject_cast<TAboutBox *>(modal);
            if (!box) {
                if (modal)
                    modal->close();
                return;
            }
            Found = true;
            action(box);
            if (box->isVisible()) {
                Stuck = true;
                box->reject();
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

} // namespace

class TestFmAbout : public QObject
{
    Q_OBJECT

private:
    TestEnvironment m_environment;
    THelpRecorder m_help;
    THelpService *m_previousHelp = nullptr;
    QList<QUrl> m_opened;
    bool m_openSucceeds = true;
    QStringList m_reported;

private Q_SLOTS:
    void initTestCase()
    {
        AddLanguage(QLatin1String(EnglishLanguageEntry), EnglishTable());
        SetLanguage(QStringLiteral("ENGLISH"));
        m_previousHelp = SetHelpService(&m_help);
        SetShellRunner([this](const QUrl &url) {
            m_opened.append(url);
            return m_openSucceeds;
        });
        SetURLExceptionHandler([this](const std::exception &error) { m_reported << QString::fromUtf8(error.what()); });
    }

    void cleanupTestCase() { SetHelpService(m_previousHelp); }

    void init()
    {
        m_help.calls.clear();
        m_opened.clear();
        m_openSucceeds = true;
        m_reported.clear();
    }

    void cleanup() { QVERIFY(m_reported.isEmpty()); }

    void design()
    {
        TAboutBox box;
        QCOMPARE(box.objectName(), QStringLiteral("AboutBox"));
        for (const char *name : {"ProgramIcon", "ProductName", "Label1", "Comments", "Copyright", "URLLabel1",
                                 "OKButton", "Panel1", "Label2", "URLMenu", "N1", "N2", "ContextHelp1"}) {
            QObject *component = box.findChild<QObject *>(QLatin1String(name));
            QVERIFY2(component, name);
            QCOMPARE(OwnerForm(component), &box);
        }
        QCOMPARE(box.font().family(), QStringLiteral("Arial"));
        QCOMPARE(box.font().pixelSize(), 13);
        QCOMPARE(box.minimumSize(), box.maximumSize());
        QVERIFY(box.width() >= 265);
        QVERIFY(box.height() >= 166);
        QCOMPARE(HelpContextOf(&box), 1);
        QCOMPARE(HelpContextOf(box.URLMenu), 1);

        QCOMPARE(box.ProductName->text(), QStringLiteral("Lexivane"));
        QVERIFY(box.ProductName->font().bold());
        QCOMPARE(box.Label1->text(), QStringLiteral("v. 1.01"));
        QVERIFY(box.Label1->font().bold());
        QCOMPARE(box.URLLabel1->text(), QStringLiteral("Tessavel"));
        QVERIFY(box.URLLabel1->font().bold());
        QVERIFY(box.URLLabel1->font().underline());
        QCOMPARE(box.URLLabel1->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QCOMPARE(box.URLLabel1->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(box.URLLabel1->contextMenuPolicy(), Qt::CustomContextMenu);
        QCOMPARE(box.OKButton->text(), QStringLiteral("OK"));
        QVERIFY(!box.Copyright->text().isEmpty());
        QVERIFY(box.Comments->isHidden());
        QVERIFY(box.Panel1->isHidden());
        QCOMPARE(box.URLMenu->defaultAction(), box.N1);
        QCOMPARE(box.URLMenu->actions(), (QList<QAction *>{box.N1, box.N2}));
    }

    void hiddenTextIsStoredScrambled()
    {
        TAboutBox box;
        QCOMPARE(box.Label2->parentWidget(), box.Panel1);
        const QString shown = box.Label2->text();
        QVERIFY(!shown.isEmpty());
        QVERIFY(shown != box.Label2->Value());
        QCOMPARE(TXLabel::Scramble(box.Label2->Value(), box.Label2->XValue()), shown);
        // Every character is printable once unscrambled.
        for (QChar c : shown)
            QVERIFY(c.isPrint());
    }

    void showingFillsTheBox()
    {
        TAboutBox box;
        box.URLLabel1->SetURL(QStringLiteral("https://stale.example/"));
        box.show();
        QCOMPARE(box.URLLabel1->URL(), kWebSite);
        const QMap<QString, QString> &strings = ProgramVersionResource().StringTables.value(QStringLiteral("040904E4"));
        QCOMPARE(box.Comments->text(), QStringLiteral("(") + strings.value(QStringLiteral("Comments")) + QStringLiteral(" 1.01)"));
        QVERIFY(box.Comments->isHidden());
        QVERIFY(box.Panel1->isHidden());
        QVERIFY(box.ProgramIcon->pixmap().isNull() == false);
    }

    void copyrightEndsOnePixelBeforeTheLink()
    {
        TAboutBox box;
        box.show();
        const QRect copyright = box.Copyright->geometry();
        const QRect link = box.URLLabel1->geometry();
        QVERIFY(copyright.isValid());
        // Left + Width = the link's Left - 1.
        QCOMPARE(copyright.x() + copyright.width(), link.x() - 1);
        QVERIFY(copyright.top() < link.bottom() && link.top() < copyright.bottom());
        QVERIFY(link.right() < box.width());
        QVERIFY(copyright.left() >= 0);
    }

    void altSequences_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("shown");

        QTest::newRow("Alt+V Alt+F") << "Alt+V Alt+F" << true;
        QTest::newRow("Alt+V Alt+X Alt+F") << "Alt+V Alt+X Alt+F" << false;
        QTest::newRow("Alt+V F Alt+F") << "Alt+V F Alt+F" << true;
        QTest::newRow("Alt key pressed again between") << "Alt Alt+V Alt Alt+F" << true;
        QTest::newRow("Alt+V Alt+V Alt+F") << "Alt+V Alt+V Alt+F" << false;
        QTest::newRow("Alt+V Alt+V Alt+V Alt+F") << "Alt+V Alt+V Alt+V Alt+F" << true;
        QTest::newRow("Alt+F alone") << "Alt+F" << false;
        QTest::newRow("Alt+V alone") << "Alt+V" << false;
        QTest::newRow("Alt+F Alt+V") << "Alt+F Alt+V" << false;
        QTest::newRow("V F without Alt") << "V F" << false;
        QTest::newRow("other Alt keys first") << "Alt+X Alt+F Alt+V Alt+F" << true;
        QTest::newRow("letters without Alt between") << "Alt+V X Y V Alt+F" << true;
        QTest::newRow("shown stays shown") << "Alt+V Alt+F Alt+X" << true;
    }

    void altSequences()
    {
        QFETCH(QString, keys);
        QFETCH(bool, shown);
        TAboutBox box;
        box.show();
        ResetSequence(box);
        // The keys go to the focused control; the box sees them first.
        PressKeys(box.OKButton, keys);
        QCOMPARE(box.Panel1->isVisible(), shown);
    }

    void sequenceIsKeptAcrossShowings()
    {
        TAboutBox box;
        box.show();
        ResetSequence(box);
        PressKeys(box.OKButton, QStringLiteral("Alt+V"));
        box.hide();
        box.show();
        QVERIFY(box.Panel1->isHidden());
        PressKeys(box.OKButton, QStringLiteral("Alt+F"));
        QVERIFY(box.Panel1->isVisible());

        // Each showing hides the panel again, and the sequence starts over.
        box.hide();
        box.show();
        QVERIFY(box.Panel1->isHidden());
        PressKeys(box.OKButton, QStringLiteral("Alt+F"));
        QVERIFY(box.Panel1->isHidden());
    }

    void closing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::newRow("Escape") << "Escape" << int(QDialog::Accepted);
        QTest::newRow("OK button") << "OK" << int(QDialog::Accepted);
        QTest::newRow("Enter") << "Enter" << int(QDialog::Accepted);
        QTest::newRow("close box") << "close" << int(QDialog::Rejected);
    }

    void closing()
    {
        QFETCH(QString, how);
        QFETCH(int, result);
        // One box, shown twice, as the program reuses it.
        TAboutBox box;
        for (int showing = 0; showing < 2; ++showing) {
            QString url;
            TBoxDriver driver([&](TAboutBox *shown) {
                url = shown->URLLabel1->URL();
                if (how == QLatin1String("Escape"))
                    QTest::keyClick(shown->OKButton, Qt::Key_Escape);
                else if (how == QLatin1String("OK"))
                    QTest::mouseClick(shown->OKButton, Qt::LeftButton);
                else if (how == QLatin1String("Enter"))
                    QTest::keyClick(shown->OKButton, Qt::Key_Return);
                else
                    shown->close();
            });
            box.ShowAboutBox();
            QVERIFY(driver.Clean());
            QCOMPARE(box.result(), result);
            QCOMPARE(url, kWebSite);
        }
        QVERIFY(m_opened.isEmpty());
    }

    void clickingTheLinkOpensTheWebSite()
    {
        ScriptedMessageBoxes boxes;
        TAboutBox box;
        box.show();
        QTest::mouseClick(box.URLLabel1, Qt::LeftButton);
        QCOMPARE(m_opened, QList<QUrl>{QUrl(kWebSite)});
        QCOMPARE(boxes.Count(), 0);
    }

    void aFailedLaunchIsReported_data()
    {
        QTest::addColumn<bool>("fromMenu");
        QTest::newRow("click") << false;
        QTest::newRow("Open... item") << true;
    }

    void aFailedLaunchIsReported()
    {
        QFETCH(bool, fromMenu);
        ScriptedMessageBoxes boxes;
        TAboutBox box;
        box.show();
        m_openSucceeds = false;
        if (fromMenu)
            box.N1->trigger();
        else
            QTest::mouseClick(box.URLLabel1, Qt::LeftButton);
        QCOMPARE(m_opened, QList<QUrl>{QUrl(kWebSite)});
        QCOMPARE(boxes.Count(), 1);
        QCOMPARE(boxes.Last().Kind, TMsgDlgType::mtError);
        QCOMPARE(boxes.Last().Text, QStringLiteral("Can't open web-site \"") + kWebSite
                                        + QStringLiteral("\". May be you have no default browser installed!"));
        QVERIFY(box.isVisible());
    }

    void menuItems_data()
    {
        QTest::addColumn<bool>("copy");
        QTest::newRow("Open...") << false;
        QTest::newRow("Copy URL") << true;
    }

    void menuItems()
    {
        QFETCH(bool, copy);
        TAboutBox box;
        box.show();
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        (copy ? box.N2 : box.N1)->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), copy ? kWebSite : QStringLiteral("before"));
        QCOMPARE(m_opened, copy ? QList<QUrl>() : QList<QUrl>{QUrl(kWebSite)});
    }

    void theLinksContextMenuIsURLMenu()
    {
        TAboutBox box;
        box.show();
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), box.URLLabel1->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(box.URLLabel1, &event);
        QTRY_VERIFY(box.URLMenu->isVisible());

        // F1 on its item asks for the menu's help context number.
        box.URLMenu->setActiveAction(box.N2);
        QTest::keyClick(box.URLMenu, Qt::Key_F1);
        QCOMPARE(m_help.calls, QStringList{QStringLiteral("context 1")});
        box.URLMenu->close();
        QVERIFY(m_opened.isEmpty());
    }

    void helpOnTheBox()
    {
        TAboutBox box;
        box.show();
        QTest::keyClick(box.OKButton, Qt::Key_F1);
        QCOMPARE(m_help.calls, QStringList{QStringLiteral("topic AboutBox")});
    }

    void englishTable()
    {
        TAboutBox box;
        box.setWindowTitle(QStringLiteral("-"));
        box.N1->setText(QStringLiteral("-"));
        box.N2->setText(QStringLiteral("-"));
        box.URLLabel1->setToolTip(QStringLiteral("-"));
        QVERIFY_THROWS_NO_EXCEPTION(SetLanguage(QStringLiteral("ENGLISH")));
        QCOMPARE(box.windowTitle(), QStringLiteral("About..."));
        QCOMPARE(box.N1->text(), QStringLiteral("Open..."));
        QCOMPARE(box.N2->text(), QStringLiteral("Copy URL"));
        QCOMPARE(box.URLLabel1->toolTip(), QStringLiteral("Opens Tessavel Web-site..."));
        QCOMPARE(box.OKButton->text(), QStringLiteral("OK"));
        QCOMPARE(box.ProductName->text(), QStringLiteral("Lexivane"));
        QCOMPARE(box.Label1->text(), QStringLiteral("v. 1.01"));
        QCOMPARE(box.URLLabel1->text(), QStringLiteral("Tessavel"));
    }
};

QTEST_MAIN(TestFmAbout)
#include "tst_fmabout.moc"
