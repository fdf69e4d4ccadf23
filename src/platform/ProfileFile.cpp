#include "platform/ProfileFile.h"

#include "platform/PlatformPaths.h"

#include <QFile>
#include <optional>

namespace {

// A buffer of Size characters holds Size - 1 and the terminating NUL.
QString FitToBuffer(const QString &text, int size)
{
    return size <= 0 ? QString() : text.left(size - 1);
}

// One pair of matching quotes around the whole value goes.
QString Unquoted(const QString &value)
{
    if (value.size() < 2)
        return value;
    const QChar first = value.front();
    if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first)
        return value.mid(1, value.size() - 2);
    return value;
}

QString SectionName(const QString &headerLine)
{
    const QString afterBracket = headerLine.mid(1);
    const qsizetype close = afterBracket.indexOf(QLatin1Char(']'));
    return (close < 0 ? afterBracket : afterBracket.left(close)).trimmed();
}

// Only the first section of the name is searched, and the first entry of the
// key in it is taken, as Windows does.
std::optional<QString> FindEntry(const QString &text, const QString &section, const QString &key)
{
    const QString wantedSection = section.trimmed();
    const QString wantedKey = key.trimmed();
    bool inSection = false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString &rawLine : lines) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            if (inSection)
                return std::nullopt;
            inSection = SectionName(line).compare(wantedSection, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals >= 0 && line.left(equals).trimmed().compare(wantedKey, Qt::CaseInsensitive) == 0)
            return Unquoted(line.mid(equals + 1).trimmed());
    }
    return std::nullopt;
}

std::optional<QString> ReadProfileFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    return QString::fromUtf8(bytes);
}

// Windows drops trailing blanks from the default.
QString WithoutTrailingBlanks(QString text)
{
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

} // namespace

QString GetPrivateProfileString(const QString &section, const QString &key, const QString &defaultValue,
                                int size, const QString &fileName)
{
    const std::optional<QString> text = ReadProfileFile(fileName);
    const std::optional<QString> value = text ? FindEntry(*text, section, key) : std::nullopt;
    return FitToBuffer(value ? *value : WithoutTrailingBlanks(defaultValue), size);
}

QString GetProfileString(const QString &section, const QString &key, const QString &defaultValue, int size)
{
    return GetPrivateProfileString(section, key, defaultValue, size, WinIniFileName());
}

QString WinIniFileName()
{
    return SystemConfigDir() + QStringLiteral("/WIN.INI");
}
