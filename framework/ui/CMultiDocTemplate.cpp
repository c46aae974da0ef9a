#include "CMultiDocTemplate.h"

#include "AfxRes.h"
#include "AfxResources.h"
#include "CDocument.h"
#include "CFrameWnd.h"

IMPLEMENT_DYNAMIC(CMultiDocTemplate, CDocTemplate)

CMultiDocTemplate::CMultiDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass,
                                     const CRuntimeClass* pFrameClass, const CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass)
{
}

CMultiDocTemplate::CMultiDocTemplate(UINT nIDResource, DocFactory docFactory, FrameFactory frameFactory,
                                     ViewFactory viewFactory)
    : CDocTemplate(nIDResource, std::move(docFactory), std::move(frameFactory), std::move(viewFactory))
{
}

CMultiDocTemplate::~CMultiDocTemplate() = default;

void CMultiDocTemplate::SetDefaultTitle(CDocument* pDocument)
{
    CString title;
    if (!GetDocString(title, docName))
        AfxLoadString(AFX_IDS_UNTITLED, title);
    CString number;
    number.Format("%u", m_nUntitledCount + 1);
    pDocument->SetTitle(title + number);
}

CDocument* CMultiDocTemplate::OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible)
{
    CDocument* pDoc = CreateNewDocument();
    if (pDoc == nullptr) {
        AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC, MB_ICONEXCLAMATION);
        return nullptr;
    }
    // Load first, so that a file that does not open leaves no window.
    if (lpszPathName == nullptr) {
        SetDefaultTitle(pDoc);
        if (!pDoc->OnNewDocument()) {
            RemoveDocument(pDoc);
            delete pDoc;
            return nullptr;
        }
        ++m_nUntitledCount;
    } else {
        if (!pDoc->OnOpenDocument(lpszPathName)) {
            CString message = pDoc->GetErrorMessage();
            if (message.IsEmpty())
                AfxLoadString(AFX_IDP_FAILED_TO_OPEN_DOC, message);
            RemoveDocument(pDoc);
            delete pDoc;
            AfxMessageBox(message, MB_ICONEXCLAMATION);
            return nullptr;
        }
        pDoc->SetPathName(lpszPathName);
    }

    CFrameWnd* pFrame = CreateNewFrame(pDoc, nullptr);
    if (pFrame == nullptr) {
        // A view that came and went has already left the document.
        if (m_docList.Find(pDoc) != nullptr) {
            RemoveDocument(pDoc);
            delete pDoc;
        }
        AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC, MB_ICONEXCLAMATION);
        return nullptr;
    }
    InitialUpdateFrame(pFrame, pDoc, bMakeVisible);
    return pDoc;
}
