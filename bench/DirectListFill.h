#pragma once
// The direct way to show a Row table in the widget the list control is
// made of: a QTreeView on a QStandardItemModel, filled with the same texts
// and the same column format (right-aligned, 80 pixels) that the quote
// list view gives them. What a Qt programmer would write without the list
// control layer in between.

#include <QStandardItemModel>
#include <QTreeView>

#include <memory>

class CRowList;

class DirectListFill {
public:
    DirectListFill();
    ~DirectListFill();
    DirectListFill(const DirectListFill&) = delete;
    DirectListFill& operator=(const DirectListFill&) = delete;

    QTreeView& View() { return *m_pTree; }

    // Empties the list, then puts the first row in as headings and every
    // further row as one line. With bPaintEmptied the emptied list is
    // painted at once before it fills, as the quote list view does.
    void Fill(const CRowList& rowList, bool bPaintEmptied = false);

private:
    std::unique_ptr<QTreeView> m_pTree;
    QStandardItemModel m_model;
};
