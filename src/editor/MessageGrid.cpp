#include "editor/MessageGrid.h"

#include "editor/OverflowMark.h"
#include "settings/QtFonts.h"
#include "uitext/MsgRes.h"

#include <QAbstractButton>
#include <QAbstractItemDelegate>
#include <QHeaderView>
#include <QHelpEvent>
#include <QToolTip>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <QWheelEvent>

namespace {

// Text starts this far in from a cell's left edge, and at least this far
// below its top.
constexpr int TextIndent = 2;
constexpr int MinTextTop = 2;
// The overflow mark ends this far left of the cell's right edge and above
// its bottom edge.
constexpr int MarkRightGap = 2;
constexpr int MarkBottomGap = 1;
// A placeholder problem: a red bar down the Text cell's left edge, plain to
// see in a column of hundreds and apart from the green corner mark.
constexpr int ProblemBarWidth = 3;
const QColor ProblemBarColor(220, 0, 0);
// A message to review: an orange bar beside it (or in its place).
const QColor ReviewBarColor(255, 150, 0);

QColor GridLineColor(const QWidget &view)
{
    QStyleOptionViewItem option;
    option.initFrom(&view);
    return QColor::fromRgba(static_cast<QRgb>(view.style()->styleHint(QStyle::SH_Table_GridLineColor, &option, &view)));
}

// Draws a cell's text as every cell of the grid does: TextIndent pixels in,
// (cell height - height of "W") / 2 below the top but at least MinTextTop,
// clipped to the cell. Returns the metrics of the font.
QFontMetrics DrawCellText(QPainter &painter, const QRect &cell, const QString &text, const QFont &font,
                          const QColor &color)
{
    painter.save();
    painter.setFont(font);
    painter.setPen(color);
    const QFontMetrics metrics = painter.fontMetrics();
    const int top = qMax((cell.height() - metrics.size(0, QStringLiteral("W")).height()) / 2, MinTextTop);
    painter.setClipRect(cell, Qt::IntersectClip);
    painter.drawText(QPoint(cell.left() + TextIndent, cell.top() + top + metrics.ascent()), text);
    painter.restore();
    return metrics;
}

// A fixed cell (the ID column and the title row): button face, the lines on
// its right and bottom edges, the text inside.
void PaintFixedCell(QPainter &painter, const QRect &section, const QString &text, const TGridFont &font,
                    const QPalette &palette, const QColor &lineColor)
{
    const QRect cell = section.adjusted(0, 0, -1, -1);
    painter.fillRect(cell, palette.color(QPalette::Active, QPalette::Button));
    painter.setPen(lineColor);
    painter.drawLine(section.topRight(), section.bottomRight());
    painter.drawLine(section.bottomLeft(), section.bottomRight());
    DrawCellText(painter, cell, text, font.Font, font.Color);
}

// The ID column and the title row: painted like the fixed cells of a drawn
// grid, from the model's header data.
class TFixedHeader : public QHeaderView
{
public:
    TFixedHeader(Qt::Orientation orientation, QWidget *view)
        : QHeaderView(orientation, view),
          m_view(*view)
    {
        setSectionResizeMode(QHeaderView::Fixed);
        setSectionsClickable(false);
        setSectionsMovable(false);
        setHighlightSections(false);
        setStretchLastSection(false);
        setMinimumSectionSize(1);
    }

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override
    {
        if (!rect.isValid() || model() == nullptr)
            return;
        const TGridFont font{qvariant_cast<QFont>(model()->headerData(logicalIndex, orientation(), Qt::FontRole)),
                             qvariant_cast<QColor>(model()->headerData(logicalIndex, orientation(), Qt::ForegroundRole))};
        const QString text = model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
        PaintFixedCell(*painter, rect, text, font, palette(), GridLineColor(m_view));
    }

private:
    const QWidget &m_view;
};

// Paints the text cells: background (the highlight for the current cell),
// the text in the cell's font, and the overflow mark when the text and one
// blank are wider than the cell.
class TCellDelegate : public QAbstractItemDelegate
{
public:
    TCellDelegate(const TMessageGridModel &model, const QAbstractItemView &view, QObject *parent)
        : QAbstractItemDelegate(parent),
          m_model(model),
          m_view(view)
    {
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        // The system's highlight colours, whether or not the grid's window is
        // active: the current cell is always drawn as selected.
        const bool current = index == m_view.currentIndex();
        const QPalette &palette = m_view.palette();
        painter->fillRect(option.rect, palette.color(QPalette::Active, current ? QPalette::Highlight : QPalette::Base));
        int barLeft = option.rect.left();
        if (m_model.HasProblemMark(index)) {
            painter->fillRect(QRect(barLeft, option.rect.top(), ProblemBarWidth, option.rect.height()), ProblemBarColor);
            barLeft += ProblemBarWidth;
        }
        if (m_model.HasReviewMark(index))
            painter->fillRect(QRect(barLeft, option.rect.top(), ProblemBarWidth, option.rect.height()), ReviewBarColor);

        const TGridFont &font = m_model.CellFont(index);
        const QColor color = current ? palette.color(QPalette::Active, QPalette::HighlightedText) : font.Color;
        const QString text = m_model.CellText(index);
        const QFontMetrics metrics = DrawCellText(*painter, option.rect, text, font.Font, color);
        if (!CutsOff(metrics, text, option.rect))
            return;
        const QPixmap &mark = Mark(painter->device()->devicePixelRatio());
        const QSizeF size = mark.deviceIndependentSize();
        const QPointF topLeft(option.rect.x() + option.rect.width() - size.width() - MarkRightGap,
                              option.rect.y() + option.rect.height() - size.height() - MarkBottomGap);
        painter->save();
        painter->setClipRect(option.rect, Qt::IntersectClip);
        painter->drawPixmap(topLeft, mark);
        painter->restore();
    }

    // Rows and columns have fixed sizes; nothing is measured per cell.
    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const override { return {}; }

    // A cell's tool tip names its placeholder problem and shows a text cut
    // off in the cell whole.
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override
    {
        if (event->type() != QEvent::ToolTip)
            return QAbstractItemDelegate::helpEvent(event, view, option, index);
        const QFontMetrics metrics(m_model.CellFont(index).Font, view);
        const QString tip = m_model.CellToolTip(index, CutsOff(metrics, m_model.CellText(index), option.rect));
        if (tip.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        // Rich text, so that long lines wrap and line breaks stay.
        const QString shown = QStringLiteral("<p style='white-space:pre-wrap'>%1</p>").arg(tip.toHtmlEscaped());
        QToolTip::showText(event->globalPos(), shown, view->viewport(), option.rect);
        return true;
    }

private:
    // Whether the text and one blank are wider than the cell.
    static bool CutsOff(const QFontMetrics &metrics, const QString &text, const QRect &cell)
    {
        return metrics.horizontalAdvance(text + QLatin1Char(' ')) > cell.width();
    }

    const QPixmap &Mark(qreal ratio) const
    {
        if (m_mark.isNull() || !qFuzzyCompare(m_markRatio, ratio)) {
            m_mark = OverflowMarkPixmap(ratio);
            m_markRatio = ratio;
        }
        return m_mark;
    }

    const TMessageGridModel &m_model;
    const QAbstractItemView &m_view;
    mutable QPixmap m_mark;
    mutable qreal m_markRatio = 0;
};

} // namespace

TMessageGrid::TMessageGrid(const TEditSession &session, QWidget *parent)
    : QTableView(parent),
      m_model(new TMessageGridModel(session, this))
{
    setObjectName(QStringLiteral("Grid"));
    setHorizontalHeader(new TFixedHeader(Qt::Horizontal, this));
    setVerticalHeader(new TFixedHeader(Qt::Vertical, this));
    setModel(m_model);
    setItemDelegate(new TCellDelegate(*m_model, *this, this));

    // One current cell; no editing, no range selection, no drag and drop;
    // Tab leaves the grid.
    setSelectionMode(QAbstractItemView::NoSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setTabKeyNavigation(false);
    setShowGrid(true);
    setGridStyle(Qt::SolidLine);
    setWordWrap(false);
    setCornerButtonEnabled(false);

    // Only the rows scroll with a scroll bar, following its thumb; the text
    // columns scroll a whole column at a time.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    verticalScrollBar()->setTracking(true);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &TMessageGrid::GridTopLeftChanged);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &TMessageGrid::GridTopLeftChanged);

    // The corner above the ID column holds the ID title.
    m_corner = findChild<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly);
    if (m_corner != nullptr)
        m_corner->installEventFilter(this);

    ApplyFonts(DefaultNamedFont(QStringLiteral("NormalFont")), DefaultNamedFont(QStringLiteral("TitleFont")),
               DefaultNamedFont(QStringLiteral("OriginFont")), DefaultNamedFont(QStringLiteral("ChangedFont")));
}

TMessageGrid::~TMessageGrid() = default;

int TMessageGrid::CurrentModelRow() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : 0;
}

int TMessageGrid::CurrentMessage() const
{
    return m_model->MessageAt(CurrentModelRow());
}

int TMessageGrid::RowOfMessage(int index) const
{
    const int row = m_model->RowOf(index);
    return row < 0 ? -1 : row + 1;
}

int TMessageGrid::MessageOfRow(int row) const
{
    return m_model->MessageAt(row - 1);
}

int TMessageGrid::CurrentColumn() const
{
    const QModelIndex current = currentIndex();
    if (current.isValid())
        return current.column() + 1;
    return m_viewingOriginal ? OriginalColumn : TextColumn;
}

int TMessageGrid::RowCount() const
{
    return m_model->rowCount() + 1;
}

bool TMessageGrid::SetCurrentMessage(int index)
{
    const int row = m_model->RowOf(index);
    if (row < 0)
        return false;
    SetCurrentModelRow(row);
    return true;
}

void TMessageGrid::SetCurrentModelRow(int row)
{
    const int modelRow = qBound(0, row, m_model->rowCount() - 1);
    // Looked at before the move: making a row current scrolls it just into
    // view, at the edge.
    const int top = rowViewportPosition(modelRow);
    const bool onScreen = top >= 0 && top + RowHeight() <= viewport()->height();
    setCurrentIndex(m_model->index(modelRow, CurrentColumn() - 1));
    if (onScreen)
        return;
    // Rows scroll one at a time: the vertical scroll position is the top row.
    const int shownRows = qMax(1, viewport()->height() / RowHeight());
    verticalScrollBar()->setValue(modelRow - (shownRows - 1) / 2);
}

void TMessageGrid::RefreshGrid()
{
    const int row = CurrentModelRow();
    m_model->Refresh();
    const int column = m_viewingOriginal ? TMessageGridModel::OriginalColumn : TMessageGridModel::TextColumn;
    setCurrentIndex(m_model->index(qMin(row, m_model->rowCount() - 1), column));
    FormResize();
    viewport()->update();
    verticalHeader()->viewport()->update();
}

void TMessageGrid::SetFilter(TMessageFilter filter)
{
    // The current message stays current where it is still shown; else the
    // first shown after it.
    const int current = CurrentMessage();
    m_model->SetFilter(filter);
    int row = m_model->RowOf(current);
    if (row < 0)
        row = qMin(m_model->Shown().RowAfter(current), m_model->rowCount() - 1);
    const int column = m_viewingOriginal ? TMessageGridModel::OriginalColumn : TMessageGridModel::TextColumn;
    setCurrentIndex(m_model->index(qMax(row, 0), column));
    FormResize();
    SetCurrentModelRow(qMax(row, 0));
    viewport()->update();
    verticalHeader()->viewport()->update();
}

void TMessageGrid::RepaintMessage(int index)
{
    m_model->MessageChanged(index);
}

int TMessageGrid::RowHeight() const
{
    return m_normalFontSize * 2;
}

void TMessageGrid::ApplyFonts(const TFontRecord &normal, const TFontRecord &title, const TFontRecord &origin,
                              const TFontRecord &changed)
{
    m_model->SetFonts(normal, title, origin, changed);
    setFont(m_model->NormalFont().Font);
    // ToQFont makes a size below 1 point 1 point; the rows follow it.
    m_normalFontSize = qMax(normal.Size, 1);
    verticalHeader()->setDefaultSectionSize(RowHeight());
    horizontalHeader()->setFixedHeight(RowHeight());
    FormResize();
    viewport()->update();
    verticalHeader()->viewport()->update();
    horizontalHeader()->viewport()->update();
    if (m_corner != nullptr)
        m_corner->update();
}

void TMessageGrid::FormResize()
{
    // Sizing the columns moves the viewport (a new ID column width, the
    // vertical scroll bar coming or going), which resizes it and comes back
    // here; the outer call sizes again until the width holds.
    if (m_inFormResize)
        return;
    const QScopedValueRollback<bool> guard(m_inFormResize, true);

    const QFontMetrics metrics(m_model->NormalFont().Font, this);
    const int idWidth = qMax(metrics.horizontalAdvance(QStringLiteral("00000 ")),
                             metrics.horizontalAdvance(GetMsg(QStringLiteral("IdTitle"))));
    if (verticalHeader()->width() != idWidth || verticalHeader()->minimumWidth() != idWidth) {
        verticalHeader()->setFixedWidth(idWidth);
        QTableView::updateGeometries(); // places the viewport beside the new ID column
    }
    constexpr int MaxPasses = 3;
    for (int pass = 0; pass < MaxPasses; ++pass) {
        const int width = viewport()->width();
        if (m_sideBySide) {
            setColumnWidth(TMessageGridModel::OriginalColumn, width / 2);
            setColumnWidth(TMessageGridModel::TextColumn, width - width / 2);
        } else {
            setColumnWidth(TMessageGridModel::OriginalColumn, (width * 3 + 2) / 4);
            setColumnWidth(TMessageGridModel::TextColumn, width);
        }
        ApplyViewOriginal();
        if (viewport()->width() == width)
            break;
    }
}

void TMessageGrid::SetSideBySide(bool value)
{
    if (m_sideBySide == value)
        return;
    m_sideBySide = value;
    FormResize();
    viewport()->update();
}

void TMessageGrid::SetViewingOriginal(bool value)
{
    SetViewingOriginalState(value);
    ApplyViewOriginal();
}

void TMessageGrid::SetViewingOriginalState(bool value)
{
    if (m_viewingOriginal == value)
        return;
    m_viewingOriginal = value;
    emit ViewingOriginalChanged(value);
}

void TMessageGrid::ApplyViewOriginal()
{
    const QScopedValueRollback<bool> syncing(SyncingView, true);
    const int column = m_viewingOriginal ? TMessageGridModel::OriginalColumn : TMessageGridModel::TextColumn;
    // The scroll range after the latest column widths, then the leftmost
    // column, then the current cell in it. The current column is the wanted
    // one even where the range does not reach it yet (a grid not laid out):
    // the next resize scrolls there.
    QTableView::updateGeometries();
    horizontalScrollBar()->setValue(m_sideBySide ? 0 : column);
    SyncColumnOffset();
    setCurrentIndex(m_model->index(CurrentModelRow(), column));
}

void TMessageGrid::AlignColumnsToCurrent()
{
    // Side by side both text columns are on the screen: nothing scrolls.
    const QModelIndex current = currentIndex();
    const int leftmost = m_sideBySide || !current.isValid() ? 0 : current.column();
    if (horizontalScrollBar()->value() != leftmost)
        horizontalScrollBar()->setValue(leftmost);
    SyncColumnOffset();
}

void TMessageGrid::SyncColumnOffset()
{
    // The view moves its columns only when the scroll position changes; new
    // column widths at the same position must move them too.
    const int offset = horizontalHeader()->sectionPosition(horizontalScrollBar()->value());
    if (offset < 0 || horizontalHeader()->offset() == offset)
        return;
    horizontalHeader()->setOffset(offset);
    viewport()->update();
}

void TMessageGrid::GridTopLeftChanged()
{
    if (SyncingView)
        return;
    SetViewingOriginalState(CurrentColumn() == OriginalColumn);
}

void TMessageGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    // A click makes a cell current without scrolling; the column that holds
    // the current cell is always the leftmost.
    AlignColumnsToCurrent();
    // Side by side nothing scrolls when the current cell changes column:
    // the view-original state follows the column here.
    if (m_sideBySide)
        GridTopLeftChanged();
}

void TMessageGrid::updateGeometries()
{
    QTableView::updateGeometries();
    AlignColumnsToCurrent();
}

bool TMessageGrid::GridKeyDown(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Home:
        SetCurrentModelRow(0);
        return true;
    case Qt::Key_End:
        SetCurrentModelRow(m_model->rowCount() - 1);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Only a row that shows a message can be edited.
        if (CurrentMessage() >= 0)
            emit EditRequested(CurrentMessage());
        return true;
    default:
        return false;
    }
}

void TMessageGrid::keyPressEvent(QKeyEvent *event)
{
    if (GridKeyDown(event)) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void TMessageGrid::keyboardSearch(const QString &)
{
    // Typing does not move the current cell.
}

void TMessageGrid::mousePressEvent(QMouseEvent *event)
{
    // Only the left button moves the current cell.
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    const QModelIndex index = indexAt(event->position().toPoint());
    DownCol = index.isValid() ? index.column() + 1 : -1;
    DownRow = index.isValid() ? index.row() + 1 : -1;
    QTableView::mousePressEvent(event);
}

void TMessageGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    // The second press of a double-click counts as a press too.
    const QModelIndex index = indexAt(event->position().toPoint());
    DownCol = index.isValid() ? index.column() + 1 : -1;
    DownRow = index.isValid() ? index.row() + 1 : -1;
    QTableView::mouseDoubleClickEvent(event);
    if (DownCol > 0 && DownRow > 0 && CurrentMessage() >= 0)
        emit EditRequested(CurrentMessage());
}

void TMessageGrid::wheelEvent(QWheelEvent *event)
{
    // Only the rows scroll: a sideways wheel would move the text columns
    // away from the current cell.
    if (qAbs(event->angleDelta().x()) > qAbs(event->angleDelta().y())) {
        event->ignore();
        return;
    }
    QTableView::wheelEvent(event);
}

bool TMessageGrid::viewportEvent(QEvent *event)
{
    const bool result = QTableView::viewportEvent(event);
    if (event->type() == QEvent::Resize)
        FormResize();
    return result;
}

bool TMessageGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_corner && event->type() == QEvent::Paint) {
        PaintCorner(m_corner);
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

void TMessageGrid::PaintCorner(QAbstractButton *corner) const
{
    QPainter painter(corner);
    PaintFixedCell(painter, corner->rect(), GetMsg(QStringLiteral("IdTitle")), m_model->TitleFont(), palette(),
                   GridLineColor(*this));
}
