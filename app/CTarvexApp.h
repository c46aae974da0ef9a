#pragma once
// The application object: opens the one Internet handle every quote
// request of the run shares, sets up the quote-page document type and the
// main window, carries out the command line, and closes the handle at
// exit. main() makes the one instance and hands it to AfxWinMain.

#include "CWinApp.h"
#include "WinInet.h"

class CTarvexApp : public CWinApp {
public:
    CTarvexApp();
    ~CTarvexApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    // The root handle of every quote request; NULL when it could not be
    // opened (each refresh then reports that it cannot connect), and again
    // NULL once ExitInstance has closed it.
    HINTERNET m_hInternet = nullptr;

    // The quote server's host (and port) from the profile, "Server"/"Host";
    // the companion server on this machine when unset.
    CString GetQuoteServerHost();

    // The manual's start page: the first that exists of
    // $TARVEX_HELP_DIR/index.html, <program folder>/../share/doc/tarvex/
    // manual/index.html (the installed layout) and the manual in the source
    // tree this program was built from. Empty when there is none.
    static CString FindManual();

protected:
    void OnAppAbout();
    void OnFileOpen();
    void OnHelpContents();

    DECLARE_MESSAGE_MAP()
};
