// lexivane-findbench: times find and go to over large generated files, the
// worst case of each: the text looked for is only in the last message, and
// the code gone to is the last one.
//
//   lexivane-findbench [--messages N] [--runs R] [--dir DIR]
//
// Prints, as the best of R runs, for two files: one whose texts nearly all
// hold tabs and line feeds (each byte one in 20), and one of single-line
// texts with a line feed in every tenth: a search from the first row in the
// Text column and in the Original column, with an ASCII find text typed in
// another case and with a find text holding letters beyond ASCII; a search
// that finds nothing. Then the lookup of the last code alone (IndexOfCode)
// and the whole go-to command answered by a script.

#include "BenchSupport.h"
#include "dialogs/DialogEntryPoints.h"
#include "editor/EditSession.h"
#include "editor/MessageSearch.h"
#include "msgfile/MsgFile.h"
#include "platform/CodePages.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

quint32 CodeOf(int index)
{
    return quint32((index / 5000) * 10000 + index % 5000 + 1);
}

enum class TLayout { Dense, Plain };

// Messages with texts of 0 to 140 printable ASCII bytes, codes ascending as a
// server numbers them; the last message holds LastText. Dense: any byte may
// be a tab or a line feed; Plain: every tenth text has one line feed.
TMsgData Generate(int count, const QByteArray &lastText, TLayout layout)
{
    QRandomGenerator random(20261207);
    TMsgData data;
    data.SetHeader(QByteArray::fromHex("01000004000000000000000002000000"));
    QByteArray text;
    for (int i = 0; i + 1 < count; ++i) {
        const int length = int(random.bounded(141));
        text.resize(length);
        for (int j = 0; j < length; ++j) {
            const quint32 kind = layout == TLayout::Dense ? random.bounded(40) : 2;
            text[j] = kind == 0 ? '\t' : kind == 1 ? '\n' : char(' ' + random.bounded(95));
        }
        if (layout == TLayout::Plain && i % 10 == 0 && length > 0)
            text[length / 2] = '\n';
        data.AddMessage(CodeOf(i), text);
    }
    data.AddMessage(CodeOf(count - 1), lastText);
    return data;
}

class TBenchView : public TSessionView
{
public:
    void RefreshGrid() override {}
    void RepaintMessage(int) override {}
    void UpdateCommands() override {}
};

// Answers the go-to question with one code.
class TAnswerPresenter : public TDialogPresenter
{
public:
    QString Answer;

    bool EditText(QByteArray &, const QByteArray &, bool &, const std::optional<QByteArray> &) override
    {
        return false;
    }
    bool SelectMessageFile(QString &) override { return false; }
    bool ExecuteFontSetup() override { return false; }
    bool EnterString(const QString &, const QString &, QString &text, const QString &, bool) override
    {
        text = Answer;
        return true;
    }
    void ShowAboutBox() override {}
};

void Report(const char *what, double milliseconds)
{
    std::printf("%-48s %9.1f ms\n", what, milliseconds);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const TBenchOptions options = ParseBenchOptions(arguments, 3);
    const int count = options.Messages;
    const int runs = options.Runs;

    // A fixed ANSI code page, so that the last text's letters beyond ASCII
    // can be stored whatever the locale.
    SetCodePages(QStringLiteral("windows-1252"), QStringLiteral("IBM437"));
    QByteArray lastText;
    if (!UnicodeToAnsi(QStringLiteral("The needle in the Haystack, \u00C9T\u00C9 \u00E0 l'\u00C9COLE"), lastText))
        qFatal("cannot store the last text");

    QTemporaryDir temporary(BenchTempTemplate(options, QStringLiteral("lexivane-findbench")));
    if (!temporary.isValid())
        qFatal("cannot make a temporary folder");
    std::printf("%d messages, best of %d runs\n", count, runs);

    TBenchView view;
    TEditSession session(view);
    // From the first message: the only match is the last one, or none.
    const auto timeSearch = [&](const char *what, bool inOriginal, const QString &findText, int expected) {
        int found = -1;
        const double time = BestOf(runs, [&] { found = MessageSearch::FindMessage(session, 0, inOriginal, findText); });
        if (found != expected)
            qFatal("%s: found message %d, not %d", what, found, expected);
        Report(what, time);
    };
    const struct
    {
        TLayout Layout;
        const char *Name;
        const char *Title;
    } files[] = {
        {TLayout::Dense, "dense.msg", "texts with tabs and line feeds in nearly every one"},
        {TLayout::Plain, "plain.msg", "single-line texts, a line feed in every tenth"},
    };
    for (const auto &file : files) {
        const QString msgFile = temporary.filePath(QString::fromLatin1(file.Name));
        SaveMsgData(msgFile, Generate(count, lastText, file.Layout));
        if (!session.OpenDocument(msgFile))
            qFatal("cannot open %s", qPrintable(msgFile));
        std::printf("%s (%lld bytes):\n", file.Title, QFileInfo(msgFile).size());
        timeSearch("  find, Text column, ASCII, other case", false, QStringLiteral("NEEDLE IN THE HAYSTACK"),
                   count - 1);
        timeSearch("  find, Original column, ASCII, other case", true, QStringLiteral("needle in the haystack"),
                   count - 1);
        timeSearch("  find, Text column, letters beyond ASCII", false,
                   QStringLiteral("\u00E9t\u00E9 \u00C0 L'\u00E9cole"), count - 1);
        timeSearch("  find, nothing found", false, QStringLiteral("no such needle, anywhere"), -1);
    }

    const quint32 lastCode = CodeOf(count - 1);
    int index = -1;
    const double lookup = BestOf(runs, [&] { index = session.Messages()->IndexOfCode(lastCode); });
    if (index != count - 1)
        qFatal("IndexOfCode found %d, not %d", index, count - 1);
    Report("go to the last code: IndexOfCode", lookup);

    TAnswerPresenter presenter;
    presenter.Answer = QStringLiteral(" %1 ").arg(lastCode, 0, 16);
    TDialogPresenter *previous = SetDialogPresenter(&presenter);
    int found = -1;
    const double goTo = BestOf(runs, [&] { found = MessageSearch::GoToMessage(session); });
    SetDialogPresenter(previous);
    if (found != count - 1)
        qFatal("go to went to message %d, not %d", found, count - 1);
    Report("go to the last code: the whole command", goTo);
    return 0;
}
