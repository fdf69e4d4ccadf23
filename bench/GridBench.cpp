// lexivane-gridbench: times the message grid over a large generated file, to
// show that what the grid costs does not grow with the number of messages.
//
//   lexivane-gridbench [--messages N] [--runs R] [--dir DIR]
//
// Prints, as the best of R runs: opening the file in a session alone, and
// with the grid set up and the first screen painted; Home and End with the
// last screen painted; moving the thumb; the change marking of a full screen
// (whether each visible row differs from its original, and the paint).

#include "BenchSupport.h"
#include "editor/EditSession.h"
#include "editor/MessageGrid.h"
#include "msgfile/MsgFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPixmap>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

// Messages with texts of 0 to 140 bytes, some with tabs and line feeds, codes
// ascending as a server numbers them.
TMsgData Generate(int count)
{
    QRandomGenerator random(20261207);
    TMsgData data;
    data.SetHeader(QByteArray::fromHex("01000004000000000000000002000000"));
    QByteArray text;
    for (int i = 0; i < count; ++i) {
        const int length = int(random.bounded(141));
        text.resize(length);
        for (int j = 0; j < length; ++j) {
            const quint32 kind = random.bounded(40);
            text[j] = kind == 0 ? '\t' : kind == 1 ? '\n' : char(' ' + random.bounded(95));
        }
        data.AddMessage(quint32((i / 5000) * 10000 + i % 5000 + 1), text);
    }
    return data;
}

// The window as far as the session sees it.
class TBenchWindow : public TSessionView
{
public:
    TMessageGrid *Grid = nullptr;

    void RefreshGrid() override
    {
        if (Grid != nullptr)
            Grid->RefreshGrid();
    }
    void RepaintMessage(int index) override
    {
        if (Grid != nullptr)
            Grid->RepaintMessage(index);
    }
    void UpdateCommands() override {}
};

// A session with its grid on the screen.
struct TGridSetup
{
    TBenchWindow Window;
    TEditSession Session{Window};
    std::unique_ptr<TMessageGrid> Grid;

    bool Open(const QString &fileName)
    {
        Grid = std::make_unique<TMessageGrid>(Session);
        Window.Grid = Grid.get();
        Grid->resize(1000, 700);
        Grid->show();
        if (!Session.OpenDocument(fileName))
            return false;
        Paint();
        return true;
    }

    void Paint() { Grid->grab(); }

    void Key(Qt::Key key)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(Grid.get(), &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QCoreApplication::sendEvent(Grid.get(), &release);
    }

    // Whether each row on the screen differs from its original, as the
    // painting of its text cell asks, then the paint itself.
    int MarkScreen()
    {
        const int first = Grid->rowAt(0);
        int last = Grid->rowAt(Grid->viewport()->height() - 1);
        if (last < 0)
            last = Grid->model()->rowCount() - 1;
        int changed = 0;
        for (int row = first; row <= last; ++row)
            changed += Session.IsChanged(row) ? 1 : 0;
        Paint();
        return changed;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const TBenchOptions options = ParseBenchOptions(arguments, 3);
    const int count = options.Messages;
    const int runs = options.Runs;
    QTemporaryDir temporary(BenchTempTemplate(options, QStringLiteral("lexivane-gridbench")));
    if (!temporary.isValid())
        qFatal("cannot make a temporary folder");
    const QString msgFile = temporary.filePath(QStringLiteral("bench.msg"));
    SaveMsgData(msgFile, Generate(count));
    std::printf("%d messages, %lld bytes, best of %d runs\n", count, QFileInfo(msgFile).size(), runs);

    // The same load with no grid behind the session: the difference is
    // what the grid adds.
    const double loadAlone = BestOf(runs, [&] {
        TBenchWindow window;
        TEditSession session(window);
        if (!session.OpenDocument(msgFile))
            qFatal("cannot open %s", qPrintable(msgFile));
    });
    std::printf("%-40s %9.1f ms\n", "load alone (no grid)", loadAlone);

    const double open = BestOf(runs, [&] {
        TGridSetup setup;
        if (!setup.Open(msgFile))
            qFatal("cannot open %s", qPrintable(msgFile));
    });
    std::printf("%-40s %9.1f ms\n", "load + grid + first screen", open);

    TGridSetup setup;
    if (!setup.Open(msgFile))
        qFatal("cannot open %s", qPrintable(msgFile));
    if (setup.Grid->RowCount() != count + 1)
        qFatal("the grid shows %d rows, not %d", setup.Grid->RowCount() - 1, count);

    const double end = BestOf(runs, [&] {
        setup.Key(Qt::Key_Home);
        setup.Key(Qt::Key_End);
        setup.Paint();
    });
    if (setup.Grid->CurrentMessage() != count - 1)
        qFatal("End went to message %d, not %d", setup.Grid->CurrentMessage(), count - 1);
    std::printf("%-40s %9.1f ms\n", "Home + End + paint", end);

    const double middle = BestOf(runs, [&] {
        QScrollBar *bar = setup.Grid->verticalScrollBar();
        bar->setValue(bar->value() == bar->maximum() / 2 ? bar->maximum() / 3 : bar->maximum() / 2);
        setup.Paint();
    });
    std::printf("%-40s %9.1f ms\n", "thumb to the middle + paint", middle);

    int changed = 0;
    const double marking = BestOf(runs, [&] { changed = setup.MarkScreen(); });
    std::printf("%-40s %9.1f ms   (%d of the rows changed)\n", "change marking of a screen + paint", marking,
                changed);
    return 0;
}
