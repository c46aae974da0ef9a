#include "AfxWin.h"

#include "AfxRes.h"
#include "AfxResources.h"
#include "CWinApp.h"
#include "CWnd.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QString>

#include <cstdio>
#include <exception>
#include <new>

namespace {

AfxMessageBoxHook& MessageBoxHook()
{
    static AfxMessageBoxHook hook;
    return hook;
}

AfxMessageBeepHook& MessageBeepHook()
{
    static AfxMessageBeepHook hook;
    return hook;
}

// One pass, so a %2 inside the first argument stays as it is.
QString ReplacePlaceholders(const QString& text, const char* a1, const char* a2)
{
    QString result;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 1 < text.size() && (text[i + 1] == u'1' || text[i + 1] == u'2')) {
            const char* arg = text[i + 1] == u'1' ? a1 : a2;
            if (arg != nullptr) {
                result += AfxToQString(arg);
                ++i;
                continue;
            }
        }
        result += text[i];
    }
    return result;
}

} // namespace

QString AfxToQString(const char* psz)
{
    return psz == nullptr ? QString() : QString::fromUtf8(psz);
}

CString AfxFromQString(const QString& s)
{
    return CString(s.toUtf8().toStdString());
}

void AfxSetMessageBoxHook(AfxMessageBoxHook hook)
{
    MessageBoxHook() = std::move(hook);
}

void AfxSetMessageBeepHook(AfxMessageBeepHook hook)
{
    MessageBeepHook() = std::move(hook);
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT)
{
    const CString text(lpszText);
    if (MessageBoxHook())
        return MessageBoxHook()(text, nType);

    CString caption;
    if (CWinApp* app = AfxGetApp())
        caption = app->m_pszAppName;
    if (caption.IsEmpty())
        AfxLoadString(AFX_IDS_APP_TITLE, caption);

    QWidget* parent = QApplication::activeWindow();
    if (parent == nullptr) {
        if (CWnd* main = AfxGetMainWnd())
            parent = main->GetWidget();
    }
    QMessageBox box(parent);
    box.setWindowTitle(AfxToQString(caption));
    box.setText(AfxToQString(text));
    switch (nType & MB_ICONMASK) {
    case MB_ICONHAND:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONEXCLAMATION:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONASTERISK:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    struct Button {
        QMessageBox::StandardButton qt;
        int id;
    };
    static const Button kOk[] = { { QMessageBox::Ok, IDOK } };
    static const Button kOkCancel[] = { { QMessageBox::Ok, IDOK }, { QMessageBox::Cancel, IDCANCEL } };
    static const Button kAbortRetryIgnore[] = { { QMessageBox::Abort, IDABORT }, { QMessageBox::Retry, IDRETRY },
                                                { QMessageBox::Ignore, IDIGNORE } };
    static const Button kYesNoCancel[] = { { QMessageBox::Yes, IDYES }, { QMessageBox::No, IDNO },
                                           { QMessageBox::Cancel, IDCANCEL } };
    static const Button kYesNo[] = { { QMessageBox::Yes, IDYES }, { QMessageBox::No, IDNO } };
    static const Button kRetryCancel[] = { { QMessageBox::Retry, IDRETRY }, { QMessageBox::Cancel, IDCANCEL } };
    const Button* first = kOk;
    size_t count = 1;
    switch (nType & MB_TYPEMASK) {
    case MB_OKCANCEL:
        first = kOkCancel;
        count = 2;
        break;
    case MB_ABORTRETRYIGNORE:
        first = kAbortRetryIgnore;
        count = 3;
        break;
    case MB_YESNOCANCEL:
        first = kYesNoCancel;
        count = 3;
        break;
    case MB_YESNO:
        first = kYesNo;
        count = 2;
        break;
    case MB_RETRYCANCEL:
        first = kRetryCancel;
        count = 2;
        break;
    default:
        break;
    }
    QMessageBox::StandardButtons set;
    for (size_t i = 0; i < count; ++i)
        set |= first[i].qt;
    box.setStandardButtons(set);
    const size_t defIndex = (nType & MB_DEFMASK) >> 8;
    if (defIndex < count)
        box.setDefaultButton(first[defIndex].qt);
    const int result = box.exec();
    for (size_t i = 0; i < count; ++i) {
        if (first[i].qt == result)
            return first[i].id;
    }
    // Closed without a button: what Escape would give.
    for (size_t i = 0; i < count; ++i) {
        if (first[i].id == IDCANCEL || first[i].id == IDNO)
            return first[i].id;
    }
    return IDOK;
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString text;
    AfxLoadString(nIDPrompt, text);
    return AfxMessageBox(text, nType, nIDHelp);
}

BOOL MessageBeep(UINT uType)
{
    if (MessageBeepHook()) {
        MessageBeepHook()(uType);
        return TRUE;
    }
    QApplication::beep();
    return TRUE;
}

void AfxFormatString1(CString& rString, UINT nIDS, LPCSTR lpsz1)
{
    rString = AfxFromQString(ReplacePlaceholders(AfxToQString(AfxLoadString(nIDS)), lpsz1, nullptr));
}

void AfxFormatString2(CString& rString, UINT nIDS, LPCSTR lpsz1, LPCSTR lpsz2)
{
    rString = AfxFromQString(ReplacePlaceholders(AfxToQString(AfxLoadString(nIDS)), lpsz1, lpsz2));
}

void AfxRunGuarded(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "out of memory\n");
        AfxMessageBox(AFX_IDP_FAILED_MEMORY_ALLOC, MB_ICONEXCLAMATION);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "unhandled exception: %s\n", e.what());
        AfxMessageBox(AFX_IDP_COMMAND_FAILURE, MB_ICONEXCLAMATION);
    } catch (...) {
        std::fprintf(stderr, "unhandled exception\n");
        AfxMessageBox(AFX_IDP_COMMAND_FAILURE, MB_ICONEXCLAMATION);
    }
}
