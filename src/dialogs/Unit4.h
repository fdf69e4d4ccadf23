#pragma once
// The font setup dialog: the user picks one of the owner's font slots, sees
// a sample text in it, changes it with the font dialog, and applies or
// confirms. Applying copies the changed fonts into the slots and raises
// OnApply, so that the owner (the main window) redraws with them. Created
// once and reused: the slots stay from one run to the next.

#include "settings/FontRecord.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class TContextHelp;
class TFontDialog;

// The sample text: the phrase "arithmetic exception, numeric overflow, or
// string truncation" 30 times, separated by blanks, broken after a blank
// into lines of at most 51 characters, then an empty line, a line of one
// blank and another empty line.
[[nodiscard]] QStringList FontSampleLines();

class TForm4 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm4(QWidget *parent = nullptr);
    ~TForm4() override;

    // Appends a slot. Font belongs to the caller, who keeps it alive as long
    // as this dialog may use it.
    void AddFontSlot(const QString &title, TFontRecord *font);

    // One modal run over working copies of the slot fonts; true when the
    // user closed the dialog with OK, and the changes are then applied.
    bool ExecuteFontSetup();

    // Raised after changes were applied (Apply, or OK); not set by default.
    std::function<void(TForm4 &)> OnApply;

    // Every slot font := its working copy; OnApply; SetModified(false).
    void ApplyChanges();
    // Apply is enabled exactly when On.
    void SetModified(bool on);

    [[nodiscard]] qsizetype SlotCount() const { return m_slots.size(); }
    // The working copies, one per slot; empty outside ExecuteFontSetup.
    [[nodiscard]] const QList<TFontRecord> &WorkingCopies() const { return m_workingCopies; }

    // The components, by the names the language table and help use.
    QLabel *Label1;
    QLabel *Label2;
    QListWidget *ListBox1;
    QPlainTextEdit *Memo1;
    QPushButton *Button1;
    QPushButton *Button2;
    QPushButton *Button3;
    QPushButton *Button4;
    QPushButton *Button5;
    TFontDialog *FontDialog1;
    TContextHelp *ContextHelp1;

protected:
    void showEvent(QShowEvent *event) override;

private:
    struct TFontSlot
    {
        QString Title;
        TFontRecord *Font; // not owned
    };

    void FormShow();
    // Memo1 shows the selected slot's working copy.
    void ShowSample();
    // Change: the selected working copy through the font dialog.
    void Button1Click();
    void Button5Click();
    // The selected slot, -1 when none is.
    [[nodiscard]] int SelectedSlot() const;

    QList<TFontSlot> m_slots;
    QList<TFontRecord> m_workingCopies;
};
