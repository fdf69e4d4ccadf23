#include "msgtool/MsgTool.h"

#include "diagnostics/Exception.h"
#include "msgfile/FileUtils.h"
#include "msgfile/MsgFile.h"
#include "msgfile/MsgFileSave.h"
#include "msgfile/ServerLookup.h"
#include "settings/CodePageChoice.h"
#include "translation/ExchangeText.h"
#include "translation/Placeholders.h"
#include "translation/ReviewMarks.h"
#include "translation/TranslationExchange.h"
#include "translation/TranslationStatus.h"
#include "translation/TranslationUpdate.h"
#include "uitext/EnglishMsg.h"
#include "uitext/Format.h"
#include "uitext/LangUtils.h"
#include "uitext/MsgRes.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace MsgTool {
namespace {

// Every text the tool prints is a row of the current language table.
QString Text(const char *key, std::initializer_list<FormatArg> args = {})
{
    return Format(GetMsg(QString::fromLatin1(key)), args);
}

// The tool speaks English: that table is made current, and added first when
// no language of that name is there yet, so that running the tool again in
// the same process adds nothing.
void MakeEnglishCurrent()
{
    const QString name = QString::fromLatin1(EnglishLanguageEntry).section(QLatin1Char('='), 0, 0);
    const QStringList &languages = LanguageNames();
    const bool added = std::any_of(languages.begin(), languages.end(), [&name](const QString &entry) {
        return entry.section(QLatin1Char('='), 0, 0).compare(name, Qt::CaseInsensitive) == 0;
    });
    if (!added)
        AddLanguage(QString::fromLatin1(EnglishLanguageEntry), EnglishTable());
    LoadLanguageTable(name, CurrentKeys(), CurrentValues());
}

// A table text of several lines: a CR breaks the line.
QString Lines(const QString &text)
{
    QString lines = text;
    lines.replace(QChar(13), QLatin1Char('\n'));
    return lines;
}

// An exception's text on one line.
QString OneLine(const QString &text)
{
    QString line = text;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return line.simplified();
}

int Fail(QTextStream &err, int code, const QString &message)
{
    err << OneLine(Text("ToolError", {message})) << Qt::endl;
    return code;
}

// A failure concerning the file FileName.
int FailOn(QTextStream &err, int code, const QString &fileName, const QString &message)
{
    return Fail(err, code, Text("ToolFileError", {fileName, message}));
}

std::unique_ptr<TMsgData> Load(const QString &fileName, QTextStream &err)
{
    try {
        return LoadMsgData(fileName);
    } catch (const Exception &e) {
        FailOn(err, Unreadable, fileName, e.Message());
        return nullptr;
    }
}

int Dump(const QString &in, const QString &out, QTextStream &err)
{
    const auto data = Load(in, err);
    if (!data)
        return Unreadable;
    try {
        data->DumpToFile(out);
    } catch (const Exception &e) {
        return FailOn(err, WriteFailed, out, e.Message());
    }
    return Success;
}

int Resave(const QString &in, const QString &out, QTextStream &err)
{
    const auto data = Load(in, err);
    if (!data)
        return Unreadable;
    try {
        SaveMsgData(out, *data);
    } catch (const Exception &e) {
        return FailOn(err, WriteFailed, out, e.Message());
    }
    return Success;
}

QString DescribeNode(const TMsgIndexNode &node)
{
    return Text("CheckNode", {node.Offset, node.Level, node.Entries.size()});
}

// Where the file's index departs from the one the writer would make, or "".
QString IndexDifference(const TMsgLayout &read, const TMsgLayout &expected)
{
    if (read.IndexOffset != expected.IndexOffset)
        return Text("CheckRootOffset", {read.IndexOffset, expected.IndexOffset});
    if (read.Levels != expected.Levels)
        return Text("CheckLevels", {read.Levels, expected.Levels});
    if (read.Nodes.size() != expected.Nodes.size())
        return Text("CheckNodes", {read.Nodes.size(), expected.Nodes.size()});
    for (size_t n = 0; n < read.Nodes.size(); ++n) {
        const TMsgIndexNode &node = read.Nodes[n];
        const TMsgIndexNode &wanted = expected.Nodes[n];
        if (node.Offset != wanted.Offset || node.Level != wanted.Level || node.Entries.size() != wanted.Entries.size())
            return Text("CheckNodeDiffers", {DescribeNode(node), DescribeNode(wanted)});
        for (size_t i = 0; i < node.Entries.size(); ++i) {
            const TMsgIndexEntry &entry = node.Entries[i];
            const TMsgIndexEntry &wantedEntry = wanted.Entries[i];
            if (!(entry == wantedEntry))
                return Text("CheckEntryDiffers", {i, node.Offset, entry.Key, entry.Offset, wantedEntry.Key, wantedEntry.Offset});
        }
    }
    return {};
}

// The line on the codes' order: where they stop ascending, if they do.
QString OrderLine(const TMsgData &data, bool &ascending)
{
    ascending = false;
    for (int i = 1; i < data.Count(); ++i) {
        if (data.Codes(i) <= data.Codes(i - 1))
            return Text("CheckCodesOutOfOrder", {i, data.Codes(i), data.Codes(i - 1)});
    }
    ascending = true;
    return Text("CheckCodesAscending");
}

// The number of leaves: the entries of the nodes just above them.
qsizetype CountBuckets(const TMsgLayout &layout)
{
    qsizetype buckets = 0;
    for (const TMsgIndexNode &node : layout.Nodes) {
        if (node.Level == layout.Levels - 1)
            buckets += qsizetype(node.Entries.size());
    }
    return buckets;
}

// Sound: the codes ascend and the server finds every message; with Strict
// the index must also be exactly the writer's.
int Check(const QString &in, bool strict, QTextStream &out, QTextStream &err)
{
    QFile file(in);
    if (!file.open(QIODevice::ReadOnly))
        return FailOn(err, Unreadable, in, Text("ToolCannotOpen", {in}));
    const QByteArray bytes = file.readAll();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    TMsgLayout found;
    std::unique_ptr<TMsgData> data;
    try {
        data = ReadMsgData(buffer, &found);
    } catch (const Exception &e) {
        return FailOn(err, Unreadable, in, e.Message());
    }

    QString indexProblem;
    try {
        indexProblem = IndexDifference(found, ComputeMsgLayout(*data));
    } catch (const Exception &e) {
        indexProblem = e.Message();
    }
    bool ascending = false;
    const QString orderLine = OrderLine(*data, ascending);
    const TServerLookup lookup(bytes);
    QList<quint32> unreachable;
    for (int i = 0; i < data->Count(); ++i) {
        if (!lookup.Find(data->Codes(i)))
            unreachable.append(data->Codes(i));
    }

    out << Text("CheckSummary", {in, data->Count(), CountBuckets(found), found.Levels, bytes.size()}) << "\n";
    if (!HeaderGeometry(data->Header()).ServerHeader)
        out << Text("CheckNotServerHeader") << "\n";
    if (indexProblem.isEmpty())
        out << Text("CheckIndexAsWriter") << "\n";
    else
        out << Text(strict ? "CheckIndexDiffers" : "CheckIndexInformation", {indexProblem}) << "\n";
    out << orderLine << "\n";
    if (unreachable.isEmpty())
        out << Text("CheckLookupAll") << "\n";
    else
        out << Text("CheckLookupMissing", {unreachable.size()}) << "\n";
    for (quint32 code : unreachable)
        out << Text("CheckUnreachable", {code}) << "\n";
    const bool sound = ascending && unreachable.isEmpty() && (!strict || indexProblem.isEmpty());
    out << Text(sound ? "CheckSound" : "CheckNotSound") << Qt::endl;
    return sound ? Success : NotSound;
}

// The placeholder problems of FILE's translation against its original,
// one line each, then the counts; the originals paired by position.
int Lint(const QString &file, const QString &givenOriginal, QTextStream &out, QTextStream &err)
{
    const auto messages = Load(file, err);
    if (!messages)
        return Unreadable;
    QString originalName = givenOriginal;
    if (originalName.isEmpty()) {
        originalName = InitialBackupName(file);
        if (!FileExists(originalName))
            return FailOn(err, Unreadable, file, Text("LintNoInitialBackup", {originalName}));
    }
    const auto originals = Load(originalName, err);
    if (!originals)
        return Unreadable;
    if (originals->Count() != messages->Count())
        err << OneLine(Text("LintCountsDiffer", {file, messages->Count(), originalName, originals->Count()}))
            << Qt::endl;

    TTranslationStatus status;
    status.Recount(*messages, *originals);
    for (int index = 0; index < messages->Count(); ++index) {
        if (!status.HasProblem(index))
            continue;
        const QByteArrayView original = index < originals->Count() ? originals->TextView(index) : QByteArrayView();
        const QString problem = DescribePlaceholderProblem(FindPlaceholderProblem(original, messages->TextView(index)));
        out << Text("LintProblem", {messages->Codes(index), problem}) << "\n";
    }
    QString warning;
    const TReviewMarks marks = LoadReviewMarks(file, warning);
    if (!warning.isEmpty())
        err << OneLine(Text("ToolWarning", {warning})) << Qt::endl;
    out << Text("LintSummary", {status.Messages(), status.Translated(), status.Untranslated(), status.Problems(),
                                marks.CountIn(*messages)})
        << Qt::endl;
    return status.Problems() > 0 ? Problems : Success;
}

// --- The translation exchange: export, import, update ----------------------

// Removes "Name VALUE" from Arguments into Value; false when Name is the
// last argument (no value).
bool TakeOption(QStringList &arguments, const QString &name, QString &value)
{
    const qsizetype at = arguments.indexOf(name);
    if (at < 0)
        return true;
    if (at + 1 >= arguments.size())
        return false;
    value = arguments.at(at + 1);
    arguments.remove(at, 2);
    return true;
}

// The original store of FileName: OriginalName when given, else its initial
// backup, else (Fallback) a copy of Messages, which makes every message
// untranslated; null after reporting when it cannot be read (or, without
// Fallback, when there is none).
std::unique_ptr<TMsgData> LoadOriginals(const QString &fileName, const QString &originalName, const TMsgData &messages,
                                        bool fallback, QTextStream &err)
{
    if (!originalName.isEmpty())
        return Load(originalName, err);
    const QString backup = InitialBackupName(fileName);
    if (FileExists(backup))
        return Load(backup, err);
    if (fallback)
        return messages.Clone();
    FailOn(err, Unreadable, fileName, Text("UpdateNoOriginal", {fileName, backup}));
    return nullptr;
}

TReviewMarks LoadMarks(const QString &fileName, QTextStream &err)
{
    QString warning;
    TReviewMarks marks = LoadReviewMarks(fileName, warning);
    if (!warning.isEmpty())
        err << OneLine(Text("ToolWarning", {warning})) << Qt::endl;
    return marks;
}

int ExportTranslation(const QString &in, const QString &outName, const QString &originalName, QTextStream &out,
                      QTextStream &err)
{
    const std::optional<TExchangeFormat> format = ExchangeFormatOf(outName);
    if (!format)
        return Fail(err, Usage, Text("ExchangeUnknownFormat", {outName}));
    const auto messages = Load(in, err);
    if (!messages)
        return Unreadable;
    const auto originals = LoadOriginals(in, originalName, *messages, true, err);
    if (!originals)
        return Unreadable;
    const TReviewMarks marks = LoadMarks(in, err);
    const TTranslationEntries entries = ExportTranslations(*messages, *originals, marks);
    TExportInfo info;
    info.FileName = QFileInfo(in).fileName();
    info.RevisionDate = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd HH:mm+0000"));
    try {
        SaveTranslations(*format, outName, entries, info);
    } catch (const Exception &e) {
        return FailOn(err, WriteFailed, outName, e.Message());
    }
    const auto translated = std::count_if(entries.begin(), entries.end(),
                                          [](const TTranslationEntry &entry) { return !entry.Translation.isEmpty(); });
    const auto toReview = std::count_if(entries.begin(), entries.end(), [](const TTranslationEntry &entry) {
        return entry.State == TTranslationEntry::TState::NeedsReview;
    });
    out << Text("ExportSummary", {outName, messages->Count(), qint64(translated), qint64(toReview)}) << Qt::endl;
    return Success;
}

// Gives OutName an initial backup when it has none: a copy of FileName's
// original (its initial backup, else FileName as it is now), synced under a
// temporary name and then renamed. Returns the backup's name when it placed
// one, empty when OutName already had one.
QString PlaceInitialBackup(const QString &outName, const QString &fileName)
{
    const QString backup = InitialBackupName(outName);
    if (FileExists(backup))
        return QString();
    const QString fileBackup = InitialBackupName(fileName);
    const QString source = FileExists(fileBackup) ? fileBackup : fileName;
    const QString temp = CreateTempFile(GetFileDir(outName), QString::fromLatin1(SaveTempPrefix));
    try {
        CopyFileChecked(source, temp);
        RenameFileChecked(temp, backup);
    } catch (...) {
        DeleteFileQuiet(temp);
        throw;
    }
    return backup;
}

int ImportTranslation(const QString &in, const QString &translations, const QString &outName, bool fuzzy,
                      QTextStream &out, QTextStream &err)
{
    const std::optional<TExchangeFormat> format = ExchangeFormatOf(translations);
    if (!format)
        return Fail(err, Usage, Text("ExchangeUnknownFormat", {translations}));
    const auto messages = Load(in, err);
    if (!messages)
        return Unreadable;
    const auto originals = LoadOriginals(in, QString(), *messages, true, err);
    if (!originals)
        return Unreadable;
    TTranslationEntries entries;
    try {
        entries = LoadTranslations(*format, translations);
    } catch (const ETranslationFileError &e) {
        const QString where = e.Column() > 0 ? Text("ExchangeMalformedAt", {translations, e.Line(), e.Column(), e.Message()})
                                             : Text("ExchangeMalformedLine", {translations, e.Line(), e.Message()});
        return Fail(err, Unreadable, where);
    } catch (const Exception &e) {
        return FailOn(err, Unreadable, translations, e.Message());
    }
    TReviewMarks marks = LoadMarks(in, err);
    TImportOptions options;
    options.ApplyNeedsReview = fuzzy;
    const TImportReport report = ImportTranslations(entries, *messages, *originals, marks, options);
    marks.KeepOnly(*messages);
    // OUT without an initial backup gets FILE's original as one, so that what
    // was translated can still be told from OUT (its Original column, lint,
    // a later export or update). It is placed first, as OUT may be FILE.
    QString placedBackup;
    try {
        placedBackup = PlaceInitialBackup(outName, in);
        SaveMsgDataWithBackup(outName, *messages);
        SaveReviewMarks(outName, marks);
    } catch (const Exception &e) {
        if (!placedBackup.isEmpty())
            DeleteFileQuiet(placedBackup);
        return FailOn(err, WriteFailed, outName, e.Message());
    }
    for (const TImportNote &note : report.Notes)
        out << OneLine(Text("ImportNote", {translations, note.Line, CodeText(note.Code), DescribeImportNote(note)})) << "\n";
    out << Text("ImportSummary", {report.Applied, report.Unchanged, report.Skipped, report.Refused, report.Unknown})
        << Qt::endl;
    return report.Refused > 0 || report.Unknown > 0 ? WriteFailed : Success;
}

int UpdateTranslationFile(const QString &translatedName, const QString &newName, const QString &outName,
                          const QString &originalName, QTextStream &out, QTextStream &err)
{
    const auto translated = Load(translatedName, err);
    if (!translated)
        return Unreadable;
    const auto originals = LoadOriginals(translatedName, originalName, *translated, false, err);
    if (!originals)
        return Unreadable;
    const auto newMessages = Load(newName, err);
    if (!newMessages)
        return Unreadable;
    for (const QString &existing : {outName, InitialBackupName(outName)}) {
        if (FileExists(existing))
            return FailOn(err, WriteFailed, existing, Text("ToolOutputExists", {existing}));
    }
    const TReviewMarks marks = LoadMarks(translatedName, err);
    const TUpdateResult result = UpdateTranslation(*translated, *originals, marks, *newMessages);
    try {
        SaveUpdatedTranslation(outName, newName, result);
    } catch (const Exception &e) {
        return FailOn(err, WriteFailed, outName, e.Message());
    }
    out << Text("UpdateSummary", {result.Carried, result.NeedsReview, result.Untranslated, result.Dropped}) << Qt::endl;
    return Success;
}

} // namespace

int Run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    MakeEnglishCurrent();
    // The code pages the translator chose in the editor, so that a text
    // reads the same here (the environment variables still win).
    try {
        ApplyCodePageChoice(StoredCodePageChoice());
    } catch (const Exception &) {
        ApplyCodePageChoice({});
    }
    const QString command = arguments.value(0);
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        out << Lines(Text("ToolUsage")) << "\n";
        out.flush();
        return Success;
    }
    if (command == QLatin1String("--version")) {
        out << Text("ToolVersion", {LEXIVANE_VERSION}) << Qt::endl;
        return Success;
    }
    if (command == QLatin1String("dump") && arguments.size() == 3)
        return Dump(arguments.at(1), arguments.at(2), err);
    if (command == QLatin1String("resave") && arguments.size() == 3)
        return Resave(arguments.at(1), arguments.at(2), err);
    if (command == QLatin1String("check")) {
        QStringList files = arguments.mid(1);
        const bool strict = files.removeOne(QStringLiteral("--strict"));
        if (files.size() == 1)
            return Check(files.at(0), strict, out, err);
    }
    if (command == QLatin1String("lint") && (arguments.size() == 2 || arguments.size() == 3))
        return Lint(arguments.at(1), arguments.value(2), out, err);
    if (command == QLatin1String("export") || command == QLatin1String("update")) {
        QStringList files = arguments.mid(1);
        QString original;
        const bool given = TakeOption(files, QStringLiteral("--original"), original);
        if (given && command == QLatin1String("export") && files.size() == 2)
            return ExportTranslation(files.at(0), files.at(1), original, out, err);
        if (given && command == QLatin1String("update") && files.size() == 3)
            return UpdateTranslationFile(files.at(0), files.at(1), files.at(2), original, out, err);
    }
    if (command == QLatin1String("import")) {
        QStringList files = arguments.mid(1);
        const bool fuzzy = files.removeOne(QStringLiteral("--fuzzy"));
        if (files.size() == 3)
            return ImportTranslation(files.at(0), files.at(1), files.at(2), fuzzy, out, err);
    }
    if (command.isEmpty())
        return Fail(err, Usage, Text("ToolNoCommand"));
    return Fail(err, Usage, Text("ToolWrongUsage", {arguments.join(QLatin1Char(' '))}));
}

} // namespace MsgTool
