#pragma once
// The template of a document type with any number of open documents,
// each in its own MDI child frame.

#include "CDocTemplate.h"

class CMultiDocTemplate : public CDocTemplate {
    DECLARE_DYNAMIC(CMultiDocTemplate)
public:
    CMultiDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
                      const CRuntimeClass* pViewClass);
    CMultiDocTemplate(UINT nIDResource, DocFactory docFactory, FrameFactory frameFactory, ViewFactory viewFactory);
    ~CMultiDocTemplate() override;

    CDocument* OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible = TRUE) override;
    // The document name followed by a running number from 1 ("Doc1").
    void SetDefaultTitle(CDocument* pDocument) override;

protected:
    UINT m_nUntitledCount = 0;
};
