#pragma once
// Dialog data exchange: moves values between a dialog's controls and its
// members (DDX_) and validates them on the way in (DDV_). A dialog's
// DoDataExchange calls these in order; the first failure shows its
// message, puts the focus back on the field with its text selected and
// ends the exchange (UpdateData returns FALSE).

#include "AfxWin.h"
#include "CString.h"

class CDialog;

class CDataExchange {
public:
    CDataExchange(CDialog* pDlgWnd, BOOL bSaveAndValidate);

    // TRUE: controls to members, with validation (OK); FALSE: members to
    // controls (when the dialog opens).
    BOOL m_bSaveAndValidate;
    CDialog* m_pDlgWnd;

    // The control with that id, remembered as the field a failure returns
    // to. nullptr when the dialog has no such control.
    CWnd* PrepareCtrl(int nIDC);
    CWnd* PrepareEditCtrl(int nIDC);
    // Focuses the last prepared field (text selected) and ends the
    // exchange.
    [[noreturn]] void Fail();

    int m_idLastControl = 0;
    BOOL m_bEditLastControl = FALSE;

    // What Fail throws; UpdateData catches it.
    struct Failure {};
};

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// The unsigned form: at most 31 characters of the field are read; blanks
// and tabs may stand around one decimal number with an optional sign,
// read as unsigned (-5 gives 4294967291); a number beyond 32 bits gives
// 4294967295. Anything else: "Please enter a positive integer.".
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);

// Opening: limits the field to nChars characters. OK: a longer value
// fails with "Please enter no more than %1 characters.".
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);
// OK: a value outside minVal..maxVal fails with "Please enter an integer
// between %1 and %2.".
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);

// The unsigned reading of DDX_Text on its own: TRUE and the value, or
// FALSE when the text is not such a number.
BOOL AfxParseUInt(const CString& text, UINT& value);
