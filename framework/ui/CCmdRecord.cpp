#include "CCmdRecord.h"

#include "AfxWin.h"

#include <QAction>
#include <QIcon>

CCmdRecord::CCmdRecord(UINT nID) : m_nID(nID), m_pAction(new QAction)
{
    m_pAction->setData(nID);
    // Menus here show no images; the toolbar does.
    m_pAction->setIconVisibleInMenu(false);
}

CCmdRecord::~CCmdRecord()
{
    delete m_pAction;
}

void CCmdRecord::SetMenuText(const CString& text)
{
    m_strText = text;
    m_pAction->setText(AfxToQString(text));
}

void CCmdRecord::SetCommandString(const CString& text)
{
    const int nl = text.Find('\n');
    m_strPrompt = nl < 0 ? text : text.Left(nl);
    m_strToolTip = nl < 0 ? CString() : text.Mid(nl + 1);
    m_pAction->setStatusTip(AfxToQString(m_strPrompt));
    m_pAction->setToolTip(AfxToQString(m_strToolTip));
}

void CCmdRecord::SetShortcuts(const QList<QKeySequence>& keys)
{
    m_pAction->setShortcuts(keys);
}

void CCmdRecord::SetIcon(const QIcon& icon)
{
    m_pAction->setIcon(icon);
}

// Setters change the action only on a real change: an idle pass that finds
// everything as it was must not wake the event loop again.
void CCmdRecord::SetEnabled(BOOL bEnabled)
{
    m_bEnabled = bEnabled ? TRUE : FALSE;
    if (m_pAction->isEnabled() != (m_bEnabled != FALSE))
        m_pAction->setEnabled(m_bEnabled != FALSE);
}

void CCmdRecord::SetCheck(int nCheck)
{
    m_nCheck = nCheck;
    if (!m_pAction->isCheckable())
        m_pAction->setCheckable(true);
    if (m_pAction->isChecked() != (nCheck != 0))
        m_pAction->setChecked(nCheck != 0);
}

void CCmdRecord::SetText(LPCSTR lpszText)
{
    if (m_strText != lpszText)
        SetMenuText(lpszText);
}

CCmdRecord::CmdUI::CmdUI(CCmdRecord* pRecord) : m_pRecord(pRecord)
{
    m_nID = pRecord->GetID();
}

void CCmdRecord::CmdUI::OnEnable(BOOL bOn)
{
    m_pRecord->SetEnabled(bOn);
}

void CCmdRecord::CmdUI::OnSetCheck(int nCheck)
{
    m_pRecord->SetCheck(nCheck);
}

void CCmdRecord::CmdUI::OnSetText(LPCSTR lpszText)
{
    m_pRecord->SetText(lpszText);
}
