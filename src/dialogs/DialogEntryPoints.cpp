#include "dialogs/DialogEntryPoints.h"

#include "diagnostics/Exception.h"

namespace {

TDialogPresenter *g_presenter = nullptr;

TDialogPresenter &Presenter()
{
    if (!g_presenter)
        throw EDialogError(QStringLiteral("No dialogs are available to ask the user"));
    return *g_presenter;
}

} // namespace

TDialogPresenter *SetDialogPresenter(TDialogPresenter *presenter)
{
    TDialogPresenter *previous = g_presenter;
    g_presenter = presenter;
    return previous;
}

bool EditText(QByteArray &text, const QByteArray &original, bool &oem,
              const std::optional<QByteArray> &previousOriginal)
{
    return Presenter().EditText(text, original, oem, previousOriginal);
}

bool SelectMessageFile(QString &fileName)
{
    return Presenter().SelectMessageFile(fileName);
}

bool ExecuteFontSetup()
{
    return Presenter().ExecuteFontSetup();
}

bool EnterString(const QString &caption, const QString &prompt, QString &text, const QString &helpKey,
                 bool allowEmpty)
{
    return Presenter().EnterString(caption, prompt, text, helpKey, allowEmpty);
}

void ShowAboutBox()
{
    Presenter().ShowAboutBox();
}
