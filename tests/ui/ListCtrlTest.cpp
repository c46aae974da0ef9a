// The list control and the list view: operations, return values, view
// type from the style, and painting.
#include "CListCtrl.h"
#include "CListView.h"

#include <QHeaderView>
#include <QPaintEvent>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

struct ListFixture : ::testing::Test {
    CWnd parent;
    CListCtrl list;
    void SetUp() override
    {
        ASSERT_TRUE(parent.CreateEx(0, nullptr, "list", WS_OVERLAPPED, CRect(0, 0, 400, 300), nullptr, 0));
        ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 400, 300), &parent, 1));
    }
    QTreeView* Tree() { return list.GetTreeView(); }
};

TEST_F(ListFixture, ColumnsAndLinesWithTheirResults)
{
    EXPECT_EQ(list.InsertColumn(0, "SYMBOL", LVCFMT_RIGHT, 80, -1), 0);
    EXPECT_EQ(list.InsertColumn(1, "LAST", LVCFMT_RIGHT, 80, -1), 1);
    EXPECT_EQ(list.InsertColumn(7, "CHANGE", LVCFMT_RIGHT, 80, -1), 2); // past the end: appended
    EXPECT_EQ(list.InsertColumn(-1, "X", LVCFMT_RIGHT, 80, -1), -1);
    EXPECT_EQ(list.GetColumnCount(), 3);

    EXPECT_EQ(list.InsertItem(0, ""), 0);
    EXPECT_EQ(list.InsertItem(1, ""), 1);
    EXPECT_EQ(list.InsertItem(9, ""), 2);
    EXPECT_EQ(list.InsertItem(-1, ""), -1);
    EXPECT_EQ(list.GetItemCount(), 3);

    EXPECT_TRUE(list.SetItem(0, 0, LVIF_TEXT, "ABCD", 0, 0, 0, 0));
    EXPECT_TRUE(list.SetItem(0, 1, LVIF_TEXT, "12 1/4", 0, 0, 0, 0));
    EXPECT_TRUE(list.SetItem(0, 2, LVIF_TEXT, "+1/8", 0, 0, 0, 0));
    EXPECT_TRUE(list.SetItem(1, 0, LVIF_TEXT, "WXYZ", 0, 0, 0, 0));
    EXPECT_TRUE(list.SetItem(1, 3, LVIF_TEXT, "extra", 0, 0, 0, 0)); // beyond the columns
    EXPECT_FALSE(list.SetItem(3, 0, LVIF_TEXT, "nope", 0, 0, 0, 0));
    EXPECT_TRUE(list.SetItemText(2, 0, "EFGH"));

    EXPECT_EQ(list.GetItemText(0, 1), "12 1/4");
    EXPECT_EQ(list.GetItemText(1, 2), "");
    EXPECT_EQ(list.GetItemText(1, 3), "extra"); // kept, not shown
    EXPECT_EQ(Tree()->model()->columnCount(), 3);
    EXPECT_EQ(Tree()->model()->index(0, 1).data().toString(), "12 1/4");
    EXPECT_EQ(list.GetItemText(5, 0), "");

    // Deleting column 0 until nothing is left.
    int deleted = 0;
    while (list.DeleteColumn(0))
        ++deleted;
    EXPECT_EQ(deleted, 3);
    EXPECT_EQ(list.GetColumnCount(), 0);
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), -1);
}

TEST_F(ListFixture, ReportStyleShowsRightAlignedColumnsUnderAHeader)
{
    EXPECT_EQ(list.GetStyle() & LVS_TYPEMASK, LVS_ICON);
    list.InsertColumn(0, "SYMBOL", LVCFMT_RIGHT, 80);
    list.InsertColumn(1, "LAST", LVCFMT_RIGHT, 80);
    EXPECT_TRUE(Tree()->isHeaderHidden());
    EXPECT_TRUE(Tree()->isColumnHidden(1)); // icon view: labels only

    list.SetWindowLong(GWL_STYLE, list.GetWindowLong(GWL_STYLE) | static_cast<LONG>(LVS_REPORT));
    EXPECT_FALSE(Tree()->isHeaderHidden());
    EXPECT_FALSE(Tree()->isColumnHidden(1));
    EXPECT_EQ(list.GetColumnWidth(0), 80);
    EXPECT_EQ(list.GetColumnWidth(1), 80);
    const auto align = Tree()->model()->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>();
    EXPECT_TRUE(align & Qt::AlignRight);
    list.InsertItem(0, "A");
    const auto cellAlign = Tree()->model()->index(0, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>();
    EXPECT_TRUE(cellAlign & Qt::AlignRight);
    EXPECT_EQ(Tree()->header()->sectionResizeMode(0), QHeaderView::Interactive);

    // The user's width stays through line changes, not through new columns.
    Tree()->header()->resizeSection(0, 150);
    list.DeleteAllItems();
    EXPECT_EQ(list.GetColumnWidth(0), 150);
}

TEST_F(ListFixture, SeveralLinesCanBeSelected)
{
    list.ModifyStyle(0, LVS_REPORT);
    list.InsertColumn(0, "S", LVCFMT_RIGHT, 80);
    for (int i = 0; i < 5; ++i)
        list.SetItemText(list.InsertItem(i, ""), 0, QString::number(i).toUtf8().constData());
    EXPECT_EQ(Tree()->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(list.GetSelectedCount(), 0u);
    list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    list.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(list.GetSelectedCount(), 2u);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
    EXPECT_EQ(list.GetNextItem(1, LVNI_SELECTED), 3);
    EXPECT_EQ(list.GetNextItem(3, LVNI_SELECTED), -1);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_ALL), 0);
    // A rebuild loses the selection.
    list.DeleteAllItems();
    list.InsertItem(0, "");
    EXPECT_EQ(list.GetSelectedCount(), 0u);
}

// Counts the paint events of one widget.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

TEST_F(ListFixture, LargeRebuildPaintsOnceAndUpdateWindowPaintsAtOnce)
{
    parent.ShowWindow(SW_SHOW);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(parent.GetWidget()));
    list.ModifyStyle(0, LVS_REPORT);
    PaintCounter counter;
    Tree()->viewport()->installEventFilter(&counter);

    for (int col = 0; col < 9; ++col)
        list.InsertColumn(col, "H", LVCFMT_RIGHT, 80);
    for (int line = 0; line < 3000; ++line) {
        list.InsertItem(line, "");
        for (int col = 0; col < 9; ++col)
            list.SetItem(line, col, LVIF_TEXT, "12 1/4", 0, 0, 0, 0);
    }
    EXPECT_EQ(counter.paints, 0); // nothing painted call by call
    QTest::qWait(50);
    EXPECT_LE(counter.paints, 3);
    EXPECT_EQ(Tree()->model()->rowCount(), 3000);

    counter.paints = 0;
    list.DeleteAllItems();
    while (list.DeleteColumn(0)) {
    }
    list.UpdateWindow();
    EXPECT_GE(counter.paints, 1); // painted before returning
    Tree()->viewport()->removeEventFilter(&counter);
}

class QuoteView : public CListView {
public:
    QuoteView() { m_bAutoDelete = FALSE; }
};

TEST(ListView, TheViewIsItsListControl)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, nullptr, WS_OVERLAPPED, CRect(0, 0, 300, 200), nullptr, 0));
    QuoteView view;
    ASSERT_TRUE(view.Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW, CRect(0, 0, 300, 200), &parent, 0xE900));
    CListCtrl& list = view.GetListCtrl();
    EXPECT_EQ(list.GetTreeView(), view.GetWidget());
    EXPECT_EQ(view.GetStyle() & LVS_TYPEMASK, LVS_ICON);
    EXPECT_TRUE(list.GetTreeView()->isHeaderHidden());

    // The style read and written on the view is the list's, and the
    // other way round.
    view.SetWindowLong(GWL_STYLE, view.GetWindowLong(GWL_STYLE) | static_cast<LONG>(LVS_REPORT));
    EXPECT_EQ(list.GetStyle() & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_FALSE(list.GetTreeView()->isHeaderHidden());
    list.ModifyStyle(0, LVS_SINGLESEL);
    EXPECT_NE(view.GetStyle() & LVS_SINGLESEL, 0u);
    EXPECT_EQ(list.GetTreeView()->selectionMode(), QAbstractItemView::SingleSelection);

    list.InsertColumn(0, "A", LVCFMT_RIGHT, 80);
    EXPECT_EQ(list.InsertItem(0, "x"), 0);
    view.UpdateWindow();
    view.DestroyWindow();
    EXPECT_EQ(view.GetWidget(), nullptr);
}

} // namespace
