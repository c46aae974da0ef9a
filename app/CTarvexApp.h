#pragma once
// The application object: opens the one Internet handle every quote
// request of the run shares, sets up the quote-page document type and the
// main window, and closes the handle at exit.

#include "CWinApp.h"
#include "WinInet.h"

class CTarvexApp : public CWinApp {
public:
    CTarvexApp();
    ~CTarvexApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    // The root handle of every quote request; NULL when it could not be
    // opened (each refresh then reports that it cannot connect).
    HINTERNET m_hInternet = nullptr;

    // The quote server's host (and port) from the profile, "Server"/"Host";
    // the companion server on this machine when unset.
    CString GetQuoteServerHost();

protected:
    void OnAppAbout();
    void OnFileOpen();
    void OnHelpContents();

    DECLARE_MESSAGE_MAP()
};
