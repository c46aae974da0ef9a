#include "CView.h"

#include "CDC.h"
#include "CDocTemplate.h"
#include "CDocument.h"
#include "CFrameWnd.h"

#include <QPaintEvent>
#include <QPainter>

namespace {

// The widget of a plain view: it paints through the view's OnDraw.
class CViewWidget : public QWidget {
public:
    CViewWidget(CView* pView, QWidget* pParent) : QWidget(pParent), m_pView(pView)
    {
        setFocusPolicy(Qt::StrongFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        CDC dc(&painter);
        m_pView->OnDraw(&dc);
    }

private:
    CView* m_pView;
};

} // namespace

IMPLEMENT_DYNAMIC(CView, CWnd)

BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

CView::CView() = default;

CView::~CView()
{
    if (CFrameWnd* pFrame = GetParentFrame()) {
        if (pFrame->GetActiveView() == this)
            pFrame->SetActiveView(nullptr, FALSE);
    }
    DetachFromDocument();
}

void CView::DetachFromDocument()
{
    CDocument* pDoc = m_pDocument;
    if (pDoc == nullptr)
        return;
    pDoc->RemoveView(this);
    m_pDocument = nullptr;
    // A document that the template made lives as long as it has a view.
    if (pDoc->GetViewCount() == 0) {
        if (CDocTemplate* pTemplate = pDoc->GetDocTemplate())
            pTemplate->OnLastViewRemoved(pDoc);
    }
}

BOOL CView::PreCreateWindow(CREATESTRUCT& cs)
{
    return CWnd::PreCreateWindow(cs);
}

QWidget* CView::CreateWidget(const CREATESTRUCT&, QWidget* pParent)
{
    return new CViewWidget(this, pParent);
}

int CView::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    auto* pContext = static_cast<CCreateContext*>(lpcs->lpCreateParams);
    if (pContext != nullptr && pContext->m_pCurrentDoc != nullptr && m_pDocument == nullptr) {
        pContext->m_pCurrentDoc->AddView(this);
        m_pDocument = pContext->m_pCurrentDoc;
    }
    return 0;
}

void CView::PostNcDestroy()
{
    if (m_bAutoDelete)
        delete this;
}

void CView::OnInitialUpdate()
{
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView*, LPARAM, CObject*)
{
    Invalidate(TRUE);
}

void CView::OnDraw(CDC*)
{
}

void CView::OnActivateView(BOOL, CView*, CView*)
{
}

void CView::GetCommandRoute(std::vector<CCmdTarget*>& route)
{
    route.push_back(this);
    if (m_pDocument != nullptr)
        m_pDocument->GetCommandRoute(route);
}
