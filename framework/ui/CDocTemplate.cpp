#include "CDocTemplate.h"

#include "AfxRes.h"
#include "AfxResources.h"
#include "CDocument.h"
#include "CFrameWnd.h"
#include "CView.h"

#include <QFileInfo>

namespace {

template <class T>
std::function<T*()> FromRuntimeClass(const CRuntimeClass* pClass)
{
    if (pClass == nullptr)
        return {};
    return [pClass]() -> T* {
        CObject* p = pClass->CreateObject();
        T* result = dynamic_cast<T*>(p);
        if (result == nullptr)
            delete p;
        return result;
    };
}

QString CanonicalPath(LPCSTR lpszPath)
{
    const QFileInfo info(AfxToQString(lpszPath));
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

} // namespace

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)

CDocTemplate::CDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
                           const CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, FromRuntimeClass<CDocument>(pDocClass), FromRuntimeClass<CFrameWnd>(pFrameClass),
                   FromRuntimeClass<CView>(pViewClass))
{
}

CDocTemplate::CDocTemplate(UINT nIDResource, DocFactory docFactory, FrameFactory frameFactory,
                           ViewFactory viewFactory)
    : m_nIDResource(nIDResource), m_docFactory(std::move(docFactory)), m_frameFactory(std::move(frameFactory)),
      m_viewFactory(std::move(viewFactory))
{
    LoadTemplate();
}

CDocTemplate::~CDocTemplate()
{
    CloseAllDocuments(TRUE);
}

void CDocTemplate::LoadTemplate()
{
    if (m_strDocStrings.IsEmpty())
        AfxLoadString(m_nIDResource, m_strDocStrings);
}

BOOL CDocTemplate::GetDocString(CString& rString, DocStringIndex index) const
{
    rString.Empty();
    int start = 0;
    for (int i = 0; i < static_cast<int>(index); ++i) {
        const int nl = m_strDocStrings.Find('\n', start);
        if (nl < 0)
            return FALSE;
        start = nl + 1;
    }
    const int end = m_strDocStrings.Find('\n', start);
    rString = end < 0 ? m_strDocStrings.Mid(start) : m_strDocStrings.Mid(start, end - start);
    return rString.IsEmpty() ? FALSE : TRUE;
}

POSITION CDocTemplate::GetFirstDocPosition() const
{
    return m_docList.GetHeadPosition();
}

CDocument* CDocTemplate::GetNextDoc(POSITION& rPos) const
{
    return static_cast<CDocument*>(m_docList.GetNext(rPos));
}

void CDocTemplate::AddDocument(CDocument* pDoc)
{
    if (pDoc == nullptr || m_docList.Find(pDoc) != nullptr)
        return;
    m_docList.AddTail(pDoc);
    pDoc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* pDoc)
{
    if (pDoc == nullptr)
        return;
    if (POSITION pos = m_docList.Find(pDoc))
        m_docList.RemoveAt(pos);
    if (pDoc->m_pDocTemplate == this)
        pDoc->m_pDocTemplate = nullptr;
}

CDocument* CDocTemplate::CreateNewDocument()
{
    if (!m_docFactory)
        return nullptr;
    CDocument* pDoc = m_docFactory();
    if (pDoc != nullptr)
        AddDocument(pDoc);
    return pDoc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther)
{
    if (!m_frameFactory)
        return nullptr;
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pfnCreateView = m_viewFactory;
    context.m_pNewDocTemplate = this;
    CFrameWnd* pFrame = m_frameFactory();
    if (pFrame == nullptr)
        return nullptr;
    // Creating the frame must not close the document when a half-made
    // view goes away again; the caller decides.
    CDocument* pPrevious = m_pDocInConstruction;
    m_pDocInConstruction = pDoc;
    const BOOL created = pFrame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context);
    m_pDocInConstruction = pPrevious;
    return created ? pFrame : nullptr; // on failure the frame deleted itself
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible)
{
    pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

CDocTemplate::Confidence CDocTemplate::MatchDocType(LPCSTR lpszPathName, CDocument*& rpDocMatch)
{
    rpDocMatch = nullptr;
    const QString path = CanonicalPath(lpszPathName);
    POSITION pos = GetFirstDocPosition();
    while (pos != nullptr) {
        CDocument* pDoc = GetNextDoc(pos);
        if (!pDoc->GetPathName().IsEmpty() && CanonicalPath(pDoc->GetPathName()) == path) {
            rpDocMatch = pDoc;
            return yesAlreadyOpen;
        }
    }
    CString ext;
    if (GetDocString(ext, filterExt)) {
        const QString name = AfxToQString(lpszPathName);
        if (name.endsWith(AfxToQString(ext), Qt::CaseInsensitive))
            return yesAttemptNative;
    }
    return yesAttemptForeign;
}

void CDocTemplate::CloseDocument(CDocument* pDoc)
{
    if (pDoc == nullptr)
        return;
    // Destroying the frames deletes the views; the last one going closes
    // the document (OnLastViewRemoved). A document without views is
    // closed here.
    for (;;) {
        POSITION pos = pDoc->GetFirstViewPosition();
        if (pos == nullptr)
            break;
        CView* pView = pDoc->GetNextView(pos);
        CFrameWnd* pFrame = pView->GetParentFrame();
        bool othersRemain = false;
        for (POSITION p = pDoc->GetFirstViewPosition(); p != nullptr;) {
            if (pDoc->GetNextView(p)->GetParentFrame() != pFrame)
                othersRemain = true;
        }
        if (pFrame != nullptr && pFrame->GetWidget() != nullptr) {
            pFrame->DestroyWindow();
        } else if (pView->GetWidget() != nullptr) {
            othersRemain = pDoc->GetViewCount() > 1;
            pView->DestroyWindow();
        } else {
            pDoc->RemoveView(pView); // a view without a window stays
            continue;
        }
        if (!othersRemain)
            return; // the document went with its last view
    }
    RemoveDocument(pDoc);
    delete pDoc;
}

void CDocTemplate::CloseAllDocuments(BOOL)
{
    while (!m_docList.IsEmpty()) {
        auto* pDoc = static_cast<CDocument*>(m_docList.GetHead());
        CloseDocument(pDoc);
        // A document that did not leave the list would loop forever.
        if (!m_docList.IsEmpty() && m_docList.GetHead() == pDoc) {
            RemoveDocument(pDoc);
            delete pDoc;
        }
    }
}

void CDocTemplate::OnLastViewRemoved(CDocument* pDoc)
{
    if (pDoc == m_pDocInConstruction || m_docList.Find(pDoc) == nullptr)
        return;
    RemoveDocument(pDoc);
    delete pDoc;
}
