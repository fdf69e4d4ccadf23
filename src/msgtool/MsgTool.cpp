#include "msgtool/MsgTool.h"

#include "diagnostics/Exception.h"
#include "msgfile/MsgFile.h"

#include <QFileInfo>
#include <QtEndian>

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
    "  check IN        tell whether the index of IN is the one the writer makes\n"
    "                  and whether its codes ascend\n"
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

std::unique_ptr<TMsgData> Load(const QString &fileName, QTextStream &err, std::vector<TMsgIndexEntry> *index = nullptr)
{
    try {
        return LoadMsgData(fileName, index);
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

// Where the file's index departs from the one the writer would make, or "".
QString IndexDifference(const std::vector<TMsgIndexEntry> &read, const TMsgLayout &expected, qint32 indexOffset)
{
    if (indexOffset != expected.IndexOffset)
        return QStringLiteral("the index lies at offset %1, the writer puts it at %2").arg(indexOffset).arg(expected.IndexOffset);
    if (read.size() != expected.Index.size())
        return QStringLiteral("the index has %1 entries, the writer makes %2").arg(read.size()).arg(expected.Index.size());
    for (size_t i = 0; i < read.size(); ++i) {
        if (!(read[i] == expected.Index[i]))
            return QStringLiteral("index entry %1 is (key %2, offset %3), the writer makes (key %4, offset %5)")
                .arg(i)
                .arg(Hex8(read[i].Key))
                .arg(read[i].BucketOffset)
                .arg(Hex8(expected.Index[i].Key))
                .arg(expected.Index[i].BucketOffset);
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

int Check(const QString &in, QTextStream &out, QTextStream &err)
{
    std::vector<TMsgIndexEntry> index;
    const auto data = Load(in, err, &index);
    if (!data)
        return Unreadable;

    const qint32 indexOffset = qFromLittleEndian<qint32>(data->Header().constData() + 4);
    QString indexProblem;
    try {
        indexProblem = IndexDifference(index, ComputeMsgLayout(*data), indexOffset);
    } catch (const Exception &e) {
        indexProblem = e.Message();
    }
    const QString orderProblem = OrderDifference(*data);

    out << in << ": " << data->Count() << " messages, " << index.size() << " buckets, " << QFileInfo(in).size()
        << " bytes\n";
    out << "index: " << (indexProblem.isEmpty() ? QStringLiteral("as the writer makes it") : indexProblem) << "\n";
    out << "codes: " << (orderProblem.isEmpty() ? QStringLiteral("ascending") : orderProblem) << "\n";
    const bool sound = indexProblem.isEmpty() && orderProblem.isEmpty();
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
