#include "CListCtrlModel.h"

#include "AfxWin.h"

#include <QTimer>

CListCtrlModel::CListCtrlModel() = default;
CListCtrlModel::~CListCtrlModel() = default;

int CListCtrlModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_lines.size());
}

int CListCtrlModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

static Qt::Alignment AlignmentOf(int nFormat)
{
    switch (nFormat & LVCFMT_JUSTIFYMASK) {
    case LVCFMT_RIGHT:
        return Qt::AlignRight | Qt::AlignVCenter;
    case LVCFMT_CENTER:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

QVariant CListCtrlModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    if (role == Qt::DisplayRole) {
        const Line& line = m_lines[static_cast<size_t>(index.row())];
        const size_t col = static_cast<size_t>(index.column());
        return col < line.cells.size() ? line.cells[col] : QString();
    }
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(AlignmentOf(m_columns[static_cast<size_t>(index.column())].nFormat));
    return {};
}

QVariant CListCtrlModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    const Column& column = m_columns[static_cast<size_t>(section)];
    if (role == Qt::DisplayRole)
        return column.heading;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(AlignmentOf(column.nFormat));
    return {};
}

Qt::ItemFlags CListCtrlModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void CListCtrlModel::InsertColumn(int nCol, Column column)
{
    Flush();
    beginInsertColumns(QModelIndex(), nCol, nCol);
    m_columns.insert(m_columns.begin() + nCol, std::move(column));
    endInsertColumns();
}

void CListCtrlModel::RemoveColumn(int nCol)
{
    Flush();
    beginRemoveColumns(QModelIndex(), nCol, nCol);
    m_columns.erase(m_columns.begin() + nCol);
    // Sub-items follow their columns.
    for (Line& line : m_lines) {
        if (static_cast<size_t>(nCol) < line.cells.size())
            line.cells.erase(line.cells.begin() + nCol);
    }
    endRemoveColumns();
}

void CListCtrlModel::InsertLine(int nItem, Line line)
{
    Flush();
    beginInsertRows(QModelIndex(), nItem, nItem);
    m_lines.insert(m_lines.begin() + nItem, std::move(line));
    endInsertRows();
}

void CListCtrlModel::RemoveLine(int nItem)
{
    Flush();
    beginRemoveRows(QModelIndex(), nItem, nItem);
    m_lines.erase(m_lines.begin() + nItem);
    endRemoveRows();
}

void CListCtrlModel::RemoveAllLines()
{
    m_bDirty = false; // nothing left to announce
    if (m_lines.empty())
        return;
    // Removing rows (not a reset) keeps the columns and their widths.
    beginRemoveRows(QModelIndex(), 0, static_cast<int>(m_lines.size()) - 1);
    m_lines.clear();
    endRemoveRows();
}

void CListCtrlModel::SetCell(int nItem, int nSubItem, const QString& text)
{
    std::vector<QString>& cells = m_lines[static_cast<size_t>(nItem)].cells;
    if (cells.size() <= static_cast<size_t>(nSubItem))
        cells.resize(static_cast<size_t>(nSubItem) + 1);
    cells[static_cast<size_t>(nSubItem)] = text;
    if (nSubItem < columnCount())
        ScheduleFlush();
}

void CListCtrlModel::SetLineData(int nItem, long long data)
{
    m_lines[static_cast<size_t>(nItem)].data = data;
}

void CListCtrlModel::ScheduleFlush()
{
    m_bDirty = true;
    if (m_bFlushScheduled)
        return;
    m_bFlushScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_bFlushScheduled = false;
        Flush();
    });
}

void CListCtrlModel::Flush()
{
    if (!m_bDirty)
        return;
    m_bDirty = false;
    if (!m_lines.empty() && !m_columns.empty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), { Qt::DisplayRole });
}
