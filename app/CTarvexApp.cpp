#include "CTarvexApp.h"

#include "CAboutDlg.h"
#include "CChildFrame.h"
#include "CCommandLineInfo.h"
#include "CMainFrame.h"
#include "CMultiDocTemplate.h"
#include "CTarvexDoc.h"
#include "CTarvexView.h"
#include "QuoteRequest.h"
#include "Resource.h"
#include "TarvexResources.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdlib>

BEGIN_MESSAGE_MAP(CTarvexApp, CWinApp)
    ON_COMMAND(ID_APP_ABOUT, CTarvexApp::OnAppAbout)
    ON_COMMAND(ID_FILE_OPEN, CTarvexApp::OnFileOpen)
    ON_COMMAND(ID_HELP_CONTENTS, CTarvexApp::OnHelpContents)
    ON_COMMAND(ID_FILE_NEW, CTarvexApp::OnFileNew)
END_MESSAGE_MAP()

CTarvexApp::CTarvexApp() = default;

CTarvexApp::~CTarvexApp() = default;

BOOL CTarvexApp::InitInstance()
{
    // First, before anything else can fail: ExitInstance closes it on
    // every way out.
    m_hInternet = InternetOpenA("Tarvex", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);

    Enable3dControlsStatic();

    // Menus, strings, images and dialog templates; images need the
    // QApplication, which exists from here on.
    TarvexResources::Register();

    LoadStdProfileSettings(4);

    AddDocTemplate(new CMultiDocTemplate(IDR_TARVEXTYPE, RUNTIME_CLASS(CTarvexDoc),
                                         RUNTIME_CLASS(CChildFrame), RUNTIME_CLASS(CTarvexView)));

    auto* pMainFrame = new CMainFrame;
    if (!pMainFrame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE))
        return FALSE; // the frame has deleted itself
    m_pMainWnd = pMainFrame;

    pMainFrame->DragAcceptFiles(TRUE);

    EnableShellOpen();
    m_shellNames.mimeType = "application/x-tarvex-quote-page";
    m_shellNames.desktopId = "tarvex.desktop";
    m_shellNames.iconName = "tarvex";
    m_shellNames.typeIconName = "application-x-tarvex-quote-page";
    m_shellNames.comment = "Follow stock quotes on quote pages that refresh by themselves";
    RegisterShellFileTypes(TRUE);

    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (!ProcessShellCommand(cmdInfo))
        return FALSE;

    pMainFrame->ShowWindow(m_nCmdShow);
    pMainFrame->UpdateWindow();
    return TRUE;
}

int CTarvexApp::ExitInstance()
{
    InternetCloseHandle(m_hInternet);
    // Closed once: a second ExitInstance must not reach a handle value
    // that may since belong to something else.
    m_hInternet = nullptr;
    return CWinApp::ExitInstance();
}

CString CTarvexApp::GetQuoteServerHost()
{
    return GetProfileString("Server", "Host", QuoteRequest::kDefaultHost);
}

CString CTarvexApp::FindManual()
{
    QStringList candidates;
    const QString helpDir = qEnvironmentVariable("TARVEX_HELP_DIR");
    if (!helpDir.isEmpty())
        candidates << helpDir + QStringLiteral("/index.html");
    if (QCoreApplication::instance() != nullptr)
        candidates << QCoreApplication::applicationDirPath()
                + QStringLiteral("/../share/doc/tarvex/manual/index.html");
#ifdef TARVEX_HELP_SOURCE_DIR
    candidates << QStringLiteral(TARVEX_HELP_SOURCE_DIR "/index.html");
#endif
    for (const QString& candidate : candidates) {
        const QFileInfo info(candidate);
        if (info.isFile())
            return AfxFromQString(info.canonicalFilePath());
    }
    return CString();
}

void CTarvexApp::OnAppAbout()
{
    CAboutDlg aboutDlg;
    aboutDlg.DoModal();
}

void CTarvexApp::OnFileOpen()
{
    CWinApp::OnFileOpen();
    // Whatever the dialog did, Cancel and failures included, every page is
    // refreshed before the command returns.
    if (CWnd* pMainWnd = AfxGetMainWnd())
        pMainWnd->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(ID_EDIT_UPDATE), 1), 0);
}

void CTarvexApp::OnHelpContents()
{
    // The manual is looked for each time, so one installed while the
    // program runs is found. With none, WinHelp reports the failure.
    const CString manual = FindManual();
    if (manual.IsEmpty()) {
        AfxMessageBox(AFX_IDP_FAILED_TO_LAUNCH_HELP, MB_ICONEXCLAMATION);
        return;
    }
    m_pszHelpFilePath = manual;
    WinHelp(0, HELP_CONTENTS);
}
