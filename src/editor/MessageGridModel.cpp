#include "editor/MessageGridModel.h"

#include "editor/EditSession.h"
#include "editor/GridText.h"
#include "platform/CodePages.h"
#include "settings/QtFonts.h"
#include "uitext/Format.h"
#include "uitext/MsgRes.h"

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
    m_rowCount = qMax(m_session.Count(), 1);
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
    return row >= 0 && row < m_session.Count();
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
    const int row = index.row();
    if (!HasMessage(row))
        return {};
    QByteArray buffer;
    return AnsiToUnicode(GridCellBytes(m_session, row, index.column() == OriginalColumn, buffer));
}

const TGridFont &TMessageGridModel::CellFont(const QModelIndex &index) const
{
    if (index.column() == OriginalColumn)
        return m_originFont;
    if (HasMessage(index.row()) && m_session.IsChanged(index.row()))
        return m_changedFont;
    return m_normalFont;
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
        return GridCodeText(m_session.Messages()->Codes(section));
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
    beginResetModel();
    m_rowCount = qMax(m_session.Count(), 1);
    endResetModel();
}

void TMessageGridModel::RowChanged(int row)
{
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
