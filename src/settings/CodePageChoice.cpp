#include "settings/CodePageChoice.h"

#include "platform/Registry.h"
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
    // Read without the settings store, which makes its key when it opens:
    // lexivane-msg asks too, and must leave the user's settings as they are.
    TRegistry registry(RegistryRoot::CurrentUser);
    QString stored;
    const QString section = QStringLiteral("\\Software") + LexivaneAppKey + QLatin1Char('\\') + LastSection;
    if (registry.OpenKeyReadOnly(section) && registry.ValueExists(CodePageIdent))
        stored = registry.ReadString(CodePageIdent);
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
