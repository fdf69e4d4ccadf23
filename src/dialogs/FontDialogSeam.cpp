#include "dialogs/FontDialogSeam.h"

#include "dialogs/DialogEntryPoints.h"

namespace {

TFontDialogPresenter *g_presenter = nullptr;

} // namespace

TFontDialogPresenter *SetFontDialogPresenter(TFontDialogPresenter *presenter)
{
    TFontDialogPresenter *previous = g_presenter;
    g_presenter = presenter;
    return previous;
}

TFontDialogPresenter *FontDialogPresenter()
{
    return g_presenter;
}

TFontDialog::TFontDialog(QObject *owner)
    : QObject(owner)
{
}

bool TFontDialog::Execute()
{
    if (!g_presenter)
        throw EDialogError(QStringLiteral("No dialogs are available to ask the user"));
    TFontRecord chosen = m_font;
    if (!g_presenter->Execute(chosen))
        return false;
    m_font = chosen;
    return true;
}
