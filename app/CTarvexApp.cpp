#include "CTarvexApp.h"

#include "CAboutDlg.h"
#include "CChildFrame.h"
#include "CMainFrame.h"
#include "CMultiDocTemplate.h"
#include "CTarvexDoc.h"
#include "CTarvexView.h"
#include "QuoteRequest.h"
#include "Resource.h"
#include "TarvexResources.h"

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

    // Menus, strings, images and dialog templates; images need the
    // QApplication, which exists from here on.
    TarvexResources::Register();

    LoadStdProfileSettings(4);

    AddDocTemplate(new CMultiDocTemplate(IDR_TARVEXTYPE, RUNTIME_CLASS(CTarvexDoc),
                                         RUNTIME_CLASS(CChildFrame), RUNTIME_CLASS(CTarvexView)));

    auto* pMainFrame = new CMainFrame;
    if (!pMainFrame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE))
        return FALSE;
    m_pMainWnd = pMainFrame;

    OnFileNew();

    pMainFrame->ShowWindow(m_nCmdShow);
    pMainFrame->UpdateWindow();
    return TRUE;
}

int CTarvexApp::ExitInstance()
{
    InternetCloseHandle(m_hInternet);
    m_hInternet = nullptr;
    return CWinApp::ExitInstance();
}

CString CTarvexApp::GetQuoteServerHost()
{
    return GetProfileString("Server", "Host", QuoteRequest::kDefaultHost);
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
    if (m_pMainWnd != nullptr)
        m_pMainWnd->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(ID_EDIT_UPDATE), 1), 0);
}

void CTarvexApp::OnHelpContents()
{
    WinHelp(0, HELP_CONTENTS);
}
