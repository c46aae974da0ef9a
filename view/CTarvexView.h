#pragma once
// The quote list: a quote page's Row table as a report, the first Quote
// row as column headings and every further row as one line. The view keeps
// nothing of its own; every update rebuilds the list from the document.

#include "CListView.h"

class CTarvexDoc;

class CTarvexView : public CListView {
    DECLARE_DYNCREATE(CTarvexView)
public:
    CTarvexView();
    ~CTarvexView() override;

    CTarvexDoc* GetDocument() const;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    void OnDraw(CDC* pDC) override;

    static constexpr int kColumnWidth = 80;

    // Delete Symbol: removes the symbols of the selected lines from the
    // page, then refreshes it.
    void OnEditDelete();
    void OnUpdateEditDelete(CCmdUI* pCmdUI);

protected:
    DECLARE_MESSAGE_MAP()
};
