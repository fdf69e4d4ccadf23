#include "uitext/LangUtils.h"

namespace {

// The position of the first key equal to Key ignoring case, or -1.
qsizetype IndexOfKey(const QStringList &keys, const QString &key)
{
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (QString::compare(keys.at(i), key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString &Title()
{
    static QString title;
    return title;
}

} // namespace

QStringList &CurrentKeys()
{
    static QStringList keys;
    return keys;
}

QStringList &CurrentValues()
{
    static QStringList values;
    return values;
}

QStringList &LanguageNames()
{
    static QStringList names;
    return names;
}

QStringList &LanguageTables()
{
    static QStringList tables;
    return tables;
}

void AddLanguage(const QString &entry, const QString &table)
{
    LanguageNames().append(entry);
    LanguageTables().append(table);
}

void LoadLanguageTable(const QString &name, QStringList &keys, QStringList &values)
{
    QStringList languages;
    for (const QString &entry : LanguageNames())
        languages.append(entry.section(QLatin1Char('='), 0, 0));
    const qsizetype language = IndexOfKey(languages, name);
    if (language < 0)
        return;

    keys.clear();
    values.clear();
    const QString &table = LanguageTables().at(language);
    qsizetype start = 0;
    while (start < table.size()) {
        qsizetype end = table.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = table.size();
        QStringView row = QStringView(table).mid(start, end - start);
        start = end + 1;
        if (row.endsWith(QChar(13)))
            row.chop(1);
        const qsizetype equals = row.indexOf(QLatin1Char('='));
        if (equals < 0)
            continue;
        keys.append(row.left(equals).toString());
        values.append(row.mid(equals + 1).toString());
    }
}

QString FindTranslation(const QString &key)
{
    const qsizetype row = IndexOfKey(CurrentKeys(), key);
    if (row < 0 || row >= CurrentValues().size())
        return key;
    return CurrentValues().at(row);
}

QString ApplicationTitle()
{
    return Title();
}

void SetApplicationTitle(const QString &title)
{
    Title() = title;
}
