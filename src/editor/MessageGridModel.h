#pragma once
// The table model behind the message grid: a thin adapter over the editing
// session (not owned). Its rows are the messages shown (all, or those a
// filter picked, in file order): column 0 a message's original text, column
// 1 its current text; the vertical header gives the message's code and the
// horizontal header the column titles. Texts, fonts and colours are
// worked out only for the cells a view asks for, so a file of a million
// messages costs nothing until it is shown.

#include "settings/FontRecord.h"
#include "translation/MessageFilter.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QString>

class TEditSession;

// A message code as the ID column shows it: upper-case hexadecimal, at least
// five digits ("0001F"), all of them when the code needs more.
[[nodiscard]] QString GridCodeText(quint32 code);

// One of the grid's fonts as it is drawn: face, size and style, and colour.
struct TGridFont
{
    QFont Font;
    QColor Color;
};

class TMessageGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { OriginalColumn = 0, TextColumn = 1 };
    static constexpr int ColumnCount = 2;

    explicit TMessageGridModel(const TEditSession &session, QObject *parent = nullptr);

    // The number of messages shown when the model was last refreshed, at
    // least 1: without a file, or with none shown, one empty row.
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    // DisplayRole: the display form as Unicode; FontRole and ForegroundRole:
    // OriginFont in the original column, ChangedFont for a current text that
    // differs from its original, NormalFont otherwise.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // Horizontal: the titles "OriginalTitle" and "StrTitle" in TitleFont;
    // vertical: the row's code in NormalFont (empty for a row without a
    // message).
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Takes the messages from the session again, through the filter in use;
    // after every load and close.
    void Refresh();
    // Shows the messages that match Filter now (all for All).
    void SetFilter(TMessageFilter filter);
    [[nodiscard]] const TShownMessages &Shown() const { return m_shown; }
    // The texts of message Index changed: its row, if it is shown, repaints.
    void MessageChanged(int index);
    // Whether model row Row shows a message, and which; -1 for none.
    [[nodiscard]] bool HasMessage(int row) const;
    [[nodiscard]] int MessageAt(int row) const;
    // The model row of message Index; -1 when it is not shown.
    [[nodiscard]] int RowOf(int index) const;

    void SetFonts(const TFontRecord &normal, const TFontRecord &title, const TFontRecord &origin,
                  const TFontRecord &changed);
    const TGridFont &NormalFont() const { return m_normalFont; }
    const TGridFont &TitleFont() const { return m_titleFont; }
    const TGridFont &OriginFont() const { return m_originFont; }
    const TGridFont &ChangedFont() const { return m_changedFont; }

    // What the cell Index shows: its text, and its font and colour. A row
    // without a message is empty.
    [[nodiscard]] QString CellText(const QModelIndex &index) const;
    [[nodiscard]] const TGridFont &CellFont(const QModelIndex &index) const;
    // Whether the cell is the Text cell of a message with a placeholder
    // problem, which the grid marks.
    [[nodiscard]] bool HasProblemMark(const QModelIndex &index) const;
    // Whether the cell is the Text cell of a message to review.
    [[nodiscard]] bool HasReviewMark(const QModelIndex &index) const;
    // The cell's tool tip: the placeholder problem of a marked cell, the
    // original a message to review was translated from, then, when the cell
    // cuts its text off (CutOff), the whole text with its line breaks; empty
    // when there is none of these.
    [[nodiscard]] QString CellToolTip(const QModelIndex &index, bool cutOff) const;

private:

    const TEditSession &m_session;
    TShownMessages m_shown;
    int m_rowCount = 1;
    TGridFont m_normalFont;
    TGridFont m_titleFont;
    TGridFont m_originFont;
    TGridFont m_changedFont;
};
