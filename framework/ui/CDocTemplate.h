#pragma once
// A document type: how to make its documents, their frames and views, and
// its document string (seven fields separated by "\n": window title,
// document name, file-new name, filter name, filter extension, file type
// id, file type name). The template keeps its documents in creation order;
// a document it made is deleted when its last view goes away.
//
// Documents, frames and views are made either from run-time classes
// (DECLARE_DYNCREATE) or from factories:
//
//   new CMultiDocTemplate(IDR_MYTYPE, RUNTIME_CLASS(CMyDoc), RUNTIME_CLASS(CChildFrame), RUNTIME_CLASS(CMyView));
//   new CMultiDocTemplate(IDR_MYTYPE, AfxFactory<CMyDoc>(), AfxFactory<CChildFrame>(), AfxFactory<CMyView>());

#include "CCmdTarget.h"
#include "CObList.h"
#include "CString.h"

#include <functional>

class CDocument;
class CFrameWnd;
class CView;

// A factory that makes a T with new, for the template constructors.
template <class T>
std::function<T*()> AfxFactory()
{
    return [] { return new T; };
}

class CDocTemplate : public CCmdTarget {
    DECLARE_DYNAMIC(CDocTemplate)
public:
    enum DocStringIndex {
        windowTitle,
        docName,
        fileNewName,
        filterName,
        filterExt,
        regFileTypeId,
        regFileTypeName,
    };

    enum Confidence {
        noAttempt,
        maybeAttemptForeign,
        maybeAttemptNative,
        yesAttemptForeign,
        yesAttemptNative,
        yesAlreadyOpen,
    };

    using DocFactory = std::function<CDocument*()>;
    using FrameFactory = std::function<CFrameWnd*()>;
    using ViewFactory = std::function<CView*()>;

    ~CDocTemplate() override;

    UINT GetResourceID() const { return m_nIDResource; }
    // One field of the document string; FALSE and empty when it is empty
    // or missing.
    virtual BOOL GetDocString(CString& rString, DocStringIndex index) const;
    // Reads the document string (the string resource of the template's
    // id); called by AddDocTemplate.
    virtual void LoadTemplate();

    virtual POSITION GetFirstDocPosition() const;
    virtual CDocument* GetNextDoc(POSITION& rPos) const;
    int GetDocumentCount() const { return m_docList.GetCount(); }

    virtual void AddDocument(CDocument* pDoc);
    virtual void RemoveDocument(CDocument* pDoc);

    // A new document, already in the list, or nullptr.
    virtual CDocument* CreateNewDocument();
    // A new frame with a view on pDoc (pOther: the frame to take the view
    // class from, for Window > New Window), or nullptr. The frame is not
    // shown yet.
    virtual CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther);
    // Sends OnInitialUpdate to the frame's views and shows the frame.
    virtual void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE);

    // nullptr: a new, untitled document. A path: that file opened. Either
    // way in a new frame. Failures are shown in a message box and give
    // nullptr (no document, no frame).
    virtual CDocument* OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible = TRUE) = 0;
    // Gives a new document its title (document name plus running number).
    virtual void SetDefaultTitle(CDocument* pDocument) = 0;

    // How well a file fits this type; yesAlreadyOpen with rpDocMatch set
    // when one of the template's documents has that path.
    virtual Confidence MatchDocType(LPCSTR lpszPathName, CDocument*& rpDocMatch);

    // Closes every document: their frames go, and the documents with them.
    virtual void CloseAllDocuments(BOOL bEndSession);
    // Closes one document: destroys the frames of its views and deletes it.
    virtual void CloseDocument(CDocument* pDoc);

    // Called when a view leaves a document it made and no view is left:
    // the document is removed and deleted (unless it is being opened).
    void OnLastViewRemoved(CDocument* pDoc);

protected:
    CDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
                 const CRuntimeClass* pViewClass);
    CDocTemplate(UINT nIDResource, DocFactory docFactory, FrameFactory frameFactory, ViewFactory viewFactory);

    UINT m_nIDResource;
    DocFactory m_docFactory;
    FrameFactory m_frameFactory;
    ViewFactory m_viewFactory;
    CString m_strDocStrings;
    CObList m_docList;
    // Documents being built by OpenDocumentFile are not closed when a
    // half-made frame goes away; the caller cleans up.
    CDocument* m_pDocInConstruction = nullptr;
};
