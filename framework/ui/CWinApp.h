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

#include "AfxRes.h"
#include "AfxWin.h"
#include "CCmdTarget.h"
#include "CObList.h"
#include "CString.h"

#include <QMetaObject>

#include <memory>
#include <vector>

class CCommandLineInfo;
class CDocTemplate;
class CInstanceChannel;
class CDocument;
class CProfile;
class CRecentFileList;
class QEventLoop;

class CWinApp : public CCmdTarget {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    // Start-up of the program; FALSE ends it. The default returns TRUE.
    virtual BOOL InitInstance();
    // End of the program; returns the exit code. The default saves the
    // recent-file list. AfxWinMain calls it exactly once on every way out,
    // also when InitInstance failed or threw.
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
    // Closes every document without asking (see SaveAllModified).
    void CloseAllDocuments(BOOL bEndSession);
    // Gives every modified document the chance to be saved
    // (CDocument::SaveModified); FALSE when the user cancelled.
    virtual BOOL SaveAllModified();

    // The profile: an INI file in $XDG_CONFIG_HOME (~/.config), named by
    // m_pszProfileName. See CProfile for the value rules.
    UINT GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault);
    BOOL WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue);
    CString GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault = nullptr);
    BOOL WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue);
    // The full path of the profile file.
    CString GetProfilePath() const;

    // Loads the recent-file list ("Recent File List", File1..FileN, at most
    // kMaxRecentFiles) and the standard settings ("Settings",
    // "PreviewPages" into m_nNumPreviewPages). Without this call there is
    // no recent-file list.
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    // Puts a file at the front of the recent-file list, as an absolute
    // path. Documents call it when they are opened or saved under a name.
    virtual void AddToRecentFileList(LPCSTR lpszPathName);
    // The listed paths, newest first (empty without a list).
    const std::vector<CString>& GetRecentFileList() const;
    // The list itself, nullptr before LoadStdProfileSettings.
    CRecentFileList* GetRecentFiles() const { return m_pRecentFileList.get(); }
    // The most places a recent-file list has (the ID_FILE_MRU_ ids).
    static constexpr UINT kMaxRecentFiles = ID_FILE_MRU_LAST - ID_FILE_MRU_FIRST + 1;
    // Menu entries show names abbreviated to this many characters.
    static constexpr int kMaxRecentFileDisplayLength = 30;

    // The file dialog of File Open and Save As. fileName: the name to
    // propose (Save As), and the chosen file on return. The filter list
    // is the template's filter (its text as the document string gives it;
    // its extension matched in either letter case) and "All Files (*.*)"
    // (every file). Saving, a name without an extension gets the
    // template's. Returns FALSE on Cancel.
    virtual BOOL DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                                  CDocTemplate* pTemplate);

    // Help: opens m_pszHelpFilePath (by default the executable's path with
    // ".hlp") with the desktop's default handler, by path; "Failed to
    // launch help." when there is no such file or no handler starts.
    virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT);

    // The command line (m_argv) into rCmdInfo, and carrying it out: a new
    // document, a file opened, or for printing a hidden main window and
    // the print command. FALSE when the program should end: the file
    // could not be opened, or printing is done (which is no failure: the
    // exit code stays 0). "/dde" shows the window, as no desktop here
    // sends a file afterwards.
    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);

    // 3-D controls are the style's: nothing to turn on.
    BOOL Enable3dControlsStatic() { return TRUE; }

    // One instance per user in place of the shell's DDE: claims the
    // program's channel, so that a later start hands its file to this one
    // (opened as a page, window brought to the front). When another
    // instance holds the channel, ProcessShellCommand hands this start's
    // file to it and the program ends. Without a single-instance service
    // (see the message on stderr) every start runs on its own.
    void EnableShellOpen();
    // The document types' file type made known to the desktop, at every
    // start: a MIME type and a desktop entry under $XDG_DATA_HOME, and the
    // association only while the type has no other default application
    // (CShellRegistration). A failure is reported on stderr and never
    // stops start-up. The desktop names come from m_shellNames.
    void RegisterShellFileTypes(BOOL bCompat = FALSE);

    // The desktop's names for the first document type, set by the program
    // before RegisterShellFileTypes.
    struct ShellNames {
        CString mimeType;     // "application/x-..."
        CString desktopId;    // "<program>.desktop"
        CString iconName;     // the program's theme icon
        CString typeIconName; // the documents' theme icon
        CString comment;      // the desktop entry's comment
    } m_shellNames;

    // The application's name (AFX_IDS_APP_TITLE when not given).
    CString m_pszAppName;
    // The profile's file name ("<exe>.ini" in lower case when empty), or
    // an absolute path.
    CString m_pszProfileName;
    CString m_pszExeName;
    CString m_pszHelpFilePath;
    CWnd* m_pMainWnd = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    // "Settings"/"PreviewPages" from the profile; nothing previews here.
    UINT m_nNumPreviewPages = 0;
    // The command line, without the program name.
    std::vector<CString> m_argv;

    // The framework's command handlers, for the program's message map
    // (ON_COMMAND(ID_FILE_NEW, CWinApp::OnFileNew)).
    void OnFileNew();
    void OnFileOpen();
    void OnAppExit();
    // A recent-file entry: opens it (or activates it when it is open);
    // one that does not open leaves the list. Returns TRUE when nID is an
    // entry of the list.
    BOOL OnOpenRecentFile(UINT nID);
    void OnUpdateRecentFileMenu(CCmdUI* pCmdUI);

    // The recent-file commands (ID_FILE_MRU_FILE1 onward, as many as the
    // list holds) besides the message map.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra) override;

protected:
    DECLARE_MESSAGE_MAP()

private:
    friend int AfxWinMain(int argc, char* argv[]);
    friend class CFrameWnd;
    void EnsureIdleHook();
    void RunIdle();
    CProfile& Profile();

    CObList m_templateList;
    std::unique_ptr<CRecentFileList> m_pRecentFileList;
    std::unique_ptr<CProfile> m_pProfile;
    std::unique_ptr<CInstanceChannel> m_pInstanceChannel;
    bool m_bOtherInstanceRunning = false;
    // Hands the command line's file (or none) to the running instance;
    // true when it took the request.
    bool HandToRunningInstance(const CCommandLineInfo& rCmdInfo);
    // Set when the command line's work ended the start on purpose
    // (printing): AfxWinMain then keeps exit code 0.
    bool m_bShellCommandDone = false;
    QEventLoop* m_pRunLoop = nullptr;
    QMetaObject::Connection m_idleConnection;
    bool m_bInIdle = false;
};

// The program's entry: makes the QApplication, sets the application's
// names from argv, runs InitInstance, then Run. Returns the exit code: the
// one of ExitInstance, and when start-up failed at least 1 (0 when the
// command line's work was done, see ProcessShellCommand).
int AfxWinMain(int argc, char* argv[]);
