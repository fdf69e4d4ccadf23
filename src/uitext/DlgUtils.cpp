#include "uitext/DlgUtils.h"

#include "uitext/MsgRes.h"

namespace {

TMessageBoxPresenter *g_presenter = nullptr;

// The order in which buttons stand in every box, whatever order the caller
// names them in.
constexpr TMsgDlgBtn kButtonOrder[] = {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo, TMsgDlgBtn::mbOK,
                                       TMsgDlgBtn::mbCancel};

std::optional<TMsgDlgBtn> DefaultButtonOf(TMsgDlgButtons buttons)
{
    if (buttons.testFlag(TMsgDlgBtn::mbOK))
        return TMsgDlgBtn::mbOK;
    if (buttons.testFlag(TMsgDlgBtn::mbYes))
        return TMsgDlgBtn::mbYes;
    return std::nullopt;
}

std::optional<TModalResult> EscapeResultOf(TMsgDlgButtons buttons)
{
    for (TMsgDlgBtn button : {TMsgDlgBtn::mbCancel, TMsgDlgBtn::mbNo, TMsgDlgBtn::mbOK}) {
        if (buttons.testFlag(button))
            return ButtonResult(button);
    }
    return std::nullopt;
}

QString ResultName(TModalResult result)
{
    switch (result) {
    case TModalResult::mrYes:
        return QStringLiteral("Yes");
    case TModalResult::mrNo:
        return QStringLiteral("No");
    case TModalResult::mrOK:
        return QStringLiteral("OK");
    case TModalResult::mrCancel:
        return QStringLiteral("Cancel");
    }
    return QString::number(int(result));
}

} // namespace

QString MessageBoxTitle(TMsgDlgType kind)
{
    switch (kind) {
    case TMsgDlgType::mtWarning:
        return QStringLiteral("Warning");
    case TMsgDlgType::mtError:
        return QStringLiteral("Error");
    case TMsgDlgType::mtInformation:
        return QStringLiteral("Information");
    case TMsgDlgType::mtConfirmation:
        return QStringLiteral("Confirm");
    }
    return QString();
}

TModalResult ButtonResult(TMsgDlgBtn button)
{
    switch (button) {
    case TMsgDlgBtn::mbYes:
        return TModalResult::mrYes;
    case TMsgDlgBtn::mbNo:
        return TModalResult::mrNo;
    case TMsgDlgBtn::mbOK:
        return TModalResult::mrOK;
    case TMsgDlgBtn::mbCancel:
        return TModalResult::mrCancel;
    }
    return TModalResult::mrCancel;
}

TMessageBoxRequest MakeMessageBoxRequest(const QString &text, TMsgDlgType kind, TMsgDlgButtons buttons)
{
    TMessageBoxRequest request;
    request.Text = text;
    request.Kind = kind;
    request.Buttons = buttons;
    request.Title = MessageBoxTitle(kind);
    for (TMsgDlgBtn button : kButtonOrder) {
        if (buttons.testFlag(button))
            request.ButtonOrder.append(button);
    }
    // Bits outside the four buttons would otherwise pass unnoticed.
    if (request.ButtonOrder.isEmpty() || buttons.toInt() & ~TMsgDlgButtons::Int(0xF))
        throw EMessageBoxError(QStringLiteral("A message box needs one or more of the buttons Yes, No, OK and Cancel"));
    request.DefaultButton = DefaultButtonOf(buttons);
    request.EscapeResult = EscapeResultOf(buttons);
    return request;
}

bool IsPossibleAnswer(const TMessageBoxRequest &request, TModalResult result)
{
    if (result == TModalResult::mrCancel)
        return true;
    for (TMsgDlgBtn button : request.ButtonOrder) {
        if (ButtonResult(button) == result)
            return true;
    }
    return false;
}

TMessageBoxPresenter *SetMessageBoxPresenter(TMessageBoxPresenter *presenter)
{
    TMessageBoxPresenter *previous = g_presenter;
    g_presenter = presenter;
    return previous;
}

TMessageBoxPresenter *MessageBoxPresenter()
{
    return g_presenter;
}

TModalResult ShowMessageBox(const QString &text, TMsgDlgType kind, TMsgDlgButtons buttons)
{
    const TMessageBoxRequest request = MakeMessageBoxRequest(text, kind, buttons);
    if (!g_presenter)
        throw EMessageBoxError(QStringLiteral("No message box presenter is plugged in to show: %1").arg(text));
    const TModalResult result = g_presenter->Show(request);
    // Callers rely on getting one of their buttons (or Cancel); a presenter
    // that answers otherwise is broken, and silence would hide it.
    if (!IsPossibleAnswer(request, result))
        throw EMessageBoxError(QStringLiteral("The message box \"%1\" was answered %2, which none of its buttons gives")
                                   .arg(request.Title, ResultName(result)));
    return result;
}

void ShowErrorFmt(const QString &format, std::initializer_list<FormatArg> args)
{
    ShowErrorFmt(format, QList<FormatArg>(args));
}

void ShowErrorFmt(const QString &format, const QList<FormatArg> &args)
{
    ShowMessageBox(Format(format, args), TMsgDlgType::mtError, TMsgDlgBtn::mbOK);
}

void ShowErrorMsg(const QString &key, std::initializer_list<FormatArg> args)
{
    ShowErrorMsg(key, QList<FormatArg>(args));
}

void ShowErrorMsg(const QString &key, const QList<FormatArg> &args)
{
    ShowErrorFmt(GetMsg(key), args);
}

void ShowInfo(const QString &text)
{
    ShowMessageBox(text, TMsgDlgType::mtInformation, TMsgDlgBtn::mbOK);
}

bool ConfirmMsg(const QString &key)
{
    const TModalResult result =
        ShowMessageBox(GetMsg(key), TMsgDlgType::mtConfirmation, TMsgDlgBtn::mbYes | TMsgDlgBtn::mbNo);
    return result == TModalResult::mrYes;
}

bool ConfirmMsgFmt(const QString &key, std::initializer_list<FormatArg> args)
{
    const TModalResult result = ShowMessageBox(Format(GetMsg(key), args), TMsgDlgType::mtConfirmation,
                                               TMsgDlgBtn::mbYes | TMsgDlgBtn::mbNo);
    return result == TModalResult::mrYes;
}
