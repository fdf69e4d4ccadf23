#pragma once
// The dialogs as the editing session and the main window ask them: one entry
// point each, through one seam. The program plugs in the Qt dialogs
// (TQtDialogs); tests plug in a scripted presenter that answers as a user
// would, so that session logic runs without a screen.

#include "diagnostics/Exception.h"

#include <QByteArray>
#include <QString>

#include <optional>

// A dialog was asked for while no dialogs are plugged in.
LEXIVANE_DECLARE_EXCEPTION(EDialogError);

class TDialogPresenter
{
public:
    virtual ~TDialogPresenter() = default;

    // The text edit dialog. Text arrives and returns in stored form (bytes,
    // line breaks as LF), in the OEM code page when Oem is set, else in the
    // ANSI code page; Original is the message's original text, shown
    // read-only; PreviousOriginal, when given, is the original a message to
    // review was translated from, shown beside it with what changed. True
    // when the user confirmed (also with the text as it was); Text and Oem
    // are then the edited text and OEM state, otherwise unchanged.
    virtual bool EditText(QByteArray &text, const QByteArray &original, bool &oem,
                          const std::optional<QByteArray> &previousOriginal) = 0;

    // The message file selection dialog: true with the chosen existing file.
    virtual bool SelectMessageFile(QString &fileName) = 0;

    // The font setup dialog over its font slots: true when closed with OK.
    virtual bool ExecuteFontSetup() = 0;

    // The input prompt: true with the answer as typed.
    virtual bool EnterString(const QString &caption, const QString &prompt, QString &text,
                             const QString &helpKey, bool allowEmpty) = 0;

    // The about box, modally.
    virtual void ShowAboutBox() = 0;
};

// Plugs Presenter in (not owned; nullptr unplugs) and returns the one
// plugged in before.
TDialogPresenter *SetDialogPresenter(TDialogPresenter *presenter);

// The entry points; each raises EDialogError when no presenter is plugged in.
bool EditText(QByteArray &text, const QByteArray &original, bool &oem,
              const std::optional<QByteArray> &previousOriginal = std::nullopt);
bool SelectMessageFile(QString &fileName);
bool ExecuteFontSetup();
bool EnterString(const QString &caption, const QString &prompt, QString &text, const QString &helpKey,
                 bool allowEmpty);
void ShowAboutBox();
