#pragma once
// The one record behind a command id in a frame: text, status prompt,
// tooltip, shortcuts, enabled and checked state, and the QAction that the
// menus, the toolbar and the accelerator table all share. Update handlers
// write into the record through CCmdRecord::CmdUI; the action follows.

#include "CCmdUI.h"
#include "CString.h"

#include <QList>
#include <QKeySequence>

class QAction;
class QIcon;

class CCmdRecord {
public:
    // The record owns its action; widgets that show it only refer to it.
    explicit CCmdRecord(UINT nID);
    ~CCmdRecord();
    CCmdRecord(const CCmdRecord&) = delete;
    CCmdRecord& operator=(const CCmdRecord&) = delete;

    UINT GetID() const { return m_nID; }
    QAction* GetAction() const { return m_pAction; }

    // The menu text ("&New\tCtrl+N": mnemonic and the shortcut shown).
    void SetMenuText(const CString& text);
    const CString& GetMenuText() const { return m_strText; }
    // Prompt and tooltip from the command's string ("prompt\ntooltip").
    void SetCommandString(const CString& text);
    const CString& GetPrompt() const { return m_strPrompt; }
    const CString& GetToolTip() const { return m_strToolTip; }
    void SetShortcuts(const QList<QKeySequence>& keys);
    void SetIcon(const QIcon& icon);

    void SetEnabled(BOOL bEnabled);
    BOOL IsEnabled() const { return m_bEnabled; }
    void SetCheck(int nCheck);
    int GetCheck() const { return m_nCheck; }
    // Replaces the menu text (an update handler's SetText).
    void SetText(LPCSTR lpszText);

    // The CCmdUI through which update handlers reach this record.
    class CmdUI : public CCmdUI {
    public:
        explicit CmdUI(CCmdRecord* pRecord);

    protected:
        void OnEnable(BOOL bOn) override;
        void OnSetCheck(int nCheck) override;
        void OnSetText(LPCSTR lpszText) override;

    private:
        CCmdRecord* m_pRecord;
    };

private:
    UINT m_nID;
    QAction* m_pAction;
    CString m_strText;
    CString m_strPrompt;
    CString m_strToolTip;
    BOOL m_bEnabled = TRUE;
    int m_nCheck = 0;
};
