// Opening URLs through the shell runner, the wait cursor around it and
// around other work, the named cursors, the link label and the label with a
// scrambled caption.

#include "dialogs/SWUtils.h"
#include "dialogs/SomeCursors.h"
#include "dialogs/WaitCursor.h"
#include "support/TestEnvironment.h"
#include "uitext/FormTranslation.h"

#include <QApplication>
#include <QClipboard>
#include <QtTest>

#include <optional>

namespace {

// Stands in for the desktop: writes down every URL asked for, and what the
// wait cursor looked like meanwhile, and answers with Result.
struct TRecordingRunner
{
    QList<QUrl> urls;
    QList<std::optional<Qt::CursorShape>> cursors;
    bool result = true;
    bool raise = false;

    bool Run(const QUrl &url)
    {
        urls.append(url);
        const QCursor *cursor = QGuiApplication::overrideCursor();
        cursors.append(cursor ? std::optional<Qt::CursorShape>(cursor->shape()) : std::nullopt);
        if (raise)
            throw EURLError(QStringLiteral("runner failed"));
        return result;
    }
};

std::optional<Qt::CursorShape> OverrideShape()
{
    const QCursor *cursor = QGuiApplication::overrideCursor();
    return cursor ? std::optional<Qt::CursorShape>(cursor->shape()) : std::nullopt;
}

} // namespace

class TestSWUtils : public QObject
{
    Q_OBJECT

private:
    TestEnvironment m_environment;
    TRecordingRunner m_runner;
    QList<QString> m_reported;

private Q_SLOTS:
    void initTestCase()
    {
        SetShellRunner([this](const QUrl &url) { return m_runner.Run(url); });
        SetURLExceptionHandler([this](const std::exception &error) { m_reported.append(QString::fromUtf8(error.what())); });
    }

    void init()
    {
        m_runner = TRecordingRunner();
        m_reported.clear();
        QCOMPARE(WaitDepth(), 0);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void cleanup()
    {
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
        while (WaitDepth() > 0)
            EndWait();
    }

    // RunProgram

    void runProgramOpensTheTargetAsAUrl_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("result");

        QTest::newRow("web address") << "https://www.tessavel.example/" << "https://www.tessavel.example/" << true;
        QTest::newRow("host name only") << "www.tessavel.example" << "http://www.tessavel.example" << true;
        QTest::newRow("mail link") << "mailto:support@tessavel.example" << "mailto:support@tessavel.example" << true;
        QTest::newRow("local document") << "/tmp/readme.txt" << "file:///tmp/readme.txt" << true;
        QTest::newRow("failure reported") << "https://www.tessavel.example/" << "https://www.tessavel.example/" << false;
    }

    void runProgramOpensTheTargetAsAUrl()
    {
        QFETCH(QString, target);
        QFETCH(QString, url);
        QFETCH(bool, result);
        m_runner.result = result;
        QCOMPARE(RunProgram(target), result);
        QCOMPARE(m_runner.urls, QList<QUrl>{QUrl(url)});
        // The wait cursor while the desktop works, the previous one after.
        QCOMPARE(m_runner.cursors.value(0), std::optional<Qt::CursorShape>(Qt::WaitCursor));
        QCOMPARE(OverrideShape(), std::nullopt);
        QCOMPARE(WaitDepth(), 0);
    }

    void runProgramRestoresTheCursorWhenTheRunnerRaises()
    {
        m_runner.raise = true;
        QVERIFY_THROWS_EXCEPTION(EURLError, RunProgram(QStringLiteral("https://www.tessavel.example/")));
        QCOMPARE(m_runner.cursors.value(0), std::optional<Qt::CursorShape>(Qt::WaitCursor));
        QCOMPARE(OverrideShape(), std::nullopt);
        QCOMPARE(WaitDepth(), 0);
    }

    void runProgramInsideAWaitKeepsTheOuterWait()
    {
        BeginWait();
        QVERIFY(RunProgram(QStringLiteral("https://www.tessavel.example/")));
        QCOMPARE(OverrideShape(), std::optional<Qt::CursorShape>(Qt::WaitCursor));
        QCOMPARE(WaitDepth(), 1);
        EndWait();
        QCOMPARE(OverrideShape(), std::nullopt);
    }

    // BeginWait and EndWait

    void waitCallsNest_data()
    {
        QTest::addColumn<int>("depth");
        QTest::newRow("one") << 1;
        QTest::newRow("two") << 2;
        QTest::newRow("five") << 5;
    }

    void waitCallsNest()
    {
        QFETCH(int, depth);
        // Someone else's cursor is showing when the first wait begins.
        QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
        for (int i = 0; i < depth; ++i) {
            BeginWait();
            QCOMPARE(OverrideShape(), std::optional<Qt::CursorShape>(Qt::WaitCursor));
        }
        for (int i = depth; i > 1; --i) {
            EndWait();
            QCOMPARE(OverrideShape(), std::optional<Qt::CursorShape>(Qt::WaitCursor));
            QCOMPARE(WaitDepth(), i - 1);
        }
        EndWait();
        QCOMPARE(OverrideShape(), std::optional<Qt::CursorShape>(Qt::CrossCursor));
        QGuiApplication::restoreOverrideCursor();
        QCOMPARE(OverrideShape(), std::nullopt);
    }

    void endWaitWithoutBeginWaitDoesNothing()
    {
        QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
        EndWait();
        QCOMPARE(WaitDepth(), 0);
        QCOMPARE(OverrideShape(), std::optional<Qt::CursorShape>(Qt::CrossCursor));
        // A later wait still nests from zero.
        BeginWait();
        EndWait();
        QCOMPARE(OverrideShape(), std::optional<Qt::CursorShape>(Qt::CrossCursor));
    }

    // Named cursors

    void namedCursorsAreNumberedFrom256()
    {
        // Nothing before this test adds a named cursor: the first gets 256.
        const int first = AddNamedCursor(QStringLiteral("TestCross"), QCursor(Qt::CrossCursor));
        QCOMPARE(first, 256);
        const int second = AddNamedCursor(QStringLiteral("TestIBeam"), QCursor(Qt::IBeamCursor));
        QCOMPARE(second, first + 1);

        // A name added before keeps its number and its cursor, whatever case
        // it is written in, and adds no name: the next new one follows on.
        QCOMPARE(AddNamedCursor(QStringLiteral("TestCross"), QCursor(Qt::SizeAllCursor)), first);
        QCOMPARE(AddNamedCursor(QStringLiteral("testcross"), QCursor(Qt::SizeAllCursor)), first);
        QCOMPARE(ScreenCursor(first).shape(), Qt::CrossCursor);
        QCOMPARE(ScreenCursor(second).shape(), Qt::IBeamCursor);

        QCOMPARE(AddNamedCursor(QStringLiteral("TestSplit"), QCursor(Qt::SplitHCursor)), first + 2);
    }

    void unknownCursorNumbersGiveTheArrow_data()
    {
        QTest::addColumn<int>("number");
        QTest::newRow("0") << 0;
        QTest::newRow("255") << 255;
        QTest::newRow("negative") << -11;
        QTest::newRow("past the last") << 256 + 1000;
    }

    void unknownCursorNumbersGiveTheArrow()
    {
        QFETCH(int, number);
        AddNamedCursor(QStringLiteral("TestWait"), QCursor(Qt::WaitCursor));
        QCOMPARE(ScreenCursor(number).shape(), Qt::ArrowCursor);
    }

    // TURLLabel

    void linkLabelLooksLikeALink()
    {
        TURLLabel label;
        QVERIFY(label.font().underline());
        QCOMPARE(label.palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QCOMPARE(label.cursor().shape(), Qt::PointingHandCursor);
        // Its cursor is the named cursor "URLHand", which it added.
        const int hand = AddNamedCursor(QStringLiteral("URLHand"), QCursor(Qt::CrossCursor));
        QVERIFY(hand >= 256);
        QCOMPARE(ScreenCursor(hand).shape(), Qt::PointingHandCursor);
        QCOMPARE(label.URL(), QString());
        QVERIFY(label.setProperty("URL", QStringLiteral("https://a.example/")));
        QCOMPARE(label.URL(), QStringLiteral("https://a.example/"));
    }

    void clickEmitsClickedAndThenOpens()
    {
        TURLLabel label;
        label.setText(QStringLiteral("Tessavel"));
        label.SetURL(QStringLiteral("https://www.tessavel.example/"));
        label.show();
        QList<int> opensAtClicked;
        connect(&label, &TURLLabel::clicked, this, [&] { opensAtClicked.append(int(m_runner.urls.size())); });

        QTest::mouseClick(&label, Qt::LeftButton);
        QCOMPARE(opensAtClicked, QList<int>{0});
        QCOMPARE(m_runner.urls, QList<QUrl>{QUrl(QStringLiteral("https://www.tessavel.example/"))});
        QVERIFY(m_reported.isEmpty());

        label.OpenURL();
        QCOMPARE(opensAtClicked, (QList<int>{0, 1}));
        QCOMPARE(m_runner.urls.size(), 2);
    }

    void onlyAPressAndReleaseOnTheLabelIsAClick_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("releaseOutside");
        QTest::newRow("right button") << int(Qt::RightButton) << false;
        QTest::newRow("middle button") << int(Qt::MiddleButton) << false;
        QTest::newRow("released outside") << int(Qt::LeftButton) << true;
    }

    void onlyAPressAndReleaseOnTheLabelIsAClick()
    {
        QFETCH(int, button);
        QFETCH(bool, releaseOutside);
        TURLLabel label;
        label.setText(QStringLiteral("Tessavel"));
        label.SetURL(QStringLiteral("https://www.tessavel.example/"));
        label.show();
        QSignalSpy clicked(&label, &TURLLabel::clicked);
        const auto mouseButton = Qt::MouseButton(button);
        QTest::mousePress(&label, mouseButton);
        const QPoint release = releaseOutside ? QPoint(label.width() + 20, label.height() + 20) : label.rect().center();
        QTest::mouseRelease(&label, mouseButton, {}, release);
        QCOMPARE(clicked.count(), 0);
        QVERIFY(m_runner.urls.isEmpty());
    }

    void anEmptyUrlOpensNothing()
    {
        TURLLabel label;
        QSignalSpy clicked(&label, &TURLLabel::clicked);
        m_runner.result = false;
        label.OpenURL();
        QCOMPARE(clicked.count(), 1);
        QVERIFY(m_runner.urls.isEmpty());
    }

    void aFailureGoesToOnOpenFailed()
    {
        TURLLabel label;
        label.SetURL(QStringLiteral("https://www.tessavel.example/"));
        label.show();
        QList<TURLLabel *> senders;
        label.OnOpenFailed = [&senders](TURLLabel *sender) { senders.append(sender); };
        m_runner.result = false;

        label.OpenURL();
        QCOMPARE(senders, QList<TURLLabel *>{&label});
        QTest::mouseClick(&label, Qt::LeftButton);
        QCOMPARE(senders.size(), 2);
        QCOMPARE(m_runner.urls.size(), 2);
        QVERIFY(m_reported.isEmpty());

        // Success does not call it.
        m_runner.result = true;
        label.OpenURL();
        QCOMPARE(senders.size(), 2);
    }

    void aFailureWithoutHandlerRaises()
    {
        TURLLabel label;
        label.SetURL(QStringLiteral("https://www.tessavel.example/"));
        label.show();
        m_runner.result = false;
        const QString message = QStringLiteral("Can't open web-site. May be you have no default browser installed");
        try {
            label.OpenURL();
            QFAIL("OpenURL did not raise");
        } catch (const EURLError &error) {
            QCOMPARE(error.Message(), message);
        }
        // A click cannot pass the exception through the toolkit: it reaches
        // the handler.
        QTest::mouseClick(&label, Qt::LeftButton);
        QCOMPARE(m_reported, QList<QString>{message});
    }

    void copyUrlPutsTheLinkOnTheClipboardWithoutOpeningIt()
    {
        TURLLabel label;
        label.SetURL(QStringLiteral("https://www.tessavel.example/about"));
        QSignalSpy clicked(&label, &TURLLabel::clicked);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        label.CopyURL();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("https://www.tessavel.example/about"));
        QVERIFY(m_runner.urls.isEmpty());
        QCOMPARE(clicked.count(), 0);
    }

    // TXLabel

    void scrambledLabelShowsValueUnderItsKey_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("caption");

        // XOR 0x20 swaps the case of ASCII letters.
        QTest::newRow("0x20 swaps letter case") << "hELLO" << 0x20 << "Hello";
        QTest::newRow("only the low byte counts") << "hELLO" << 0x7720 << "Hello";
        QTest::newRow("key 0 shows Value") << "Hello" << 0 << "Hello";
        QTest::newRow("key 1") << "Idmmn" << 1 << "Hello";
        QTest::newRow("key 0x100 is 0") << "Hello" << 0x100 << "Hello";
        QTest::newRow("negative key, low byte 0xFF") << QString(QChar(0xFF ^ 'A')) << -1 << "A";
        QTest::newRow("beyond Latin-1") << QString(QChar(0x0410 ^ 0x01)) << 1 << QString(QChar(0x0410));
        QTest::newRow("empty") << "" << 0x3A << "";
    }

    void scrambledLabelShowsValueUnderItsKey()
    {
        QFETCH(QString, value);
        QFETCH(int, key);
        QFETCH(QString, caption);

        TXLabel loaded;
        loaded.Load(value, key);
        QCOMPARE(loaded.text(), caption);
        QCOMPARE(loaded.Value(), value);
        QCOMPARE(loaded.XValue(), key);

        // Setting the key first and then the value gives the same.
        TXLabel set;
        set.SetXValue(key);
        set.SetValue(value);
        QCOMPARE(set.text(), caption);
        QCOMPARE(set.Value(), value);
    }

    void newKeyKeepsTheCaptionAndRescramblesValue()
    {
        TXLabel label;
        label.Load(QStringLiteral("hELLO"), 0x20);
        label.SetXValue(0x101);
        QCOMPARE(label.text(), QStringLiteral("Hello"));
        QCOMPARE(label.Value(), QStringLiteral("Idmmn"));
        QCOMPARE(label.XValue(), 0x101);
        QVERIFY(label.setProperty("XValue", 0));
        QCOMPARE(label.text(), QStringLiteral("Hello"));
        QCOMPARE(label.Value(), QStringLiteral("Hello"));
    }

    void settingTheCaptionStoresItScrambled()
    {
        TXLabel label;
        label.SetXValue(0x20);
        label.SetCaption(QStringLiteral("Hello"));
        QCOMPARE(label.text(), QStringLiteral("Hello"));
        QCOMPARE(label.Value(), QStringLiteral("hELLO"));

        // The language table sets the caption by name, as a property.
        SetComponentProperty(&label, QStringLiteral("Caption"), QStringLiteral("World"));
        QCOMPARE(label.text(), QStringLiteral("World"));
        QCOMPARE(label.Value(), QStringLiteral("wORLD"));

        QVERIFY(label.setProperty("Value", QStringLiteral("aBC")));
        QCOMPARE(label.text(), QStringLiteral("Abc"));
    }
};

QTEST_MAIN(TestSWUtils)
#include "tst_swutils.moc"
