#pragma once
// Message boxes: the kinds of box the program shows, the small operations
// that show them, and the seam through which they are shown. Everything a box
// looks like (title, buttons and their order, default button, the answer of
// Escape) is decided here, once, so that every presenter shows the same box;
// a presenter only puts the request on the screen and reports the answer.
// The program plugs in the Qt presenter; tests plug in a scripted one.

#include "diagnostics/Exception.h"
#include "uitext/Format.h"

#include <QFlags>
#include <QList>
#include <QString>
#include <initializer_list>
#include <optional>

// A message box was asked for that cannot be shown: no presenter is plugged
// in, the box has no button, or the presenter gave an answer the box cannot.
LEXIVANE_DECLARE_EXCEPTION(EMessageBoxError);

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation };

enum class TMsgDlgBtn { mbYes = 0x1, mbNo = 0x2, mbOK = 0x4, mbCancel = 0x8 };
Q_DECLARE_FLAGS(TMsgDlgButtons, TMsgDlgBtn)
Q_DECLARE_OPERATORS_FOR_FLAGS(TMsgDlgButtons)

enum class TModalResult { mrYes, mrNo, mrOK, mrCancel };

// Everything a presenter needs to show one box.
struct TMessageBoxRequest
{
    QString Text;                 // formatted; CR (13) breaks the line
    TMsgDlgType Kind = TMsgDlgType::mtInformation;
    TMsgDlgButtons Buttons;       // as the caller named them
    QString Title;                // "Error", "Information", "Confirm", "Warning"
    QList<TMsgDlgBtn> ButtonOrder; // the buttons shown, left to right
    // The button Enter presses; none when the box has neither OK nor Yes.
    std::optional<TMsgDlgBtn> DefaultButton;
    // The answer of Escape; none when the box has no button to give it (a
    // box with Yes alone), and then Escape does nothing.
    std::optional<TModalResult> EscapeResult;
};

// Decides how a box of Kind with Buttons looks and behaves. Raises
// EMessageBoxError for an empty set of buttons.
[[nodiscard]] TMessageBoxRequest MakeMessageBoxRequest(const QString &text, TMsgDlgType kind,
                                                       TMsgDlgButtons buttons);

// The title of a box of Kind: the toolkit's own text, not a language row.
[[nodiscard]] QString MessageBoxTitle(TMsgDlgType kind);

// The answer a button gives.
[[nodiscard]] TModalResult ButtonResult(TMsgDlgBtn button);

// Whether a box can give Result: a button of the box gives it, or it is
// Cancel, which the window's close box gives to every box.
[[nodiscard]] bool IsPossibleAnswer(const TMessageBoxRequest &request, TModalResult result);

// Shows a request modally and answers with the button pressed.
class TMessageBoxPresenter
{
public:
    virtual ~TMessageBoxPresenter() = default;
    virtual TModalResult Show(const TMessageBoxRequest &request) = 0;
};

// Plugs Presenter in (not owned; nullptr unplugs) and returns the one
// plugged in before.
TMessageBoxPresenter *SetMessageBoxPresenter(TMessageBoxPresenter *presenter);
[[nodiscard]] TMessageBoxPresenter *MessageBoxPresenter();

// Shows Text in a modal box of Kind with Buttons; the button pressed, Cancel
// when the box was closed with its close box.
TModalResult ShowMessageBox(const QString &text, TMsgDlgType kind, TMsgDlgButtons buttons);

// Format filled with Args, in an error box with OK.
void ShowErrorFmt(const QString &format, std::initializer_list<FormatArg> args = {});
void ShowErrorFmt(const QString &format, const QList<FormatArg> &args);

// GetMsg(Key) filled with Args, in an error box with OK. A key that no row
// has is shown (and filled) as it stands.
void ShowErrorMsg(const QString &key, std::initializer_list<FormatArg> args = {});
void ShowErrorMsg(const QString &key, const QList<FormatArg> &args);

// Text unchanged, in an information box with OK.
void ShowInfo(const QString &text);

// GetMsg(Key) unformatted, in a confirmation box with Yes and No; true only
// when the user answers Yes.
[[nodiscard]] bool ConfirmMsg(const QString &key);
// The same with GetMsg(Key) filled with Args.
[[nodiscard]] bool ConfirmMsgFmt(const QString &key, std::initializer_list<FormatArg> args);
