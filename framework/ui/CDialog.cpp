#include "CDialog.h"

#include "AfxResources.h"
#include "CDataExchange.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

std::function<void(CDialog*)>& ShowHook()
{
    static std::function<void(CDialog*)> hook;
    return hook;
}

} // namespace

// The dialog widget: Escape, the close button and Enter come back to the
// CDialog as OnCancel and OnOK.
class CDialogWidget : public QDialog {
public:
    CDialogWidget(CDialog* pOwner, QWidget* pParent) : QDialog(pParent), m_pOwner(pOwner) {}

    void reject() override
    {
        AfxRunGuarded([this] { m_pOwner->OnCancel(); });
    }
    void accept() override
    {
        AfxRunGuarded([this] { m_pOwner->OnOK(); });
    }

private:
    CDialog* m_pOwner;
};

IMPLEMENT_DYNAMIC(CDialog, CWnd)

CDialog::CDialog() = default;

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

CDialog::~CDialog()
{
    DestroyChildWindows();
}

void CDialog::SetShowHook(std::function<void(CDialog*)> hook)
{
    ShowHook() = std::move(hook);
}

QWidget* CDialog::CreateWidget(const CREATESTRUCT&, QWidget* pParent)
{
    auto* dialog = new CDialogWidget(this, pParent);
    BuildControls(dialog);
    return dialog;
}

void CDialog::BuildControls(QDialog* pDialog)
{
    const AfxDialogTemplate* tpl = AfxResources::Get().FindDialog(m_nIDHelp);
    QFont font = QApplication::font();
    font.setStyleHint(QFont::SansSerif);
    if (tpl != nullptr && tpl->nPointSize > 0)
        font.setPointSize(tpl->nPointSize);
    pDialog->setFont(font);
    const QFontMetrics metrics(font);
    // The average width over the letters, as the dialog units count it.
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_baseUnitX = std::max(1, (metrics.horizontalAdvance(letters) / 26 + 1) / 2);
    m_baseUnitY = std::max(1, metrics.height());
    if (tpl == nullptr)
        return;

    pDialog->setWindowTitle(AfxToQString(tpl->caption));
    RECT size{ 0, 0, tpl->cx, tpl->cy };
    MapDialogRect(&size);
    pDialog->setFixedSize(size.right, size.bottom);

    QWidget* previousFocusable = nullptr;
    QLabel* pendingBuddy = nullptr;
    for (const AfxDlgItem& item : tpl->items) {
        QWidget* w = nullptr;
        switch (item.kind) {
        case AfxDlgItem::Static: {
            auto* label = new QLabel(pDialog);
            label->setTextFormat(Qt::PlainText);
            label->setText(AfxToQString(item.text));
            if ((item.style & SS_NOPREFIX) == 0 && item.text.Find('&') >= 0)
                pendingBuddy = label; // the next field takes the mnemonic
            const DWORD align = item.style & 0x3u;
            label->setAlignment((align == SS_CENTER ? Qt::AlignHCenter : align == SS_RIGHT ? Qt::AlignRight
                                                                                           : Qt::AlignLeft)
                                | Qt::AlignTop);
            label->setWordWrap(true);
            label->setFocusPolicy(Qt::NoFocus);
            w = label;
            break;
        }
        case AfxDlgItem::Icon: {
            auto* label = new QLabel(pDialog);
            const QIcon icon = AfxResources::Get().FindIcon(item.nIconID);
            RECT r{ item.x, item.y, item.x + item.cx, item.y + item.cy };
            MapDialogRect(&r);
            if (!icon.isNull())
                label->setPixmap(icon.pixmap(QSize(32, 32)));
            label->setFocusPolicy(Qt::NoFocus);
            w = label;
            break;
        }
        case AfxDlgItem::Edit: {
            auto* edit = new QLineEdit(pDialog);
            edit->setText(AfxToQString(item.text));
            edit->setFrame((item.style & WS_BORDER) != 0);
            if ((item.style & ES_PASSWORD) != 0)
                edit->setEchoMode(QLineEdit::Password);
            edit->setReadOnly((item.style & ES_READONLY) != 0);
            w = edit;
            break;
        }
        case AfxDlgItem::Button: {
            auto* button = new QPushButton(AfxToQString(item.text), pDialog);
            const bool isDefault = (item.style & 0xFu) == BS_DEFPUSHBUTTON;
            button->setAutoDefault(isDefault);
            button->setDefault(isDefault);
            const int id = item.nID;
            QObject::connect(button, &QPushButton::clicked, button, [this, id] {
                AfxRunGuarded([this, id] { SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0); });
            });
            w = button;
            break;
        }
        }
        RECT r{ item.x, item.y, item.x + item.cx, item.y + item.cy };
        MapDialogRect(&r);
        w->setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);
        if (item.kind == AfxDlgItem::Edit || item.kind == AfxDlgItem::Button) {
            w->setFocusPolicy((item.style & WS_TABSTOP) != 0 ? Qt::StrongFocus : Qt::ClickFocus);
            if ((item.style & WS_TABSTOP) != 0) {
                if (previousFocusable != nullptr)
                    QWidget::setTabOrder(previousFocusable, w);
                previousFocusable = w;
            }
            if (pendingBuddy != nullptr) {
                pendingBuddy->setTextFormat(Qt::AutoText);
                pendingBuddy->setBuddy(w);
                pendingBuddy = nullptr;
            }
        }
        auto control = std::make_unique<CWnd>();
        control->AttachControl(w, this, static_cast<UINT>(item.nID), item.style | WS_CHILD | WS_VISIBLE);
        m_controls.push_back(std::move(control));
    }
}

void CDialog::MapDialogRect(LPRECT lpRect) const
{
    const int bx = m_baseUnitX > 0 ? m_baseUnitX : 1;
    const int by = m_baseUnitY > 0 ? m_baseUnitY : 1;
    auto mapX = [bx](LONG v) { return static_cast<LONG>((static_cast<long long>(v) * bx + 2) / 4); };
    auto mapY = [by](LONG v) { return static_cast<LONG>((static_cast<long long>(v) * by + 4) / 8); };
    lpRect->left = mapX(lpRect->left);
    lpRect->right = mapX(lpRect->right);
    lpRect->top = mapY(lpRect->top);
    lpRect->bottom = mapY(lpRect->bottom);
}

INT_PTR CDialog::DoModal()
{
    if (AfxResources::Get().FindDialog(m_nIDHelp) == nullptr)
        return -1;
    CWnd* pParent = m_pParentWnd != nullptr ? m_pParentWnd : AfxGetMainWnd();
    m_controls.clear();
    m_nModalResult = -1;
    if (!CreateEx(0, nullptr, nullptr, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, rectDefault, pParent, 0))
        return -1;
    auto* dialog = static_cast<QDialog*>(GetWidget());
    dialog->setWindowModality(Qt::ApplicationModal);

    BOOL focusDefault = TRUE;
    AfxRunGuarded([&] { focusDefault = OnInitDialog(); });
    if (focusDefault) {
        // The first field in tab order gets the focus.
        for (const auto& control : m_controls) {
            QWidget* w = control->GetWidget();
            if (w != nullptr && w->focusPolicy() == Qt::StrongFocus) {
                w->setFocus(Qt::TabFocusReason);
                if (auto* edit = qobject_cast<QLineEdit*>(w))
                    edit->selectAll();
                break;
            }
        }
    }
    if (m_nModalResult == -1) {
        if (ShowHook()) {
            QMetaObject::invokeMethod(dialog, [this] {
                if (ShowHook())
                    ShowHook()(this);
            }, Qt::QueuedConnection);
        }
        dialog->exec();
    }
    const int result = m_nModalResult == -1 ? IDCANCEL : m_nModalResult;
    DestroyWindow();
    m_controls.clear();
    return result;
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    if (auto* dialog = qobject_cast<QDialog*>(GetWidget()))
        dialog->QDialog::done(nResult);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CDataExchange::Failure&) {
        return FALSE;
    }
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*)
{
}

CWnd* CDialog::GetDlgItem(int nID) const
{
    for (const auto& control : m_controls) {
        if (static_cast<int>(control->GetDlgCtrlID()) == nID && control->GetWidget() != nullptr)
            return control.get();
    }
    return nullptr;
}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl)
{
    if (pWndCtrl == nullptr || pWndCtrl->GetWidget() == nullptr)
        return;
    pWndCtrl->GetWidget()->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(pWndCtrl->GetWidget()))
        edit->selectAll();
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    // A map entry for the id comes first, as for any command.
    if (FindMessageEntry(WM_COMMAND, CN_COMMAND, nID) != nullptr)
        return CWnd::OnCommand(wParam, lParam);
    if (nID == static_cast<UINT>(IDOK)) {
        OnOK();
        return TRUE;
    }
    if (nID == static_cast<UINT>(IDCANCEL)) {
        OnCancel();
        return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
}
