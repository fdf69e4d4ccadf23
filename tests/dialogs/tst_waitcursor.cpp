// The wait cursor without a GUI application: the session's loads and saves
// run under a plain QCoreApplication too (benchmarks, command-line tools),
// where the calls only count and must not treat the application object as
// a QGuiApplication. (Under the sanitizer build, doing so is reported as a
// memory error.)

#include "dialogs/WaitCursor.h"
#include "editor/EditSession.h"
#include "msgfile/MsgFile.h"
#include "support/MsgTexts.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestEnvironment.h"

#include <QGuiApplication>
#include <QtTest>

namespace {

// Notes the wait depth while the session has the grid redrawn, that is,
// in the middle of a load.
class DepthRecordingView : public TSessionView
{
public:
    void RefreshGrid() override { DepthsAtRefresh.append(WaitDepth()); }
    void RepaintMessage(int) override {}
    void UpdateCommands() override {}

    QList<int> DepthsAtRefresh;
};

TMsgData ThreeMessages()
{
    TMsgData data;
    data.SetHeader(QByteArray::fromHex("01000004000000000000000002000000"));
    data.AddMessage(0x10001, "first");
    data.AddMessage(0x10002, QByteArray());
    data.AddMessage(0x10003, "third\nof three");
    return data;
}

} // namespace

class TestWaitCursor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // Everything below is about an application that shows no cursor.
        QVERIFY(QCoreApplication::instance());
        QVERIFY(!qobject_cast<QGuiApplication *>(QCoreApplication::instance()));
    }

    void waitsNestWithoutGuiApplication_data()
    {
        QTest::addColumn<int>("depth");
        QTest::newRow("one") << 1;
        QTest::newRow("two") << 2;
        QTest::newRow("five") << 5;
    }

    void waitsNestWithoutGuiApplication()
    {
        QFETCH(int, depth);
        QCOMPARE(WaitDepth(), 0);
        for (int i = 1; i <= depth; ++i) {
            BeginWait();
            QCOMPARE(WaitDepth(), i);
        }
        for (int i = depth - 1; i >= 0; --i) {
            EndWait();
            QCOMPARE(WaitDepth(), i);
        }
        // One EndWait too many changes nothing, and a later wait counts from 0.
        EndWait();
        QCOMPARE(WaitDepth(), 0);
        BeginWait();
        QCOMPARE(WaitDepth(), 1);
        EndWait();
        QCOMPARE(WaitDepth(), 0);
    }

    void scopeEndsTheWaitWhenTheWorkRaises()
    {
        bool caught = false;
        try {
            TWaitScope outer;
            TWaitScope inner;
            QCOMPARE(WaitDepth(), 2);
            throw std::runtime_error("work failed");
        } catch (const std::runtime_error &) {
            caught = true;
        }
        QVERIFY(caught);
        QCOMPARE(WaitDepth(), 0);
    }

    // The session's load and save, each inside a wait, as the find
    // benchmark runs them.
    void sessionLoadsAndSavesWithoutGuiApplication()
    {
        TestEnvironment environment;
        ScriptedMessageBoxes boxes;
        const QString source = environment.path(QStringLiteral("source.msg"));
        const QString copy = environment.path(QStringLiteral("copy.msg"));
        const TMsgData data = ThreeMessages();
        SaveMsgData(source, data);

        DepthRecordingView view;
        TEditSession session(view);
        QVERIFY(session.OpenDocument(source));
        QVERIFY(session.Messages());
        QCOMPARE(TextsOf(*session.Messages()), TextsOf(data));
        QVERIFY(!view.DepthsAtRefresh.isEmpty());
        QVERIFY2(view.DepthsAtRefresh.contains(1), "the load ran outside a wait");
        QCOMPARE(WaitDepth(), 0);

        QVERIFY(session.WriteMessageFile(copy));
        QCOMPARE(WaitDepth(), 0);
        QCOMPARE(TextsOf(*LoadMsgData(copy)), TextsOf(data));
        QCOMPARE(boxes.Count(), 0);
    }
};

QTEST_GUILESS_MAIN(TestWaitCursor)
#include "tst_waitcursor.moc"
