// The help file: a topic for every jump name and help context number the
// program asks for, a contents page that reaches every topic, links that
// lead somewhere, the copy beside the programs; and the viewer that shows it.

#include "editor/Unit1.h"
#include "help/HelpDocument.h"
#include "help/HelpUtils.h"
#include "help/HelpViewer.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QSet>
#include <QAction>
#include <QDialog>
#include <QScreen>
#include <QToolButton>
#include <QWindow>
#include <QtTest>

namespace {

const QString kHelpSource = QStringLiteral(HELP_SOURCE);

// Every jump name the program asks for: its windows, the go-to prompt's
// topic, and what the main window's menu items give, taken from the real
// window so that a new command cannot go without its topic.
QStringList ProgramTopics()
{
    QStringList topics{QStringLiteral("Form1"), QStringLiteral("Form2"), QStringLiteral("Form3"),
                       QStringLiteral("Form4"), QStringLiteral("AboutBox"), QStringLiteral("Form1.GotoDialog")};
    TForm1 window;
    for (const QAction *item : window.findChildren<QAction *>()) {
        const QString name = HelpName(item, HelpContextOf(item));
        if (!item->isSeparator() && !name.isEmpty() && !topics.contains(name))
            topics << name;
    }
    return topics;
}

// Every help context number the program asks for (ShowHelpContext): the main
// window's find and save-as dialogs and the about box's link menu ask for
// their own topic's.
const QList<int> kProgramContexts = {OwnHelpTopic};

THelpDocument LoadedHelp()
{
    THelpDocument document;
    const bool loaded = document.Load(kHelpSource);
    Q_ASSERT_X(loaded, "LoadedHelp", qPrintable(document.ErrorString()));
    return document;
}

// Every topic reachable from the contents, following links.
QSet<QString> Reachable(const THelpDocument &document)
{
    QSet<QString> seen{THelpDocument::ContentsAnchor()};
    QStringList pending{THelpDocument::ContentsAnchor()};
    while (!pending.isEmpty()) {
        const QStringList links = document.LinksOf(pending.takeLast());
        for (const QString &link : links) {
            if (!seen.contains(link)) {
                seen.insert(link);
                pending.append(link);
            }
        }
    }
    return seen;
}

const char kSmallHelp[] =
    "<html><head><title> Small </title><style>p { color: red; }</style></head><body>\n"
    "<div class=\"topic\"><h1><a name=\"contents\"></a>Contents</h1>"
    "<a href=\"#Form1\">main</a> <a href=\"#Form1.N2\">open</a></div>\n"
    "<div class=\"topic\"><h1><a name=\"Form1\"></a>Main window</h1><p>The grid.</p>"
    "<a href=\"http://example.org/\">web</a></div>\n"
    "<div class=\"topic\"><h1><a name=\"Form1.N2\"></a>Open</h1><p>Opens a file.</p></div>\n"
    "<p>Outside any topic: <a name=\"stray\"></a></p>\n"
    "</body></html>";

} // namespace

class TestHelpFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyJumpNameHasATopic_data()
    {
        QTest::addColumn<QString>("anchor");
        const QStringList topics = ProgramTopics();
        QVERIFY(topics.contains(QStringLiteral("Form1.RevertSavedItem")));
        QVERIFY(!topics.contains(QStringLiteral("Form1.RevertItem"))); // it leaves the question to File
        for (const QString &name : topics)
            QTest::newRow(qPrintable(name)) << name;
        for (int context : kProgramContexts)
            QTest::newRow(qPrintable(QStringLiteral("context %1").arg(context))) << THelpDocument::ContextAnchor(context);
        QTest::newRow("contents") << THelpDocument::ContentsAnchor();
    }
    void everyJumpNameHasATopic()
    {
        QFETCH(QString, anchor);
        const THelpDocument document = LoadedHelp();
        QVERIFY2(document.HasTopic(anchor), qPrintable(anchor));
        const QString page = document.TopicPage(anchor);
        QVERIFY(page.contains(QStringLiteral("<a name=\"%1\">").arg(anchor)));
        QVERIFY(page.contains(QStringLiteral("<h1>")));
        // Some words of its own beside the heading.
        QVERIFY(page.count(QStringLiteral("<p>")) + page.count(QStringLiteral("<li>")) > 0);
    }

    void anchorsAreUnique()
    {
        const QStringList anchors = LoadedHelp().Anchors();
        QVERIFY(anchors.size() > ProgramTopics().size());
        QCOMPARE(QSet<QString>(anchors.begin(), anchors.end()).size(), anchors.size());
    }

    // Links lead to topics that exist, and the contents reach every topic.
    void linksLeadToTopics()
    {
        const THelpDocument document = LoadedHelp();
        const QStringList anchors = document.Anchors();
        for (const QString &anchor : anchors) {
            const QStringList links = document.LinksOf(anchor);
            for (const QString &link : links)
                QVERIFY2(document.HasTopic(link), qPrintable(anchor + QStringLiteral(" -> ") + link));
        }
        const QStringList fromContents = document.LinksOf(THelpDocument::ContentsAnchor());
        const QStringList topics = ProgramTopics();
        QVERIFY(topics.contains(QStringLiteral("Form1.RevertSavedItem")));
        QVERIFY(!topics.contains(QStringLiteral("Form1.RevertItem"))); // it leaves the question to File
        for (const QString &name : topics)
            QVERIFY2(fromContents.contains(name), qPrintable(name));
        const QSet<QString> reachable = Reachable(document);
        for (const QString &anchor : anchors)
            QVERIFY2(reachable.contains(anchor), qPrintable(anchor));
    }

    // The build puts the help file beside the programs.
    void copyBesideThePrograms()
    {
        const QString copy = QCoreApplication::applicationDirPath() + QStringLiteral("/lexivane.HLP");
        QVERIFY2(QFile::exists(copy), qPrintable(copy));
        QCOMPARE(ReadWholeFile(copy), ReadWholeFile(kHelpSource));
    }

    void documentParsing_data()
    {
        QTest::addColumn<QString>("anchor");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QString>("text"); // in its page
        QTest::addColumn<QStringList>("links");
        QTest::newRow("contents") << "contents" << true << "Contents" << QStringList{"Form1", "Form1.N2"};
        QTest::newRow("topic with an outside link") << "Form1" << true << "The grid." << QStringList{};
        QTest::newRow("last topic") << "Form1.N2" << true << "Opens a file." << QStringList{};
        QTest::newRow("anchor outside any topic") << "stray" << false << "" << QStringList{};
        QTest::newRow("unknown") << "Form9" << false << "" << QStringList{};
    }
    void documentParsing()
    {
        QFETCH(QString, anchor);
        QFETCH(bool, exists);
        QFETCH(QString, text);
        QFETCH(QStringList, links);
        THelpDocument document;
        document.SetHtml(QString::fromUtf8(kSmallHelp));
        QCOMPARE(document.Anchors(), (QStringList{"contents", "Form1", "Form1.N2"}));
        QCOMPARE(document.Title(), QStringLiteral("Small"));
        QCOMPARE(document.HasTopic(anchor), exists);
        QCOMPARE(document.LinksOf(anchor), links);
        const QString page = document.TopicPage(anchor);
        if (!exists) {
            QVERIFY(page.isEmpty());
            return;
        }
        QVERIFY(page.contains(text));
        QVERIFY(page.contains(QStringLiteral("<style>p { color: red; }</style>")));
        // One topic per page: the others' texts stay out.
        for (const QString &other : {QStringLiteral("The grid."), QStringLiteral("Opens a file.")}) {
            if (other != text)
                QVERIFY(!page.contains(other));
        }
    }

    void missingFileLoadsNothing()
    {
        TestEnvironment environment;
        THelpDocument document;
        QVERIFY(!document.Load(environment.path(QStringLiteral("missing.HLP"))));
        QVERIFY(!document.ErrorString().isEmpty());
        QVERIFY(document.Anchors().isEmpty());
    }

    // The viewer opens topics by jump name and context number, keeps a
    // history, and reports a missing topic or file in its own page.
    void viewerRequests_data()
    {
        QTest::addColumn<QString>("request"); // "topic X", "contents", "context N", "popup X"
        QTest::addColumn<QString>("topic");   // shown afterwards; empty: an error page
        QTest::addColumn<QString>("text");    // in the page
        QTest::newRow("menu item") << "topic Form1.N2" << "Form1.N2" << "File, Open...";
        QTest::newRow("window") << "topic Form4" << "Form4" << "Font setup";
        QTest::newRow("go-to prompt") << "topic Form1.GotoDialog" << "Form1.GotoDialog" << "Message ID";
        QTest::newRow("contents") << "contents" << "contents" << "Lexivane Help";
        QTest::newRow("context 1") << "context 1" << "context-1" << "link menu";
        QTest::newRow("pop-up") << "popup Form1.N8" << "Form1.N8" << "View, Find...";
        QTest::newRow("unknown jump name") << "topic Form1.Nowhere" << "" << "Form1.Nowhere";
        QTest::newRow("unknown context") << "context 7" << "" << "context-7";
    }
    void viewerRequests()
    {
        QFETCH(QString, request);
        QFETCH(QString, topic);
        QFETCH(QString, text);
        THelpViewer viewer(kHelpSource);
        const QString argument = request.section(QLatin1Char(' '), 1);
        if (request.startsWith(QLatin1String("topic")))
            viewer.ShowTopic(argument);
        else if (request.startsWith(QLatin1String("context")))
            viewer.ShowContext(argument.toInt());
        else if (request.startsWith(QLatin1String("popup")))
            viewer.ShowPopup(argument, QPoint(30, 40));
        else
            viewer.ShowContents();
        QVERIFY(viewer.isVisible());
        QCOMPARE(viewer.CurrentTopic(), topic);
        QVERIFY2(viewer.PageText().contains(text), qPrintable(viewer.PageText()));
        QCOMPARE(viewer.windowTitle(), topic.isEmpty() ? QStringLiteral("Help") : QStringLiteral("Lexivane Help"));
    }

    void viewerHistory()
    {
        THelpViewer viewer(kHelpSource);
        QVERIFY(!viewer.CanGoBack());
        viewer.ShowContents();
        viewer.ShowTopic(QStringLiteral("Form1.N2"));
        viewer.ShowTopic(QStringLiteral("Form1.N2")); // the same topic again: no new step
        viewer.ShowTopic(QStringLiteral("Form2"));
        viewer.GoBack();
        QCOMPARE(viewer.CurrentTopic(), QStringLiteral("Form1.N2"));
        viewer.GoBack();
        QCOMPARE(viewer.CurrentTopic(), QStringLiteral("contents"));
        QVERIFY(!viewer.CanGoBack());
        viewer.GoForward();
        QCOMPARE(viewer.CurrentTopic(), QStringLiteral("Form1.N2"));
        QVERIFY(viewer.CanGoForward());
        // A new topic drops the steps ahead.
        viewer.ShowTopic(QStringLiteral("Form3"));
        QVERIFY(!viewer.CanGoForward());
        viewer.GoBack();
        QCOMPARE(viewer.CurrentTopic(), QStringLiteral("Form1.N2"));
        // An unknown topic shows an error page but keeps the history.
        viewer.ShowTopic(QStringLiteral("Form1.Nowhere"));
        QCOMPARE(viewer.CurrentTopic(), QString());
        viewer.GoForward();
        QCOMPARE(viewer.CurrentTopic(), QStringLiteral("Form3"));
    }

    // Help asked for from a modal dialog: the viewer takes clicks and keys
    // and closes with Escape while the dialog stays open, and it opens
    // beside the dialog.
    void viewerUsableBesideAModalDialog()
    {
        QDialog dialog;
        dialog.setWindowTitle(QStringLiteral("asking"));
        dialog.resize(120, 100);
        dialog.move(dialog.screen()->availableGeometry().topLeft() + QPoint(10, 30));
        THelpViewer viewer(kHelpSource);
        QRect dialogFrame;
        QRect viewerFrame;
        QString afterClick;
        bool openAfterEscape = true;
        bool dialogOpen = false;
        QTimer::singleShot(0, &dialog, [&] {
            viewer.ShowTopic(QStringLiteral("Form2")); // as F1 in the dialog does
            QVERIFY(QTest::qWaitForWindowExposed(&viewer));
            dialogFrame = dialog.frameGeometry();
            viewerFrame = viewer.frameGeometry();
            auto *contents = viewer.findChild<QToolButton *>();
            QVERIFY(contents);
            QTest::mouseClick(viewer.windowHandle(), Qt::LeftButton, {},
                              contents->mapTo(&viewer, contents->rect().center()));
            afterClick = viewer.CurrentTopic();
            QTest::keyClick(viewer.windowHandle(), Qt::Key_Escape);
            openAfterEscape = viewer.isVisible();
            dialogOpen = dialog.isVisible();
            dialog.reject();
        });
        dialog.exec();
        QCOMPARE(afterClick, QStringLiteral("contents"));
        QVERIFY(!openAfterEscape);
        QVERIFY(dialogOpen);
        QVERIFY2(!viewerFrame.intersects(dialogFrame) && viewerFrame.left() > dialogFrame.right()
                     && viewerFrame.top() == dialogFrame.top(),
                 qPrintable(QStringLiteral("viewer at %1,%2, dialog's right edge %3")
                                .arg(viewerFrame.left()).arg(viewerFrame.top()).arg(dialogFrame.right())));
    }

    void viewerWithoutFile()
    {
        TestEnvironment environment;
        const QString missing = environment.path(QStringLiteral("lexivane.HLP"));
        THelpViewer viewer(missing);
        viewer.ShowTopic(QStringLiteral("Form1"));
        QCOMPARE(viewer.CurrentTopic(), QString());
        QVERIFY2(viewer.PageText().contains(missing), qPrintable(viewer.PageText()));

        // Installed later: found at the next request.
        QVERIFY(QFile::copy(kHelpSource, missing));
        viewer.ShowTopic(QStringLiteral("Form1"));
        QCOMPARE(viewer.CurrentTopic(), QStringLiteral("Form1"));
    }

private:
    TestEnvironment m_environment;
};

QTEST_MAIN(TestHelpFile)
#include "tst_helpfile.moc"
