// Window placement: the fitting arithmetic on its own, then real windows on
// the offscreen platform, whose screen and frame are measured at run time.

#include "platform/Registry.h"
#include "settings/ConfigUtils.h"
#include "settings/FormPlacement.h"
#include "support/TestEnvironment.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QtTest>

#include <memory>

namespace {

// Points HOME and the settings at a temporary folder before the application
// object starts; each test then gets a folder of its own.
const TestEnvironment ProcessEnvironment;

const QString LastKey = QStringLiteral("\\Software\\Tessavel\\Lexivane\\1.0\\Last");

QRect WorkArea()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

QRect ScreenArea()
{
    return QGuiApplication::primaryScreen()->geometry();
}

QMargins FrameOf(const QWidget &window)
{
    const QRect outer = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - outer.left(), client.top() - outer.top(), outer.right() - client.right(),
            outer.bottom() - client.bottom()};
}

QRect ToRect(const TFormBounds &bounds)
{
    return {bounds.Left, bounds.Top, bounds.Width, bounds.Height};
}

// Stored values of a placement; a null text is not stored.
struct StoredPlacement
{
    QString Left;
    QString Top;
    QString Width;
    QString Height;
};

StoredPlacement Numbers(int left, int top, int width, int height)
{
    return {QString::number(left), QString::number(top), QString::number(width), QString::number(height)};
}

} // namespace

Q_DECLARE_METATYPE(StoredPlacement)

class TestFormPlacement : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void fitFormPlacement_data();
    void fitFormPlacement();
    void saveFormPlacement_data();
    void saveFormPlacement();
    void restoreFormPlacement_data();
    void restoreFormPlacement();
    void centerForm_data();
    void centerForm();
    void firstRunCentresAtDesignSize();
    void saveThenRestoreRoundTrip();

private:
    // A shown window named Name whose outer bounds are Outer.
    std::unique_ptr<QWidget> showWindow(const QString &name, const QRect &outer) const;
    void store(const QString &name, const StoredPlacement &placement) const;
    QString storedText(const QString &name) const;

    std::unique_ptr<TestEnvironment> m_env;
    QMargins m_frame;
};

std::unique_ptr<QWidget> TestFormPlacement::showWindow(const QString &name, const QRect &outer) const
{
    auto window = std::make_unique<QWidget>();
    window->setObjectName(name);
    window->resize(200, 100);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return nullptr;
    window->move(outer.topLeft());
    window->resize(outer.width() - m_frame.left() - m_frame.right(), outer.height() - m_frame.top() - m_frame.bottom());
    return window;
}

void TestFormPlacement::store(const QString &name, const StoredPlacement &placement) const
{
    TRegistry registry(RegistryRoot::CurrentUser);
    QVERIFY(registry.OpenKey(LastKey, true));
    const QList<std::pair<const char *, QString>> values{
        {".Left", placement.Left}, {".Top", placement.Top}, {".Width", placement.Width}, {".Height", placement.Height}};
    for (const auto &[suffix, text] : values) {
        if (!text.isNull())
            registry.WriteString(name + QLatin1String(suffix), text);
    }
}

QString TestFormPlacement::storedText(const QString &name) const
{
    TRegistry registry(RegistryRoot::CurrentUser);
    if (!registry.OpenKeyReadOnly(LastKey) || !registry.ValueExists(name))
        return {};
    return registry.ReadString(name);
}

void TestFormPlacement::initTestCase()
{
    QVERIFY(QGuiApplication::primaryScreen());
    QWidget probe;
    probe.show();
    QVERIFY(QTest::qWaitForWindowExposed(&probe));
    m_frame = FrameOf(probe);
    qInfo() << "screen" << ScreenArea() << "work area" << WorkArea() << "frame" << m_frame;
}

void TestFormPlacement::init()
{
    m_env = std::make_unique<TestEnvironment>();
    AppIni().SetAppKey(LexivaneAppKey);
}

void TestFormPlacement::cleanup()
{
    AppIni().SetAppKey(QString());
    m_env.reset();
}

void TestFormPlacement::fitFormPlacement_data()
{
    QTest::addColumn<QRect>("stored");
    QTest::addColumn<QRect>("workArea");
    QTest::addColumn<QMargins>("frame");
    QTest::addColumn<QRect>("expected");

    const QRect screen(0, 0, 800, 600);
    const QMargins four(4, 4, 4, 4);
    const QMargins titled(4, 24, 4, 4);
    QTest::newRow("inside: unchanged") << QRect(100, 80, 300, 200) << screen << four << QRect(100, 80, 300, 200);
    QTest::newRow("left -500 restores -4") << QRect(-500, 80, 300, 200) << screen << four << QRect(-4, 80, 300, 200);
    QTest::newRow("top above the title bar") << QRect(100, -500, 300, 200) << screen << titled << QRect(100, -24, 300, 200);
    QTest::newRow("frame outside the work area") << QRect(-4, -24, 300, 200) << screen << titled << QRect(-4, -24, 300, 200);
    QTest::newRow("one pixel further out") << QRect(-5, -25, 300, 200) << screen << titled << QRect(-4, -24, 300, 200);
    QTest::newRow("too wide for the room") << QRect(300, 80, 600, 200) << screen << four << QRect(300, 80, 504, 200);
    QTest::newRow("exactly the room") << QRect(300, 80, 504, 200) << screen << four << QRect(300, 80, 504, 200);
    QTest::newRow("too high for the room") << QRect(100, 300, 300, 400) << screen << four << QRect(100, 300, 300, 304);
    QTest::newRow("pushed, then reduced") << QRect(-500, -500, 1000, 1000) << screen << titled
                                          << QRect(-4, -24, 808, 628);
    QTest::newRow("left at the right edge") << QRect(800, 0, 300, 200) << screen << four << QRect(800, 0, 100, 200);
    QTest::newRow("top beyond the bottom") << QRect(0, 700, 300, 200) << screen << four << QRect(0, 700, 300, 50);
    QTest::newRow("small sizes raised to the least") << QRect(10, 10, 60, 30) << screen << four << QRect(10, 10, 100, 50);
    QTest::newRow("no frame") << QRect(-10, -10, 900, 700) << screen << QMargins() << QRect(0, 0, 800, 600);
    QTest::newRow("uneven frame") << QRect(-50, -50, 2000, 2000) << screen << QMargins(2, 30, 3, 5)
                                  << QRect(-2, -30, 805, 635);
    QTest::newRow("second screen, inside") << QRect(2000, 100, 800, 600) << QRect(1920, 0, 1280, 1024) << four
                                           << QRect(2000, 100, 800, 600);
    QTest::newRow("second screen, too wide") << QRect(2000, 100, 1280, 600) << QRect(1920, 0, 1280, 1024) << four
                                             << QRect(2000, 100, 1204, 600);
    QTest::newRow("second screen, left of it") << QRect(0, 0, 800, 600) << QRect(1920, 0, 1280, 1024) << four
                                               << QRect(1916, 0, 800, 600);
    QTest::newRow("panels at left and top") << QRect(-500, -500, 900, 700) << QRect(100, 50, 700, 550) << four
                                            << QRect(96, 46, 708, 558);
}

void TestFormPlacement::fitFormPlacement()
{
    QFETCH(QRect, stored);
    QFETCH(QRect, workArea);
    QFETCH(QMargins, frame);
    QFETCH(QRect, expected);
    const TFormBounds bounds{stored.x(), stored.y(), stored.width(), stored.height()};
    QCOMPARE(ToRect(FitFormPlacement(bounds, workArea, frame)), expected);
}

void TestFormPlacement::saveFormPlacement_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("outer");
    const QRect work = WorkArea();
    QTest::newRow("main window") << "Form1" << QRect(work.x() + 30, work.y() + 40, 580, 420);
    QTest::newRow("edit dialog") << "Form2" << QRect(work.x() + 7, work.y() + 9, 500, 300);
    QTest::newRow("partly off the screen") << "Form1" << QRect(work.x() - 100, work.y() - 50, 321, 123);
}

void TestFormPlacement::saveFormPlacement()
{
    QFETCH(QString, name);
    QFETCH(QRect, outer);
    const std::unique_ptr<QWidget> window = showWindow(name, outer);
    QVERIFY(window);
    QCOMPARE(window->frameGeometry(), outer);

    SaveFormPlacement(*window);
    QCOMPARE(storedText(name + QStringLiteral(".Left")), QString::number(outer.x()));
    QCOMPARE(storedText(name + QStringLiteral(".Top")), QString::number(outer.y()));
    QCOMPARE(storedText(name + QStringLiteral(".Width")), QString::number(outer.width()));
    QCOMPARE(storedText(name + QStringLiteral(".Height")), QString::number(outer.height()));
    // Written in this order, as the only values of the section.
    const QString lines = QString::fromUtf8(ReadWholeFile(m_env->userDir() + QStringLiteral("/HKEY_CURRENT_USER.reg")));
    const QString expectedTail = QStringLiteral("\\Last]\n\"%1.Left\"=\"%2\"\n\"%1.Top\"=\"%3\"\n"
                                                "\"%1.Width\"=\"%4\"\n\"%1.Height\"=\"%5\"\n")
                                     .arg(name)
                                     .arg(outer.x())
                                     .arg(outer.y())
                                     .arg(outer.width())
                                     .arg(outer.height());
    QVERIFY2(lines.endsWith(expectedTail), qPrintable(lines));
}

void TestFormPlacement::restoreFormPlacement_data()
{
    QTest::addColumn<StoredPlacement>("stored");
    QTest::addColumn<QRect>("expected");

    // The window starts at Before; values not stored keep its bounds.
    const QRect work = WorkArea();
    const QRect before(work.x() + 20, work.y() + 30, 300, 200);
    const int right = work.x() + work.width();
    const int bottom = work.y() + work.height();
    const QMargins f = m_frame;

    QTest::newRow("nothing stored") << StoredPlacement{} << before;
    QTest::newRow("inside the work area") << Numbers(work.x() + 50, work.y() + 60, 320, 240)
                                          << QRect(work.x() + 50, work.y() + 60, 320, 240);
    QTest::newRow("left far off") << Numbers(work.x() - 500, work.y() + 60, 320, 240)
                                  << QRect(work.x() - f.left(), work.y() + 60, 320, 240);
    QTest::newRow("top far off") << Numbers(work.x() + 50, work.y() - 500, 320, 240)
                                 << QRect(work.x() + 50, work.y() - f.top(), 320, 240);
    QTest::newRow("wider than the room") << Numbers(work.x() + 100, work.y() + 60, work.width(), 240)
                                         << QRect(work.x() + 100, work.y() + 60, work.width() - 100 + f.right(), 240);
    QTest::newRow("higher than the room") << Numbers(work.x() + 50, work.y() + 100, 320, work.height())
                                          << QRect(work.x() + 50, work.y() + 100, 320, work.height() - 100 + f.bottom());
    QTest::newRow("beyond the right and bottom edges") << Numbers(right + 50, bottom + 50, 320, 240)
                                                       << QRect(right + 50, bottom + 50, MinRestoredWidth, MinRestoredHeight);
    QTest::newRow("hexadecimal width") << StoredPlacement{QString(), QString(), QStringLiteral("0x140"), QString()}
                                       << QRect(before.topLeft(), QSize(320, 200));
    QTest::newRow("only the width") << StoredPlacement{QString(), QString(), QStringLiteral("310"), QString()}
                                    << QRect(before.x(), before.y(), 310, 200);
    QTest::newRow("unreadable values keep the window's") << StoredPlacement{"abc", "", "wide", "0x"} << before;
}

void TestFormPlacement::restoreFormPlacement()
{
    QFETCH(StoredPlacement, stored);
    QFETCH(QRect, expected);
    const QRect work = WorkArea();
    const std::unique_ptr<QWidget> window = showWindow(QStringLiteral("Form1"), QRect(work.x() + 20, work.y() + 30, 300, 200));
    QVERIFY(window);
    store(QStringLiteral("Form1"), stored);
    store(QStringLiteral("Form2"), Numbers(1, 2, 3, 4)); // another window's record

    RestoreFormPlacement(*window);
    QCOMPARE(window->frameGeometry(), expected);
    QCOMPARE(window->geometry(), expected.marginsRemoved(m_frame));
}

void TestFormPlacement::centerForm_data()
{
    QTest::addColumn<QSize>("outer");
    QTest::addColumn<QPoint>("expected");
    const QRect screen = ScreenArea();
    const QPoint origin = screen.topLeft();
    QTest::newRow("even margins") << QSize(screen.width() - 200, screen.height() - 100) << origin + QPoint(100, 50);
    QTest::newRow("odd margins round down") << QSize(screen.width() - 201, screen.height() - 101) << origin + QPoint(100, 50);
    QTest::newRow("as wide as the screen") << QSize(screen.width(), screen.height()) << origin;
    // Halves of negative numbers round toward zero: -100.5 gives -100.
    QTest::newRow("larger than the screen") << QSize(screen.width() + 201, screen.height() + 101) << origin + QPoint(-100, -50);
}

void TestFormPlacement::centerForm()
{
    QFETCH(QSize, outer);
    QFETCH(QPoint, expected);
    const std::unique_ptr<QWidget> window = showWindow(QStringLiteral("Form2"), QRect(QPoint(3, 5), outer));
    QVERIFY(window);
    QCOMPARE(window->frameGeometry().size(), outer);
    CenterForm(*window);
    QCOMPARE(window->frameGeometry(), QRect(expected, outer));
}

void TestFormPlacement::firstRunCentresAtDesignSize()
{
    const std::unique_ptr<QWidget> window = showWindow(QStringLiteral("Form1"), QRect(0, 0, 580, 420));
    QVERIFY(window);
    CenterForm(*window);
    RestoreFormPlacement(*window);
    const QRect screen = ScreenArea();
    const QRect expected(screen.x() + (screen.width() - 580) / 2, screen.y() + (screen.height() - 420) / 2, 580, 420);
    QVERIFY(WorkArea().contains(expected)); // else the fit would change it
    QCOMPARE(window->frameGeometry(), expected);
    QCOMPARE(storedText(QStringLiteral("Form1.Left")), QString());
}

void TestFormPlacement::saveThenRestoreRoundTrip()
{
    const QRect work = WorkArea();
    const QRect saved(work.x() + 13, work.y() + 17, 333, 222);
    const std::unique_ptr<QWidget> window = showWindow(QStringLiteral("Form2"), saved);
    QVERIFY(window);
    SaveFormPlacement(*window);

    window->move(work.x() + 100, work.y() + 100);
    window->resize(150, 120);
    QVERIFY(window->frameGeometry() != saved);
    RestoreFormPlacement(*window);
    QCOMPARE(window->frameGeometry(), saved);
}

QTEST_MAIN(TestFormPlacement)
#include "tst_formplacement.moc"
