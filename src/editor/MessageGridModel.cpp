#include "editor/MessageGridModel.h"

#include "editor/EditSession.h"
#include "editor/GridText.h"
#include "platform/CodePages.h"
#include "settings/QtFonts.h"
#include "translation/Placeholders.h"
#include "uitext/Format.h"
#include "uitext/MsgRes.h"

#include <QStringList>

namespace {

TGridFont ToGridFont(const TFontRecord &font)
{
    return {ToQFont(font), ToQColor(font.Color)};
}

} // namespace

QString GridCodeText(quint32 code)
{
    return Format(QStringLiteral("%5.5x"), {code});
}

TMessageGridModel::TMessageGridModel(const TEditSession &session, QObject *parent)
    : QAbstractTableModel(parent),
      m_session(session)
{
    SetFonts(DefaultNamedFont(QStringLiteral("NormalFont")), DefaultNamedFont(QStringLiteral("TitleFont")),
             DefaultNamedFont(QStringLiteral("OriginFont")), DefaultNamedFont(QStringLiteral("ChangedFont")));
    m_shown.ShowAll(m_session.Count());
    m_rowCount = qMax(m_shown.Count(), 1);
}

int TMessageGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int TMessageGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

bool TMessageGridModel::HasMessage(int row) const
{
    return row >= 0 && row < m_shown.Count() && m_shown.MessageAt(row) < m_session.Count();
}

int TMessageGridModel::MessageAt(int row) const
{
    return HasMessage(row) ? m_shown.MessageAt(row) : -1;
}

int TMessageGridModel::RowOf(int index) const
{
    return index < m_session.Count() ? m_shown.RowOf(index) : -1;
}

QVariant TMessageGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return CellText(index);
    case Qt::FontRole:
        return CellFont(index).Font;
    case Qt::ForegroundRole:
        return CellFont(index).Color;
    default:
        return {};
    }
}

QString TMessageGridModel::CellText(const QModelIndex &index) const
{
    const int message = MessageAt(index.row());
    if (message < 0)
        return {};
    QByteArray buffer;
    return AnsiToUnicode(GridCellBytes(m_session, message, index.column() == OriginalColumn, buffer));
}

const TGridFont &TMessageGridModel::CellFont(const QModelIndex &index) const
{
    if (index.column() == OriginalColumn)
        return m_originFont;
    const int message = MessageAt(index.row());
    if (message >= 0 && m_session.IsChanged(message))
        return m_changedFont;
    return m_normalFont;
}

bool TMessageGridModel::HasProblemMark(const QModelIndex &index) const
{
    const int message = MessageAt(index.row());
    return index.column() == TextColumn && message >= 0 && m_session.Status().HasProblem(message);
}

bool TMessageGridModel::HasReviewMark(const QModelIndex &index) const
{
    const int message = MessageAt(index.row());
    return index.column() == TextColumn && message >= 0 && m_session.Status().NeedsReview(message);
}

QString TMessageGridModel::CellToolTip(const QModelIndex &index, bool cutOff) const
{
    const int message = MessageAt(index.row());
    if (message < 0)
        return {};
    QStringList parts;
    if (HasProblemMark(index)) {
        const TPlaceholderProblem problem =
            FindPlaceholderProblem(m_session.TextView(message, true), m_session.TextView(message, false));
        parts << DescribePlaceholderProblem(problem);
    }
    if (HasReviewMark(index)) {
        const std::optional<QByteArray> previous = m_session.ReviewMarks().PreviousOriginal(*m_session.Messages(), message);
        parts << Format(GetMsg(QStringLiteral("ReviewToolTip")), {AnsiToUnicode(previous.value_or(QByteArray()))});
    }
    if (cutOff) {
        const bool original = index.column() == OriginalColumn;
        const QByteArrayView text = m_session.TextView(message, original);
        const bool oem = original ? m_session.OriginalOem(message) : m_session.Messages()->Oem(message);
        parts << (oem ? OemToUnicode(text) : AnsiToUnicode(text));
    }
    return parts.join(QLatin1Char('\n'));
}

QVariant TMessageGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    const TGridFont &font = orientation == Qt::Horizontal ? m_titleFont : m_normalFont;
    switch (role) {
    case Qt::DisplayRole:
        if (orientation == Qt::Horizontal)
            return GetMsg(section == OriginalColumn ? QStringLiteral("OriginalTitle") : QStringLiteral("StrTitle"));
        if (!HasMessage(section))
            return QString();
        return GridCodeText(m_session.Messages()->Codes(MessageAt(section)));
    case Qt::FontRole:
        return font.Font;
    case Qt::ForegroundRole:
        return font.Color;
    default:
        return {};
    }
}

Qt::ItemFlags TMessageGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void TMessageGridModel::Refresh()
{
    SetFilter(m_shown.Filter());
}

void TMessageGridModel::SetFilter(TMessageFilter filter)
{
    beginResetModel();
    if (filter == TMessageFilter::All)
        m_shown.ShowAll(m_session.Count());
    else
        m_shown.Pick(filter, m_session.Status());
    m_rowCount = qMax(m_shown.Count(), 1);
    endResetModel();
}

void TMessageGridModel::MessageChanged(int message)
{
    const int row = RowOf(message);
    if (row < 0 || row >= m_rowCount)
        return;
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

void TMessageGridModel::SetFonts(const TFontRecord &normal, const TFontRecord &title, const TFontRecord &origin,
                                 const TFontRecord &changed)
{
    m_normalFont = ToGridFont(normal);
    m_titleFont = ToGridFont(title);
    m_originFont = ToGridFont(origin);
    m_changedFont = ToGridFont(changed);
    if (m_rowCount > 0)
        emit dataChanged(index(0, 0), index(m_rowCount - 1, ColumnCount - 1), {Qt::FontRole, Qt::ForegroundRole});
    // The codes' header is repainted by the view: a change notice over every
    // row would make the header visit them all.
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}
