#pragma once
// The font dialog as the font setup dialog asks it: a non-visual component
// (FontDialog1) holding a font record, and the seam through which it asks
// the user to change that font. The program plugs in the Qt font dialog
// (TQtFontDialogPresenter); tests plug in a scripted presenter.

#include "settings/FontRecord.h"

#include <QObject>

// Shows a font for the user to change.
class TFontDialogPresenter
{
public:
    virtual ~TFontDialogPresenter() = default;

    // True when the user confirmed; Font then holds the chosen font, every
    // attribute (name, size, style, colour, character set). When the user
    // cancels, whatever the presenter did to Font is dropped by the caller.
    virtual bool Execute(TFontRecord &font) = 0;
};

// Plugs Presenter in (not owned; nullptr unplugs) and returns the one
// plugged in before.
TFontDialogPresenter *SetFontDialogPresenter(TFontDialogPresenter *presenter);
[[nodiscard]] TFontDialogPresenter *FontDialogPresenter();

// The font dialog component: the font it shows and, after a confirmed run,
// the font the user chose. It imposes no size limits.
class TFontDialog : public QObject
{
    Q_OBJECT

public:
    explicit TFontDialog(QObject *owner = nullptr);

    [[nodiscard]] const TFontRecord &Font() const { return m_font; }
    void SetFont(const TFontRecord &font) { m_font = font; }

    // Runs the plugged-in presenter on a copy of Font; true when the user
    // confirmed, and Font is then the chosen font; otherwise Font stays.
    // Raises EDialogError when no presenter is plugged in.
    bool Execute();

private:
    TFontRecord m_font;
};
