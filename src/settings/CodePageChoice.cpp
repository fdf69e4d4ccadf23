#include "settings/CodePageChoice.h"

#include "settings/ConfigUtils.h"

namespace {

const QString CodePageIdent = QStringLiteral("CodePage");
const QChar Separator = QLatin1Char(',');

} // namespace

const QList<TCodePageChoice> &CodePageChoices()
{
    static const QList<TCodePageChoice> choices = {
        {QStringLiteral("CodePageWestern"), {QStringLiteral("windows-1252"), QStringLiteral("IBM437")}},
        {QStringLiteral("CodePageCentral"), {QStringLiteral("windows-1250"), QStringLiteral("IBM852")}},
        {QStringLiteral("CodePageCyrillic"), {QStringLiteral("windows-1251"), QStringLiteral("IBM866")}},
        {QStringLiteral("CodePageGreek"), {QStringLiteral("windows-1253"), QStringLiteral("IBM737")}},
        {QStringLiteral("CodePageTurkish"), {QStringLiteral("windows-1254"), QStringLiteral("IBM857")}},
        {QStringLiteral("CodePageBaltic"), {QStringLiteral("windows-1257"), QStringLiteral("IBM775")}},
    };
    return choices;
}

CodePageNames StoredCodePageChoice()
{
    const QString stored = AppIni().ReadString(LastSection, CodePageIdent, QString());
    for (const TCodePageChoice &choice : CodePageChoices()) {
        if (stored == choice.Pages.Ansi + Separator + choice.Pages.Oem)
            return choice.Pages;
    }
    return {};
}

void StoreCodePageChoice(const CodePageNames &choice)
{
    const QString value = choice.Ansi.isEmpty() ? QString() : choice.Ansi + Separator + choice.Oem;
    AppIni().WriteString(LastSection, CodePageIdent, value);
}

CodePageNames CodePagesForChoice(const CodePageNames &choice)
{
    if (choice.Ansi.isEmpty() || choice.Oem.isEmpty())
        return DefaultCodePages();
    return EnvironmentCodePages(choice);
}

void ApplyCodePageChoice(const CodePageNames &choice)
{
    const CodePageNames pages = CodePagesForChoice(choice);
    SetCodePages(pages.Ansi, pages.Oem);
}
