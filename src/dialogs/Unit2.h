#pragma once
// The text edit dialog: the user changes one message's text beside its
// original, read-only text. Created once and reused; each EditText is one
// modal run. The boxes show Unicode; the text travels in stored form (bytes
// of the message's code page, line breaks as single LF), and what is shown
// is decoded and encoded again through the same code page, so that a text
// confirmed unchanged keeps every byte. Keys: Enter is OK (Ctrl+Enter breaks
// the line), Escape Cancel, F5 toggles between maximized and normal.

#include "settings/FontRecord.h"

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <QWidget>

#include <exception>
#include <optional>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class TContextHelp;

// The longest text, in stored form, the dialog accepts.
inline constexpr int MaxEditTextLength = 255;

// Text with every line break as one LF: CR LF, a lone CR, a lone LF, and the
// paragraph and line separators of Qt's text documents.
[[nodiscard]] QString WithLineFeeds(const QString &text);

// An unmarked area that reports clicks and double clicks and shows nothing.
// Every press of the mouse gives one of the two: the second press of a
// double click gives DblClick and no Click.
class TOemToggleArea : public QWidget
{
    Q_OBJECT

public:
    explicit TOemToggleArea(QWidget *parent = nullptr);

signals:
    void Click();
    void DblClick();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
};

class TForm2 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm2(QWidget *parent = nullptr);

    // Copies both fonts; they are applied to the boxes when the dialog is
    // shown and when the user toggles the OEM state.
    void SetEditFonts(const TFontRecord &text, const TFontRecord &original);

    // One modal run. Text and Original arrive in stored form, in the OEM code
    // page when Oem is set, else in the ANSI code page, and are shown decoded
    // through it. True when the user confirmed with OK: Text is then the
    // edited text in stored form, in the code page of the OEM state chosen,
    // and Oem that state. Otherwise both are unchanged. A failure while the
    // dialog runs (the settings, a message box, the help viewer) closes it
    // and is raised here.
    // PreviousOriginal, when given, shows under the original: the original a
    // message to review was translated from, with the words the original
    // added and dropped since marked in the two boxes.
    bool EditText(QByteArray &text, const QByteArray &original, bool &oem,
                  const std::optional<QByteArray> &previousOriginal = std::nullopt);

    // The editable box's text in stored form: every line break (CR LF, a lone
    // CR, a lone LF, a paragraph or line separator) as one LF, encoded in the
    // OEM code page when the OEM state is on, else the ANSI code page. False,
    // with the position of the first character that code page cannot hold in
    // *BadPosition (counted in StoredCharacters()), when it cannot be encoded.
    [[nodiscard]] bool GetStoredText(QByteArray &stored, qsizetype *badPosition = nullptr) const;
    // The box's text with its line breaks as single LFs: what GetStoredText
    // encodes, one byte per character.
    [[nodiscard]] QString StoredCharacters() const;

    // Shows the length of the stored form in CCountLabel.
    void UpdateCharCount();
    // The placeholder problem of the text as it stands against the original
    // given, in words; empty when there is none (Placeholders.h).
    [[nodiscard]] QString PlaceholderProblem() const;
    // Shows it in ProblemLabel, under the text box.
    void UpdateProblemLine();

    // Closes with OK only when the text can be stored: every character held
    // by the chosen code page and, unless the text and its OEM state are as
    // they were given, no more than MaxEditTextLength of them; a changed
    // text whose placeholders differ from the original's only when the user
    // answers Yes to keeping it.
    void accept() override;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateComponents();
    // Runs a handler; a failure ends the modal run (when it is still open)
    // and is raised again by EditText, rather than crossing Qt's event
    // dispatch.
    template <typename Handler>
    void Guarded(Handler &&handler);
    void FormShow();
    void FormHide();
    // Memo1 takes the text font, Memo2 and Memo3 the original font.
    void ApplyMemoFonts();
    // Shows Previous in Memo3 with what changed marked, or hides it.
    void ShowPreviousOriginal(const std::optional<QString> &previous);
    // The user toggled the OEM state on Panel3.
    void Panel3Click();
    void ToggleMaximized();
    // Refuses the character at Position of Characters: an error box naming
    // it and the code page, then the character selected in Memo1.
    void RefuseCharacter(const QString &characters, qsizetype position);
    [[nodiscard]] int UpperPaneHeight() const;
    void SetUpperPaneHeight(int height);

    TFontRecord m_textFont;
    TFontRecord m_originalFont;
    QByteArray m_givenText; // the text, OEM state and original EditText was given
    bool m_givenOem = false;
    QByteArray m_givenOriginal;
    QByteArray m_acceptedText; // the stored form accept() checked
    std::exception_ptr m_pendingError; // the first failure of this run

    QWidget *Panel4 = nullptr;
    QSplitter *Splitter1 = nullptr;
    QWidget *Panel5 = nullptr;
    QWidget *Panel6 = nullptr;
    QLabel *TextLabel = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QLabel *ProblemLabel = nullptr;
    QWidget *Panel7 = nullptr;
    QWidget *Panel8 = nullptr;
    QLabel *OrigLabel = nullptr;
    QPlainTextEdit *Memo2 = nullptr;
    QWidget *Panel9 = nullptr;
    QLabel *PrevOrigLabel = nullptr;
    QPlainTextEdit *Memo3 = nullptr;
    QWidget *Panel1 = nullptr;
    QLabel *CCountLabel = nullptr;
    QWidget *Panel2 = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *Button2 = nullptr;
    QPushButton *Button3 = nullptr;
    QCheckBox *OEMCheck = nullptr;
    TOemToggleArea *Panel3 = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *Button1 = nullptr;
    TContextHelp *ContextHelp1 = nullptr;
};
