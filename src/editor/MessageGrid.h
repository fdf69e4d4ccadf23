#pragma once
// TMessageGrid ("Grid"), the main window's client area: the open file as a
// table, one row per message. The vertical header is the fixed ID column
// (the codes), the horizontal header the title row; the two text columns
// are the original texts and the current texts. Only one text column fits
// beside the ID column at a time: viewing the original puts the Original
// column first, otherwise the Text column fills the width.
//
// Messages are counted from 0, as everywhere in the program; the grid alone
// turns them into its rows: row 0 is the title row, the rows below it show
// the messages the filter shows, in file order (all of them: message I on
// row I + 1). Columns: 1 is Original and 2 is Text.
//
// Every row has the same fixed height and is painted only when it is on the
// screen, so the cost does not depend on the number of messages.

#include "editor/MessageGridModel.h"
#include "settings/FontRecord.h"

#include <QTableView>

class QAbstractButton;
class TEditSession;

class TMessageGrid : public QTableView
{
    Q_OBJECT

public:
    static constexpr int OriginalColumn = 1;
    static constexpr int TextColumn = 2;

    explicit TMessageGrid(const TEditSession &session, QWidget *parent = nullptr);
    ~TMessageGrid() override;

    TMessageGridModel &Model() { return *m_model; }

    // The number of rows from the session (at least one message row), the
    // column sizes, a repaint; after every load and close. The current row
    // stays where it was, within the new row count.
    void RefreshGrid();
    // Repaints the row of message Index.
    void RepaintMessage(int index);

    // Shows the messages Filter picks now (all for All), in file order. The
    // current message stays current when it is still shown, else the first
    // shown after it becomes current.
    void SetFilter(TMessageFilter filter);
    [[nodiscard]] TMessageFilter Filter() const { return m_model->Shown().Filter(); }
    [[nodiscard]] const TShownMessages &Shown() const { return m_model->Shown(); }

    // The message of the current row; -1 when the row shows none (no file,
    // or a file without messages).
    [[nodiscard]] int CurrentMessage() const;
    // The current cell's column (1 Original, 2 Text).
    [[nodiscard]] int CurrentColumn() const;
    // Makes the row of message Index current, keeping the column. A row
    // already on the screen stays where it is; any other is scrolled to the
    // middle of the view. False, and nothing moves, when the message is not
    // shown (no such message, or one the filter hides).
    bool SetCurrentMessage(int index);
    // The number of rows, the title row included: messages + 1, at least 2.
    [[nodiscard]] int RowCount() const;
    // The row that shows message Index, and the message a row shows (-1 for
    // the title row and a row without a message).
    [[nodiscard]] int RowOfMessage(int index) const;
    [[nodiscard]] int MessageOfRow(int row) const;

    // The fonts: the grid's own and the rows' (NormalFont, whose size in
    // points times 2 is the row height in pixels), the title row's, the
    // Original column's and a changed text's; then FormResize.
    void ApplyFonts(const TFontRecord &normal, const TFontRecord &title, const TFontRecord &origin,
                    const TFontRecord &changed);

    // Sizes the columns to the grid: the ID column fits "00000 " and the ID
    // title; with W the width right of it, Original is W * 3 / 4 (rounded),
    // Text is W; side by side each takes half of W. Then ApplyViewOriginal.
    // Runs on every change of the width.
    void FormResize();

    // Side by side: the Original and Text columns together, each half the
    // width, the current cell in either; the view-original state follows
    // the current cell's column as in the single-column view.
    [[nodiscard]] bool IsSideBySide() const { return m_sideBySide; }
    void SetSideBySide(bool value);

    // Whether the user views the original texts (ViewOrigBtn pressed).
    [[nodiscard]] bool IsViewingOriginal() const { return m_viewingOriginal; }
    // Sets the view-original state and scrolls after it.
    void SetViewingOriginal(bool value);
    // Scrolls so that the leftmost text column is Original when viewing the
    // original, else Text, and moves the current cell into that column; the
    // current row stays.
    void ApplyViewOriginal();

signals:
    // Enter, or a double-click on a text cell of a message row: the user
    // asks to edit message Index (the current row's).
    void EditRequested(int index);
    // The view-original state changed, by SetViewingOriginal or because the
    // grid scrolled to the other text column (Left, Right, a click).
    void ViewingOriginalChanged(bool viewing);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyboardSearch(const QString &search) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void updateGeometries() override;

private:
    // The grid's scroll notification: unless SyncingView, the view-original
    // state follows the current column.
    void GridTopLeftChanged();
    // Home, End and Enter; true when the key was taken.
    bool GridKeyDown(const QKeyEvent *event);
    void SetViewingOriginalState(bool value);
    // Keeps the leftmost scrollable column on the current cell's column.
    void AlignColumnsToCurrent();
    // Puts the text columns where the leftmost scrollable column says.
    void SyncColumnOffset();
    void PaintCorner(QAbstractButton *corner) const;
    [[nodiscard]] int CurrentModelRow() const;
    // Makes model row Row current (within the rows there are), keeping the
    // column, and brings it on the screen: centred unless already shown.
    void SetCurrentModelRow(int row);
    [[nodiscard]] int RowHeight() const;

    TMessageGridModel *m_model;
    QAbstractButton *m_corner = nullptr;
    int m_normalFontSize = 10; // points
    bool m_viewingOriginal = false;
    bool m_sideBySide = false;
    bool m_inFormResize = false;
    // True while ApplyViewOriginal moves the grid.
    bool SyncingView = false;
    // Design column and row of the cell under the pointer at the last press
    // of the left button; -1 outside any cell.
    int DownCol = -1;
    int DownRow = -1;
};
