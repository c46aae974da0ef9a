#include "DirectListFill.h"

#include "AfxWin.h"
#include "CRowList.h"
#include "CStringList.h"

#include <QHeaderView>
#include <QList>
#include <QStandardItem>

namespace {

constexpr int kColumnWidth = 80;
constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;

} // namespace

DirectListFill::DirectListFill() : m_pTree(std::make_unique<QTreeView>())
{
    // The same view settings the list control uses.
    m_pTree->setRootIsDecorated(false);
    m_pTree->setItemsExpandable(false);
    m_pTree->setUniformRowHeights(true);
    m_pTree->setAllColumnsShowFocus(true);
    m_pTree->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_pTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTree->header()->setStretchLastSection(false);
    m_pTree->header()->setSectionsMovable(false);
    m_pTree->header()->setSectionResizeMode(QHeaderView::Interactive);
    m_pTree->setModel(&m_model);
}

DirectListFill::~DirectListFill()
{
    m_pTree->setModel(nullptr);
}

void DirectListFill::Fill(const CRowList& rowList, bool bPaintEmptied)
{
    m_model.clear();
    if (bPaintEmptied) {
        m_pTree->repaint();
        m_pTree->viewport()->repaint();
    }
    POSITION pos = rowList.GetHeadPosition();
    if (pos == nullptr)
        return;

    const CStringList* pHeadings = rowList.GetNext(pos);
    QStringList headings;
    for (POSITION cell = pHeadings->GetHeadPosition(); cell != nullptr;)
        headings << AfxToQString(pHeadings->GetNext(cell));
    m_model.setHorizontalHeaderLabels(headings);
    for (int nColumn = 0; nColumn < headings.size(); ++nColumn) {
        m_model.horizontalHeaderItem(nColumn)->setTextAlignment(kRight);
        m_pTree->header()->resizeSection(nColumn, kColumnWidth);
    }

    while (pos != nullptr) {
        const CStringList* pRow = rowList.GetNext(pos);
        QList<QStandardItem*> items;
        items.reserve(pRow->GetCount());
        for (POSITION cell = pRow->GetHeadPosition(); cell != nullptr;) {
            auto* pItem = new QStandardItem(AfxToQString(pRow->GetNext(cell)));
            pItem->setTextAlignment(kRight);
            pItem->setEditable(false);
            items << pItem;
        }
        m_model.appendRow(items);
    }
}
