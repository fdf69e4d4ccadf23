#pragma once
// The program's message box presenter: shows each request in a modal dialog
// of our own (QMessageBox cannot keep every rule: the fixed Escape answer,
// Cancel from the close box of a box without Cancel, the wrap width). The
// dialog is application-modal, centred on the screen, its text wrapped at
// half the screen's width. Its widgets carry names a test can find: "Image",
// "Message", and the buttons "Yes", "No", "OK" and "Cancel". A plain letter
// presses the button it underlines (Y, N, C), as does Alt with the letter.

#include "uitext/DlgUtils.h"

#include <QString>

class TQtMessageBoxPresenter : public TMessageBoxPresenter
{
public:
    TModalResult Show(const TMessageBoxRequest &request) override;
};

// Text with its line breaks as a label shows them: CR LF, a lone CR and a
// lone LF each end a line, so each pair of CRs gives one empty line.
[[nodiscard]] QString MessageBoxDisplayText(const QString &text);
