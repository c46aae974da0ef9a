#pragma once
// A view: the window that shows a document inside a frame. Commands sent
// to a view go to the view, then to its document.
//
// A view can exist without a window (no Create): it can then be attached
// to a document and receive OnUpdate, which is how plain document tests
// use a fake view. The document template creates real views, inside their
// frames, and deletes them with their windows.

#include "CWnd.h"

#include <functional>

class CDC;
class CDocument;
class CFrameWnd;

// What the document template passes to the frame it creates and the frame
// to the view it creates (through CREATESTRUCT::lpCreateParams).
struct CCreateContext {
    // The view to create: the factory when set, else the run-time class.
    std::function<class CView*()> m_pfnCreateView;
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    class CDocTemplate* m_pNewDocTemplate = nullptr;
    class CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
public:
    CView();
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }

    // Called once after the frame is created and the document is loaded.
    // The default updates the view from the document.
    virtual void OnInitialUpdate();
    // The document changed; the default repaints the view.
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
    // Paints the view; the default draws nothing.
    virtual void OnDraw(CDC* pDC);
    // The view became (bActivate TRUE) or stopped being the active view.
    virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // The view, then its document.
    void GetCommandRoute(std::vector<CCmdTarget*>& route) override;

    // Views are heap objects owned by their window: destroying the window
    // deletes the view. Clear this for a view that lives elsewhere.
    BOOL m_bAutoDelete = TRUE;

protected:
    // Creates the widget that paints through OnDraw; list views and other
    // control views override it.
    QWidget* CreateWidget(const CREATESTRUCT& cs, QWidget* pParent) override;
    void PostNcDestroy() override;

    // Attaches the view to the document named by the creation context.
    int OnCreate(LPCREATESTRUCT lpcs);

    DECLARE_MESSAGE_MAP()

protected:
    CDocument* m_pDocument = nullptr;

private:
    friend class CDocument;
    void DetachFromDocument();
};
