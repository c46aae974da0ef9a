#include "CAboutDlg.h"

#include "Resource.h"

CAboutDlg::CAboutDlg()
    : CDialog(IDD_ABOUTBOX)
{
}

void CAboutDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
}
