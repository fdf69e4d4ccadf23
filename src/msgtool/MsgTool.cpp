#include "msgtool/MsgTool.h"

#include "diagnostics/Exception.h"
#include "msgfile/MsgFile.h"
#include "msgfile/ServerLookup.h"

#include <QBuffer>
#include <QFile>

namespace MsgTool {
namespace {

const char UsageText[] =
    "Usage: lexivane-msg COMMAND ARGUMENTS\n"
    "Reads and writes the message files of the database server.\n"
    "\n"
    "Commands:\n"
    "  dump IN OUT     write one line per message of IN into OUT: the code as\n"
    "                  eight hexadecimal digits, a blank and the text\n"
    "  resave IN OUT   read IN and write it again into OUT\n"
    "  check IN        tell whether the index of IN is the one the writer makes,\n"
    "                  whether its codes ascend, and whether the server's lookup\n"
    "                  finds every message (each code it cannot find is listed)\n"
    "  --help          show this text\n"
    "  --version       show the version\n"
    "\n"
    "Exit status: 0 done (check: sound), 1 check found the file unsound or the\n"
    "output could not be written, 2 the input could not be read, 64 wrong usage.\n";

// An exception's text on one line.
QString OneLine(const QString &text)
{
    QString line = text;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return line.simplified();
}

int Fail(QTextStream &err, int code, const QString &message)
{
    err << "lexivane-msg: " << OneLine(message) << Qt::endl;
    return code;
}

std::unique_ptr<TMsgData> Load(const QString &fileName, QTextStream &err)
{
    try {
        return LoadMsgData(fileName);
    } catch (const Exception &e) {
        Fail(err, Unreadable, fileName + QStringLiteral(": ") + e.Message());
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
        return Fail(err, WriteFailed, out + QStringLiteral(": ") + e.Message());
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
        return Fail(err, WriteFailed, out + QStringLiteral(": ") + e.Message());
    }
    return Success;
}

QString Hex8(quint32 value)
{
    return QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
}

QString DescribeNode(const TMsgIndexNode &node)
{
    return QStringLiteral("the node at offset %1 (level %2, %3 entries)").arg(node.Offset).arg(node.Level).arg(node.Entries.size());
}

// Where the file's index departs from the one the writer would make, or "".
QString IndexDifference(const TMsgLayout &read, const TMsgLayout &expected)
{
    if (read.IndexOffset != expected.IndexOffset)
        return QStringLiteral("the root lies at offset %1, the writer puts it at %2").arg(read.IndexOffset).arg(expected.IndexOffset);
    if (read.Levels != expected.Levels)
        return QStringLiteral("the index has %1 levels, the writer makes %2").arg(read.Levels).arg(expected.Levels);
    if (read.Nodes.size() != expected.Nodes.size())
        return QStringLiteral("the index has %1 nodes, the writer makes %2").arg(read.Nodes.size()).arg(expected.Nodes.size());
    for (size_t n = 0; n < read.Nodes.size(); ++n) {
        const TMsgIndexNode &node = read.Nodes[n];
        const TMsgIndexNode &wanted = expected.Nodes[n];
        if (node.Offset != wanted.Offset || node.Level != wanted.Level || node.Entries.size() != wanted.Entries.size())
            return DescribeNode(node) + QStringLiteral(" is ") + DescribeNode(wanted) + QStringLiteral(" in the writer's index");
        for (size_t i = 0; i < node.Entries.size(); ++i) {
            const TMsgIndexEntry &entry = node.Entries[i];
            const TMsgIndexEntry &wantedEntry = wanted.Entries[i];
            if (!(entry == wantedEntry))
                return QStringLiteral("index entry %1 of the node at offset %2 is (key %3, offset %4), the writer makes (key %5, offset %6)")
                    .arg(i)
                    .arg(node.Offset)
                    .arg(Hex8(entry.Key))
                    .arg(entry.Offset)
                    .arg(Hex8(wantedEntry.Key))
                    .arg(wantedEntry.Offset);
        }
    }
    return {};
}

// Where the codes stop ascending, or "".
QString OrderDifference(const TMsgData &data)
{
    for (int i = 1; i < data.Count(); ++i) {
        if (data.Codes(i) <= data.Codes(i - 1))
            return QStringLiteral("message %1 has code %2 after %3").arg(i).arg(Hex8(data.Codes(i)), Hex8(data.Codes(i - 1)));
    }
    return {};
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

int Check(const QString &in, QTextStream &out, QTextStream &err)
{
    QFile file(in);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(err, Unreadable, in + QStringLiteral(": Cannot open file ") + in);
    const QByteArray bytes = file.readAll();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    TMsgLayout found;
    std::unique_ptr<TMsgData> data;
    try {
        data = ReadMsgData(buffer, &found);
    } catch (const Exception &e) {
        return Fail(err, Unreadable, in + QStringLiteral(": ") + e.Message());
    }

    QString indexProblem;
    try {
        indexProblem = IndexDifference(found, ComputeMsgLayout(*data));
    } catch (const Exception &e) {
        indexProblem = e.Message();
    }
    const QString orderProblem = OrderDifference(*data);
    const TServerLookup lookup(bytes);
    QList<quint32> unreachable;
    for (int i = 0; i < data->Count(); ++i) {
        if (!lookup.Find(data->Codes(i)))
            unreachable.append(data->Codes(i));
    }

    out << in << ": " << data->Count() << " messages, " << CountBuckets(found) << " buckets, " << found.Levels
        << " levels, " << bytes.size() << " bytes\n";
    if (!HeaderGeometry(data->Header()).ServerHeader)
        out << "header: not a server header; looked up as 1024-byte buckets, 2 levels\n";
    out << "index: " << (indexProblem.isEmpty() ? QStringLiteral("as the writer makes it") : indexProblem) << "\n";
    out << "codes: " << (orderProblem.isEmpty() ? QStringLiteral("ascending") : orderProblem) << "\n";
    if (unreachable.isEmpty())
        out << "lookup: the server finds every message\n";
    else
        out << "lookup: the server cannot find " << unreachable.size() << " messages\n";
    for (quint32 code : unreachable)
        out << "unreachable: " << Hex8(code) << "\n";
    const bool sound = indexProblem.isEmpty() && orderProblem.isEmpty() && unreachable.isEmpty();
    out << (sound ? "sound" : "not sound") << Qt::endl;
    return sound ? Success : NotSound;
}

} // namespace

int Run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const QString command = arguments.value(0);
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        out << UsageText;
        out.flush();
        return Success;
    }
    if (command == QLatin1String("--version")) {
        out << "lexivane-msg " << LEXIVANE_VERSION << Qt::endl;
        return Success;
    }
    if (command == QLatin1String("dump") && arguments.size() == 3)
        return Dump(arguments.at(1), arguments.at(2), err);
    if (command == QLatin1String("resave") && arguments.size() == 3)
        return Resave(arguments.at(1), arguments.at(2), err);
    if (command == QLatin1String("check") && arguments.size() == 2)
        return Check(arguments.at(1), out, err);
    if (command.isEmpty())
        return Fail(err, Usage, QStringLiteral("no command given; try lexivane-msg --help"));
    return Fail(err, Usage, QStringLiteral("wrong command line \"%1\"; try lexivane-msg --help").arg(arguments.join(QLatin1Char(' '))));
}

} // namespace MsgTool
