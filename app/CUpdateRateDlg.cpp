#include "CUpdateRateDlg.h"

#include "CDataExchange.h"
#include "Resource.h"

CUpdateRateDlg::CUpdateRateDlg(CWnd* pParent)
    : CDialog(IDD_UPDATE_RATE, pParent)
{
}

void CUpdateRateDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, static_cast<int>(IDC_UPDATE_RATE), m_nUpdateRate);
    DDV_MinMaxUInt(pDX, m_nUpdateRate, kMinRate, kMaxRate);
}
