#pragma once
// A document: the data behind one or more views, with a path, a title, a
// modified flag and the file operations the framework's File commands call.
//
// The file operations (OnOpenDocument, OnSaveDocument) report failure by
// returning FALSE and leaving the user-facing text in GetErrorMessage();
// they never open a message box. The File commands built on them (Save,
// Save As, Close: DoSave, DoFileSave, SaveModified) are the user
// interface and show those texts.

#include "CCmdTarget.h"
#include "CString.h"

#include <memory>
#include <vector>

class CArchive;
class CFile;
class CDocTemplate;
class CView;

class CDocument : public CCmdTarget {
    DECLARE_DYNAMIC(CDocument)

public:
    CDocument();
    ~CDocument() override;

    const CString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(LPCSTR lpszTitle);
    const CString& GetPathName() const { return m_strPathName; }
    // Takes the path as an absolute one, the title from its file name and,
    // with bAddToMRU, puts it at the front of the recent-file list.
    virtual void SetPathName(LPCSTR lpszPathName, BOOL bAddToMRU = TRUE);
    void ClearPathName();

    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    virtual BOOL IsModified();
    virtual void SetModifiedFlag(BOOL bModified = TRUE);

    // Views. The document does not own its views; a view adds itself when it
    // is attached and removes itself when it goes away.
    void AddView(CView* pView);
    void RemoveView(CView* pView);
    POSITION GetFirstViewPosition() const;
    CView* GetNextView(POSITION& rPosition) const;
    int GetViewCount() const { return static_cast<int>(m_viewList.size()); }

    // Tells every view but pSender to update itself (CView::OnUpdate).
    void UpdateAllViews(CView* pSender, LPARAM lHint = 0, CObject* pHint = nullptr);

    virtual BOOL OnNewDocument();
    virtual BOOL OnOpenDocument(LPCSTR lpszPathName);
    virtual BOOL OnSaveDocument(LPCSTR lpszPathName);
    virtual void DeleteContents();
    virtual void Serialize(CArchive& ar);

    // The text of the last failure of OnOpenDocument / OnSaveDocument, ready
    // to show ("Unexpected file format.", "%1 was not found." filled in, ...).
    const CString& GetErrorMessage() const { return m_strErrorMessage; }

    // Saves under lpszPathName, or, when it is nullptr or empty, under a
    // name the user picks in the Save As dialog (proposed: the path, or for
    // a page never saved the title cut at its first space, "#", "%", ";",
    // "/" or "\" followed by the template's extension). bReplace: the
    // document takes the new name (else a copy is saved). A failure shows
    // its text in a message box. FALSE when cancelled or failed.
    virtual BOOL DoSave(LPCSTR lpszPathName, BOOL bReplace = TRUE);
    // File Save: under the document's path, or as Save As when it has none.
    virtual BOOL DoFileSave();
    // Before a document closes: when it is modified, asks "Save changes to
    // %1?" and saves on Yes. FALSE when the user cancelled (or the save
    // failed): the document stays open.
    virtual BOOL SaveModified();
    // Closes the document: its frames go, and the document with them.
    virtual void OnCloseDocument();

    // The name that Save As proposes for a document that has no path.
    CString GetDefaultSaveName() const;

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override;

    // File Close, Save and Save As, while a view of the document is active.
    void OnFileClose();
    void OnFileSave();
    void OnFileSaveAs();

    // Makes the CFile that OnSaveDocument writes through, on hFile, the open
    // descriptor of the temporary file at lpszTempPath. It owns hFile from
    // the call on: when it throws or returns nullptr it must have closed it.
    // The default is a plain CFile; a test may return a file that fails.
    virtual std::unique_ptr<CFile> CreateSaveFile(int hFile, LPCSTR lpszTempPath);

    CString m_strErrorMessage;

private:
    friend class CDocTemplate;

    CString m_strTitle;
    CString m_strPathName;
    CDocTemplate* m_pDocTemplate = nullptr;
    BOOL m_bModified = FALSE;
    std::vector<CView*> m_viewList;
};
