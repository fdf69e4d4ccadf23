// lexivane-buildsample: builds the sample message file from its listing.
//
//   lexivane-buildsample LISTING OUT        writes the message file OUT
//   lexivane-buildsample --check LISTING F  exits 0 when F is exactly the
//                                           file LISTING builds, 1 otherwise
//
// The listing's format is described at its top (interbase.listing).

#include "diagnostics/Exception.h"
#include "msgfile/MsgFile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <cstdio>

namespace {

class ListingError : public Exception
{
public:
    using Exception::Exception;
};

QByteArray Unescape(const QByteArray &text, int lineNumber)
{
    QByteArray result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            result.append(text[i]);
            continue;
        }
        const char next = i + 1 < text.size() ? text[++i] : '\0';
        switch (next) {
        case 'n': result.append('\n'); break;
        case 't': result.append('\t'); break;
        case '\\': result.append('\\'); break;
        default: throw ListingError(QStringLiteral("line %1: unknown escape \\%2").arg(lineNumber).arg(QLatin1Char(next)));
        }
    }
    return result;
}

QByteArray ParseHeader(const QByteArray &line, int lineNumber)
{
    const QList<QByteArray> bytes = line.mid(7).simplified().split(' ');
    QByteArray header;
    for (const QByteArray &byte : bytes) {
        bool ok = false;
        const uint value = byte.toUInt(&ok, 16);
        if (!ok || value > 0xFF)
            throw ListingError(QStringLiteral("line %1: bad header byte \"%2\"").arg(lineNumber).arg(QString::fromLatin1(byte)));
        header.append(char(value));
    }
    if (header.size() != TMsgData::HeaderSize)
        throw ListingError(QStringLiteral("line %1: the header needs 16 bytes").arg(lineNumber));
    return header;
}

TMsgData ReadListing(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw ListingError(QStringLiteral("cannot open %1").arg(fileName));
    TMsgData data;
    int lineNumber = 0;
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        ++lineNumber;
        if (line.endsWith('\n'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (line.startsWith("header ")) {
            data.SetHeader(ParseHeader(line, lineNumber));
            continue;
        }
        const qsizetype tab = line.indexOf('\t');
        bool ok = false;
        const uint code = tab == 8 ? line.left(8).toUInt(&ok, 16) : 0;
        if (!ok)
            throw ListingError(QStringLiteral("line %1: expected eight hexadecimal digits and a tab").arg(lineNumber));
        data.AddMessage(code, Unescape(line.mid(tab + 1), lineNumber));
    }
    return data;
}

QByteArray Build(const TMsgData &data)
{
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    WriteMsgData(buffer, data);
    return buffer.data();
}

int Run(const QStringList &arguments)
{
    if (arguments.size() == 3 && arguments.at(0) == QLatin1String("--check")) {
        QFile file(arguments.at(2));
        if (!file.open(QIODevice::ReadOnly))
            throw ListingError(QStringLiteral("cannot open %1").arg(arguments.at(2)));
        if (file.readAll() != Build(ReadListing(arguments.at(1)))) {
            std::fprintf(stderr, "%s is not the file its listing builds; rebuild it\n", qPrintable(arguments.at(2)));
            return 1;
        }
        return 0;
    }
    if (arguments.size() == 2) {
        SaveMsgData(arguments.at(1), ReadListing(arguments.at(0)));
        return 0;
    }
    std::fprintf(stderr, "usage: lexivane-buildsample LISTING OUT | --check LISTING FILE\n");
    return 64;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    try {
        return Run(arguments);
    } catch (const Exception &e) {
        std::fprintf(stderr, "lexivane-buildsample: %s\n", e.what());
        return 1;
    }
}
