// lexivane-viewbench: times the translator's view over a large generated
// translation with its initial backup, to show what the counts, the filters
// and the walk to the next unfinished message cost.
//
//   lexivane-viewbench [--messages N] [--runs R] [--dir DIR]
//
// Prints, as the best of R runs: loading the file and its initial backup,
// and the first count pass over them (with its share of the load); each
// filter chosen with the first screen painted; Ctrl+J when the only message
// left to do is the last; and one edit's count update, in a file of N
// messages and in one of a thousand.

#include "BenchSupport.h"
#include "editor/EditSession.h"
#include "editor/MessageGrid.h"
#include "msgfile/FileUtils.h"
#include "msgfile/MsgFile.h"
#include "translation/MessageFilter.h"
#include "translation/TranslationStatus.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// Originals of 20 to 100 bytes, every tenth with placeholders; the
// translation is each text with "T: " before it, with Problems a dropped
// "@2" in every thousandth, and the last message left untranslated.
void Generate(int count, bool problems, TMsgData &originals, TMsgData &translation)
{
    for (TMsgData *data : {&originals, &translation})
        data->SetHeader(QByteArray::fromHex("01000004000000000000000002000000"));
    QByteArray text;
    for (int i = 0; i < count; ++i) {
        text = QByteArray("message number ") + QByteArray::number(i) + ' ';
        text += QByteArray(20 + (i * 7) % 60, char('a' + i % 26));
        if (i % 10 == 0)
            text += " %s at @1 and @2";
        const quint32 code = quint32((i / 5000) * 10000 + i % 5000 + 1);
        originals.AddMessage(code, text);
        QByteArray translated = "T: " + text;
        if (problems && i % 1000 == 0)
            translated.replace("@2", "");
        translation.AddMessage(code, i == count - 1 ? text : translated);
    }
}

class TQuietWindow : public TSessionView
{
public:
    TMessageGrid *Grid = nullptr;
    void RefreshGrid() override
    {
        if (Grid)
            Grid->RefreshGrid();
    }
    void RepaintMessage(int index) override
    {
        if (Grid)
            Grid->RepaintMessage(index);
    }
    void UpdateCommands() override {}
};

// One count update of message Index, many times: the cost of one, in
// microseconds.
double UpdateCost(int runs, TTranslationStatus &status, const TMsgData &messages, const TMsgData &originals)
{
    constexpr int Updates = 100000;
    const double total = BestOf(runs, [&] {
        for (int n = 0; n < Updates; ++n)
            status.Update((n * 7919) % messages.Count(), messages, originals);
    });
    return total * 1000.0 / Updates;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    const TBenchOptions options = ParseBenchOptions(QCoreApplication::arguments(), 3);
    const int count = options.Messages;
    const int runs = options.Runs;
    QTemporaryDir temporary(BenchTempTemplate(options, QStringLiteral("lexivane-viewbench")));
    if (!temporary.isValid())
        qFatal("cannot make a temporary folder");
    const QString file = temporary.filePath(QStringLiteral("bench.msg"));
    const QString onlyLast = temporary.filePath(QStringLiteral("onlylast.msg"));
    int problems = 0;
    for (const bool withProblems : {true, false}) {
        TMsgData originals;
        TMsgData translation;
        Generate(count, withProblems, originals, translation);
        const QString name = withProblems ? file : onlyLast;
        SaveMsgData(name, translation);
        SaveMsgData(InitialBackupName(name), originals);
    }
    for (int i = 0; i < count - 1; i += 1000)
        problems += i % 10 == 0 ? 1 : 0;
    std::printf("%d messages, %lld + %lld bytes, best of %d runs\n", count, QFileInfo(file).size(),
                QFileInfo(InitialBackupName(file)).size(), runs);

    std::unique_ptr<TMsgData> messages;
    std::unique_ptr<TMsgData> originals;
    const double load = BestOf(runs, [&] {
        messages = LoadMsgData(file);
        originals = LoadMsgData(InitialBackupName(file));
    });
    TTranslationStatus status;
    const double pass = BestOf(runs, [&] { status.Recount(*messages, *originals); });
    if (status.Untranslated() != 1 || status.Problems() != problems)
        qFatal("the pass counted %d untranslated, %d problems", status.Untranslated(), status.Problems());
    std::printf("%-44s %9.1f ms\n", "load of the file and its initial backup", load);
    std::printf("%-44s %9.1f ms (%.0f%% of the load)\n", "first count pass", pass, 100.0 * pass / load);

    TQuietWindow window;
    TEditSession session(window);
    TMessageGrid grid(session);
    window.Grid = &grid;
    grid.resize(1000, 700);
    grid.show();
    if (!session.OpenDocument(file))
        qFatal("cannot open %s", qPrintable(file));
    grid.grab();
    const struct
    {
        const char *Name;
        TMessageFilter Filter;
    } filters[] = {
        {"show placeholder problems + paint", TMessageFilter::Problems},
        {"show untranslated + paint", TMessageFilter::Untranslated},
        {"show translated + paint", TMessageFilter::Translated},
        {"show all + paint", TMessageFilter::All},
    };
    for (const auto &filter : filters) {
        // From all messages to the filter; the time of the switch alone.
        double best = -1;
        for (int run = 0; run < runs; ++run) {
            grid.SetFilter(filter.Filter == TMessageFilter::All ? TMessageFilter::Untranslated : TMessageFilter::All);
            QElapsedTimer clock;
            clock.start();
            grid.SetFilter(filter.Filter);
            grid.grab();
            const double time = clock.nsecsElapsed() / 1e6;
            best = best < 0 ? time : qMin(best, time);
        }
        std::printf("%-44s %9.1f ms\n", filter.Name, best);
    }

    // Ctrl+J from the first message when the only one left to do is the
    // last: the walk passes every message in between.
    if (!session.OpenDocument(onlyLast))
        qFatal("cannot open %s", qPrintable(onlyLast));
    grid.SetFilter(TMessageFilter::All);
    int found = -1;
    const double next = BestOf(runs, [&] {
        grid.SetCurrentMessage(0);
        found = grid.Shown().NextUnfinished(session.Status(), grid.CurrentMessage(), true);
        grid.SetCurrentMessage(found);
        grid.grab();
    });
    if (found != count - 1)
        qFatal("Ctrl+J went to %d, not %d", found, count - 1);
    std::printf("%-44s %9.1f ms\n", "Ctrl+J from the first to the last + paint", next);

    // One edit's count update, here and in a small file.
    const double big = UpdateCost(runs, status, *messages, *originals);
    TMsgData smallOriginals;
    TMsgData smallTranslation;
    Generate(1000, true, smallOriginals, smallTranslation);
    TTranslationStatus smallStatus;
    smallStatus.Recount(smallTranslation, smallOriginals);
    const double small = UpdateCost(runs, smallStatus, smallTranslation, smallOriginals);
    std::printf("%-44s %9.3f us (%d messages), %.3f us (1000 messages)\n", "one edit's count update", big, count,
                small);
    return 0;
}
