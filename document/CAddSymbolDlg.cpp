#include "CAddSymbolDlg.h"

#include "CDataExchange.h"
#include "Resource.h"

CAddSymbolDlg::CAddSymbolDlg(CWnd* pParent)
    : CDialog(IDD_ADD_SYMBOL, pParent)
{
}

void CAddSymbolDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, static_cast<int>(IDC_SYMBOL), m_strSymbol);
    DDV_MaxChars(pDX, m_strSymbol, kMaxSymbolLength);
}
