#pragma once
// The item model behind CListCtrl: columns (heading, format, width) and
// lines of cell texts by sub-item index. Cell changes are announced in
// one dataChanged per turn of the event loop.

#include <QAbstractTableModel>
#include <QString>

#include <vector>

class CListCtrlModel : public QAbstractTableModel {
public:
    struct Column {
        QString heading;
        int nFormat = 0;
        int nWidth = 0;
    };
    struct Line {
        std::vector<QString> cells; // by sub-item; may be longer than the columns
        long long data = 0;
    };

    CListCtrlModel();
    ~CListCtrlModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    const std::vector<Column>& Columns() const { return m_columns; }
    const std::vector<Line>& Lines() const { return m_lines; }

    void InsertColumn(int nCol, Column column);
    void RemoveColumn(int nCol);
    void InsertLine(int nItem, Line line);
    void RemoveLine(int nItem);
    void RemoveAllLines();
    void SetCell(int nItem, int nSubItem, const QString& text);
    void SetLineData(int nItem, long long data);
    // Sends the pending dataChanged now.
    void Flush();

private:
    void ScheduleFlush();

    std::vector<Column> m_columns;
    std::vector<Line> m_lines;
    bool m_bDirty = false;
    bool m_bFlushScheduled = false;
};
