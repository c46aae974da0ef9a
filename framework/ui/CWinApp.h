#pragma once
// The application object. The program defines one instance (normally a
// global); its constructor makes it the current application, which
// AfxGetApp() returns until it is destroyed. main() then hands control to
// AfxWinMain, which makes the QApplication, runs InitInstance and, when
// that succeeds, the event loop until the main window goes away.
//
//   CMyApp theApp;
//   int main(int argc, char** argv) { return AfxWinMain(argc, argv); }
//
// Tests construct an application object on the stack after their
// QApplication exists, call InitInstance or build a frame themselves, and
// destroy it again; any number of times in one process.
//
// Idle processing: whenever the event loop is about to wait, OnIdle runs
// once; it refreshes the command states of the main frame's menus,
// toolbar and status panes. Nothing runs while the program is idle.

#include "AfxWin.h"
#include "CCmdTarget.h"
#include "CObList.h"
#include "CString.h"

#include <QMetaObject>

#include <memory>
#include <vector>

class CCommandLineInfo;
class CDocTemplate;
class CDocument;
class CProfile;
class QEventLoop;

class CWinApp : public CCmdTarget {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    // Start-up of the program; FALSE ends it. The default returns TRUE.
    virtual BOOL InitInstance();
    // End of the program; returns the exit code. The default saves the
    // recent-file list.
    virtual int ExitInstance();
    // Runs the event loop until the main window is destroyed, then
    // returns ExitInstance().
    virtual int Run();
    // One idle pass: updates the command states of the main window.
    // Returns FALSE (no more idle work wanted).
    virtual BOOL OnIdle(LONG lCount);

    // Called when the main window has been destroyed; ends Run().
    void OnMainWindowDestroyed(CWnd* pWnd);

    // Document templates. The application owns them.
    void AddDocTemplate(CDocTemplate* pTemplate);
    POSITION GetFirstDocTemplatePosition() const;
    CDocTemplate* GetNextDocTemplate(POSITION& pos) const;

    // Opens a file: activates it when it is open already, else opens it
    // with the template that fits. nullptr on failure (shown to the user).
    virtual CDocument* OpenDocumentFile(LPCSTR lpszFileName);
    // Closes every document; the default saves nothing (see
    // SaveAllModified).
    void CloseAllDocuments(BOOL bEndSession);
    // Asks every document whether it may close (CDocTemplate and
    // CDocument hooks); TRUE when all may.
    virtual BOOL SaveAllModified();

    // The profile: an INI file in $XDG_CONFIG_HOME (~/.config), named by
    // m_pszProfileName. See CProfile for the value rules.
    UINT GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault);
    BOOL WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue);
    CString GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault = nullptr);
    BOOL WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue);
    // The full path of the profile file.
    CString GetProfilePath() const;

    // Loads the recent-file list ("Recent File List", File1..FileN) and the
    // standard settings.
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    virtual void AddToRecentFileList(LPCSTR lpszPathName);
    const std::vector<CString>& GetRecentFileList() const { return m_recentFiles; }

    // The file dialog of File Open and Save As. Returns FALSE on Cancel.
    virtual BOOL DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                                  CDocTemplate* pTemplate);

    // Help: opens m_pszHelpFilePath (by default the executable's path with
    // ".hlp") with the desktop's viewer; "Failed to launch help." when
    // that fails.
    virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT);

    // The command line (m_argv) into rCmdInfo, and carrying it out: a new
    // document, a file opened, or for printing and /dde a hidden main
    // window. FALSE when it could not be done (the program should end).
    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);

    // Desktop integration that needs no code here: file types come from
    // the installed desktop entry, and 3-D controls are the style's.
    BOOL Enable3dControlsStatic() { return TRUE; }
    void EnableShellOpen() {}
    void RegisterShellFileTypes(BOOL bCompat = FALSE) { static_cast<void>(bCompat); }

    // The application's name (AFX_IDS_APP_TITLE when not given).
    CString m_pszAppName;
    // The profile's file name ("<exe>.ini" in lower case when empty), or
    // an absolute path.
    CString m_pszProfileName;
    CString m_pszExeName;
    CString m_pszHelpFilePath;
    CWnd* m_pMainWnd = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    // The command line, without the program name.
    std::vector<CString> m_argv;

    // The framework's command handlers, for the program's message map
    // (ON_COMMAND(ID_FILE_NEW, CWinApp::OnFileNew)).
    void OnFileNew();
    void OnFileOpen();
    void OnAppExit();
    void OnFileMruFile(UINT nID);
    void OnFileMruFile1();
    void OnFileMruFile2();
    void OnFileMruFile3();
    void OnFileMruFile4();
    void OnUpdateRecentFileMenu(CCmdUI* pCmdUI);

protected:
    DECLARE_MESSAGE_MAP()

private:
    friend int AfxWinMain(int argc, char* argv[]);
    friend class CFrameWnd;
    void EnsureIdleHook();
    void RunIdle();
    CProfile& Profile();

    CObList m_templateList;
    std::vector<CString> m_recentFiles;
    UINT m_nMaxMRU = 0;
    std::unique_ptr<CProfile> m_pProfile;
    QEventLoop* m_pRunLoop = nullptr;
    QMetaObject::Connection m_idleConnection;
    bool m_bInIdle = false;
};

// The program's entry: makes the QApplication, sets the application's
// names from argv, runs InitInstance, then Run. Returns the exit code.
int AfxWinMain(int argc, char* argv[]);
