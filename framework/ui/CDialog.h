#pragma once
// A dialog box built from a registered dialog template: caption, size and
// controls in dialog units, converted to pixels through the dialog font
// (the desktop's sans-serif font at the template's point size: one
// horizontal unit is a quarter of its average character width, one
// vertical unit an eighth of its height). Tab order is template order.
//
// DoModal runs a nested event loop (timers keep firing) and returns IDOK
// or IDCANCEL. OK runs OnOK: UpdateData(TRUE), and the dialog closes only
// when that succeeds; Cancel, Escape and the close button run OnCancel.

#include "CWnd.h"

#include <memory>
#include <vector>

class CDataExchange;
class QDialog;

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog();
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // IDOK or IDCANCEL (or EndDialog's value); -1 when the template is
    // missing.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    // Called before the dialog shows; the default fills the controls
    // (UpdateData(FALSE)) and returns TRUE (focus to the first field).
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // FALSE when a DDX/DDV routine failed (its message has been shown).
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // The control with that id (its widget through GetWidget()), nullptr
    // when none. Valid while the dialog is open.
    CWnd* GetDlgItem(int nID) const;
    void GotoDlgCtrl(CWnd* pWndCtrl);

    // Dialog units to pixels with this dialog's font.
    void MapDialogRect(LPRECT lpRect) const;

    // A button's command: IDOK and IDCANCEL run OnOK and OnCancel, other
    // ids go through the message map.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    // Tests: called once the dialog is shown inside DoModal.
    static void SetShowHook(std::function<void(CDialog*)> hook);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    QWidget* CreateWidget(const CREATESTRUCT& cs, QWidget* pParent) override;

    UINT m_nIDHelp = 0;
    CWnd* m_pParentWnd = nullptr;

private:
    friend class CDialogWidget;
    void BuildControls(QDialog* pDialog);

    int m_nModalResult = -1;
    int m_baseUnitX = 0;
    int m_baseUnitY = 0;
    std::vector<std::unique_ptr<CWnd>> m_controls;
};
