#pragma once
// Setup > Update Rate: the minutes between two refresh passes.

#include "CDialog.h"

class CUpdateRateDlg : public CDialog {
public:
    explicit CUpdateRateDlg(CWnd* pParent = nullptr);

    static constexpr UINT kMinRate = 0;
    static constexpr UINT kMaxRate = 1000;

    UINT m_nUpdateRate = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
