#pragma once
// Help > About Tarvex.

#include "CDialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
