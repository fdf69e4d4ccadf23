#pragma once
// The font dialog the user sees: Qt's font dialog embedded in a small dialog
// of our own that adds a colour, since the display fonts differ by colour
// (navy for the original texts) and QFontDialog offers none. The record's
// attributes that the user leaves alone come back exactly as they went in:
// the character set always, the colour (a system colour such as window text
// included) unless another one is chosen, and the name, size and style
// unless the user changes them, even where the font box shows another face
// for a name it does not list ("Courier New" where it is not installed).

#include "dialogs/FontDialogSeam.h"
#include "settings/FontRecord.h"

#include <QColor>
#include <QDialog>
#include <QFont>
#include <functional>

class QDialogButtonBox;
class QFontDialog;
class QPushButton;

class TQtFontDialog : public QDialog
{
    Q_OBJECT

public:
    // Asks the user for a colour, starting from Initial; an invalid colour
    // when the user cancels.
    using TColorChooser = std::function<QColor(const QColor &initial, QWidget *parent)>;

    explicit TQtFontDialog(QWidget *parent = nullptr);

    // Shows Font: name, size and style in the font box, its colour on the
    // colour button. Forgets any colour chosen before.
    void SetFontRecord(const TFontRecord &font);
    // The record as the user has changed it so far.
    [[nodiscard]] TFontRecord FontRecord() const;

    // The colour shown on the colour button.
    [[nodiscard]] QColor CurrentColor() const { return m_color; }
    // Takes Color as the user's choice, as the colour button does.
    void SetCurrentColor(const QColor &color);
    // Replaces the colour question of the colour button (QColorDialog).
    void SetColorChooser(TColorChooser chooser);

    [[nodiscard]] QFontDialog *FontBox() const { return m_fontBox; }
    [[nodiscard]] QPushButton *ColorButton() const { return m_colorButton; }
    [[nodiscard]] QPushButton *OkButton() const;
    [[nodiscard]] QPushButton *CancelButton() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ChooseColor();
    void ShowColor();

    QFontDialog *m_fontBox;
    QPushButton *m_colorButton;
    QDialogButtonBox *m_buttons;
    TColorChooser m_colorChooser;
    TFontRecord m_record;
    QFont m_shownFont; // the font box's font right after SetFontRecord
    QColor m_color;
    bool m_colorChosen = false;
};

// The presenter the program plugs into the font dialog seam: TQtFontDialog,
// modal over the active modal window (the font setup dialog).
class TQtFontDialogPresenter : public TFontDialogPresenter
{
public:
    bool Execute(TFontRecord &font) override;
};
