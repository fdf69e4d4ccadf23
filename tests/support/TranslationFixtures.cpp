#include "support/TranslationFixtures.h"

#include "msgfile/FileUtils.h"
#include "msgfile/MsgFile.h"

#include <QLibraryInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

QByteArray Bytes(int from, int to)
{
    QByteArray bytes;
    for (int b = from; b <= to; ++b)
        bytes += char(b);
    return bytes;
}

} // namespace

TTranslationFixture MakeTranslation(const QList<quint32> &codes, const QList<QByteArray> &originals,
                                    const QList<QByteArray> &texts)
{
    TTranslationFixture fixture;
    const QByteArray header = QByteArray::fromHex("01000004000000000000000002000000");
    fixture.Originals.SetHeader(header);
    fixture.Messages.SetHeader(header);
    for (qsizetype i = 0; i < codes.size(); ++i) {
        fixture.Originals.AddMessage(codes.at(i), originals.at(i));
        fixture.Messages.AddMessage(codes.at(i), texts.at(i));
    }
    return fixture;
}

TTranslationFixture HardTranslation()
{
    TTranslationFixture fixture = MakeTranslation(
        {0, 1, 2, 0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0xFFFFFFFF},
        {"", Bytes(0x00, 0x7F), Bytes(0x80, 0xFF), "Line one\nline two\n",
         "\"Quoted\", with commas, and a \\ backslash", "", "Untranslated %s", "Review @1 now", "\n",
         QByteArray(300, 'x'), "Tabs\tand\r\nCR LF", "  blanks at either end  "},
        {"", Bytes(0x80, 0xFF), Bytes(0x00, 0x7F), "Zeile eins\nZeile zwei\n",
         "\xAB" "Zitat\xBB, mit Kommas, und ein \\ R\xFC" "ckstrich \"", "No longer empty", "Untranslated %s",
         "Pr\xFC" "fe @1 jetzt", "\n\n", QByteArray(300, 'x'), "a lone \r CR", "\r\n CR LF at the start"});
    fixture.Marks.Mark(0x14, "Review @1");
    return fixture;
}

TTranslationFixture ConsistentTranslation()
{
    TTranslationFixture fixture = MakeTranslation(
        {0x14000001, 0x14000002, 0x14000003, 0x14000004, 0x14000005, 0x14000006, 0x14000007, 0x14000008, 0x14000009},
        {"Table %s not found", "Line one\nline two", "Say \"hello\", then go", "Untranslated", "Review @1", "",
         "%d of %d rows", "Ends with a line feed\n", "Accented: caf\xE9"},
        {"Tabelle %s nicht gefunden", "Zeile eins\nZeile zwei", "Sag \"hallo\", dann geh", "Untranslated",
         "Pr\xFC" "fe @1", "", "%d von %d Zeilen", "Endet mit einem Zeilenvorschub\n", "Akzent: Caf\xE9"});
    fixture.Marks.Mark(0x14000005, "Old @1");
    return fixture;
}

void SaveTranslationFiles(const TTranslationFixture &fixture, const QString &fileName)
{
    SaveMsgData(fileName, fixture.Messages);
    SaveMsgData(InitialBackupName(fileName), fixture.Originals);
    SaveReviewMarks(fileName, fixture.Marks);
}

QString FindExternalTool(const QString &program, const QString &package, QString &problem)
{
    QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        path = QStandardPaths::findExecutable(program, {QLibraryInfo::path(QLibraryInfo::BinariesPath),
                                                        QStringLiteral("/usr/lib/qt6/bin")});
    if (path.isEmpty())
        problem = QStringLiteral("%1 is not installed: tools/install-deps installs it (Debian package %2)")
                      .arg(program, package);
    return path;
}

int RunExternalTool(const QString &program, const QStringList &arguments, QString &output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
        output = process.errorString();
        return -1;
    }
    output = QString::fromUtf8(process.readAll());
    return process.exitCode();
}
