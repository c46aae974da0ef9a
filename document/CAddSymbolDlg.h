#pragma once
// Edit > Add...: asks for one ticker symbol.

#include "CDialog.h"
#include "CString.h"

class CAddSymbolDlg : public CDialog {
public:
    explicit CAddSymbolDlg(CWnd* pParent = nullptr);

    // Longest symbol the box accepts.
    static constexpr int kMaxSymbolLength = 6;

    CString m_strSymbol;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
