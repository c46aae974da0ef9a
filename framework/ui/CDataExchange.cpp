#include "CDataExchange.h"

#include "AfxRes.h"
#include "AfxResources.h"
#include "CDialog.h"

#include <QLineEdit>

#include <climits>
#include <cstdlib>

CDataExchange::CDataExchange(CDialog* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
{
}

CWnd* CDataExchange::PrepareCtrl(int nIDC)
{
    m_idLastControl = nIDC;
    m_bEditLastControl = FALSE;
    return m_pDlgWnd->GetDlgItem(nIDC);
}

CWnd* CDataExchange::PrepareEditCtrl(int nIDC)
{
    CWnd* pWnd = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return pWnd;
}

void CDataExchange::Fail()
{
    if (!m_bSaveAndValidate)
        throw Failure{}; // a failure while filling the controls: nothing to focus
    if (CWnd* pWnd = m_pDlgWnd->GetDlgItem(m_idLastControl)) {
        if (QWidget* w = pWnd->GetWidget()) {
            w->setFocus(Qt::OtherFocusReason);
            if (auto* edit = qobject_cast<QLineEdit*>(w))
                edit->selectAll();
        }
    }
    throw Failure{};
}

namespace {

int CountCharacters(const CString& text)
{
    // UTF-8: every byte that does not continue a character starts one.
    int count = 0;
    for (int i = 0; i < text.GetLength(); ++i) {
        if ((static_cast<unsigned char>(text.GetAt(i)) & 0xC0u) != 0x80u)
            ++count;
    }
    return count;
}

void FailWith(CDataExchange* pDX, const CString& message)
{
    AfxMessageBox(message, MB_ICONEXCLAMATION);
    pDX->Fail();
}

} // namespace

BOOL AfxParseUInt(const CString& text, UINT& value)
{
    // The field's text as a 31-character buffer would hold it.
    const CString buffer = text.Left(31);
    const char* p = buffer.GetString();
    while (*p == ' ' || *p == '\t')
        ++p;
    bool negative = false;
    if (*p == '-' || *p == '+') {
        negative = *p == '-';
        ++p;
    }
    if (*p < '0' || *p > '9')
        return FALSE;
    unsigned long long n = 0;
    bool overflow = false;
    for (; *p >= '0' && *p <= '9'; ++p) {
        n = n * 10 + static_cast<unsigned>(*p - '0');
        if (n > UINT_MAX) {
            overflow = true;
            n = UINT_MAX; // keep reading the digits; the value stays saturated
        }
    }
    while (*p == ' ' || *p == '\t')
        ++p;
    if (*p != '\0')
        return FALSE;
    if (overflow)
        value = UINT_MAX;
    else
        value = negative ? 0u - static_cast<UINT>(n) : static_cast<UINT>(n);
    return TRUE;
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    CWnd* pWnd = pDX->PrepareEditCtrl(nIDC);
    if (pWnd == nullptr)
        return;
    if (pDX->m_bSaveAndValidate)
        value = pWnd->GetWindowText();
    else
        pWnd->SetWindowText(value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value)
{
    CWnd* pWnd = pDX->PrepareEditCtrl(nIDC);
    if (pWnd == nullptr)
        return;
    if (pDX->m_bSaveAndValidate) {
        UINT parsed = 0;
        if (!AfxParseUInt(pWnd->GetWindowText(), parsed))
            FailWith(pDX, AfxLoadString(AFX_IDP_PARSE_UINT));
        value = parsed;
    } else {
        CString text;
        text.Format("%u", value);
        pWnd->SetWindowText(text);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    CWnd* pWnd = pDX->PrepareEditCtrl(nIDC);
    if (pWnd == nullptr)
        return;
    if (pDX->m_bSaveAndValidate) {
        const CString text = pWnd->GetWindowText().Left(31);
        const char* p = text.GetString();
        char* end = nullptr;
        const long long n = std::strtoll(p, &end, 10);
        while (end != nullptr && (*end == ' ' || *end == '\t'))
            ++end;
        if (end == p || end == nullptr || *end != '\0' || n < INT_MIN || n > INT_MAX)
            FailWith(pDX, AfxLoadString(AFX_IDP_PARSE_INT));
        value = static_cast<int>(n);
    } else {
        CString text;
        text.Format("%d", value);
        pWnd->SetWindowText(text);
    }
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars)
{
    if (pDX->m_bSaveAndValidate) {
        if (CountCharacters(value) > nChars) {
            CString count;
            count.Format("%d", nChars);
            CString message;
            AfxFormatString1(message, AFX_IDP_PARSE_STRING_SIZE, count);
            FailWith(pDX, message);
        }
    } else if (pDX->m_bEditLastControl) {
        if (CWnd* pWnd = pDX->m_pDlgWnd->GetDlgItem(pDX->m_idLastControl)) {
            if (auto* edit = qobject_cast<QLineEdit*>(pWnd->GetWidget()))
                edit->setMaxLength(nChars);
        }
    }
}

void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal)
{
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal))
        return;
    CString lo;
    CString hi;
    lo.Format("%u", minVal);
    hi.Format("%u", maxVal);
    CString message;
    AfxFormatString2(message, AFX_IDP_PARSE_INT_RANGE, lo, hi);
    FailWith(pDX, message);
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal))
        return;
    CString lo;
    CString hi;
    lo.Format("%d", minVal);
    hi.Format("%d", maxVal);
    CString message;
    AfxFormatString2(message, AFX_IDP_PARSE_INT_RANGE, lo, hi);
    FailWith(pDX, message);
}
