// Dialogs from registered templates and their data exchange.
#include "AfxRes.h"
#include "AfxResources.h"
#include "CDataExchange.h"
#include "CDialog.h"
#include "CWinApp.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

constexpr UINT IDD_RATE = 131;
constexpr UINT IDD_SYMBOL = 130;
constexpr int IDC_RATE = 1001;
constexpr int IDC_SYMBOL = 1000;

void RegisterDialogs()
{
    AfxResources& res = AfxResources::Get();
    res.Clear();
    res.AddString(AFX_IDS_APP_TITLE, "Tester");
    AfxDialogTemplate rate;
    rate.caption = "Dialog";
    rate.cx = 208;
    rate.cy = 46;
    rate.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    rate.items = {
        { AfxDlgItem::Static, -1, "Update rate:", 0, 19, 19, 40, 8, WS_CHILD | WS_VISIBLE | WS_GROUP },
        { AfxDlgItem::Edit, IDC_RATE, "", 0, 66, 16, 40, 14, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL },
        { AfxDlgItem::Static, -1, "minutes", 0, 111, 19, 28, 8, WS_CHILD | WS_VISIBLE | WS_GROUP },
        { AfxDlgItem::Button, IDOK, "OK", 0, 151, 7, 50, 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON },
        { AfxDlgItem::Button, IDCANCEL, "Cancel", 0, 151, 24, 50, 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP },
    };
    res.AddDialog(IDD_RATE, rate);
    AfxDialogTemplate symbol = rate;
    symbol.cx = 186;
    symbol.cy = 44;
    symbol.items[1].nID = IDC_SYMBOL;
    res.AddDialog(IDD_SYMBOL, symbol);
}

class RateDlg : public CDialog {
public:
    explicit RateDlg(CWnd* pParent = nullptr) : CDialog(IDD_RATE, pParent) {}
    UINT m_nRate = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        DDX_Text(pDX, IDC_RATE, m_nRate);
        DDV_MinMaxUInt(pDX, m_nRate, 0, 1000);
    }
};

class SymbolDlg : public CDialog {
public:
    SymbolDlg() : CDialog(IDD_SYMBOL, nullptr) {}
    CString m_strSymbol;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        DDX_Text(pDX, IDC_SYMBOL, m_strSymbol);
        DDV_MaxChars(pDX, m_strSymbol, 6);
    }
};

struct DialogFixture : ::testing::Test {
    CWinApp app;
    std::vector<CString> messages;

    void SetUp() override
    {
        RegisterDialogs();
        AfxSetMessageBoxHook([this](const CString& text, UINT type) {
            EXPECT_EQ(type & MB_ICONMASK, MB_ICONEXCLAMATION);
            messages.push_back(text);
            return IDOK;
        });
    }
    void TearDown() override
    {
        AfxSetMessageBoxHook(nullptr);
        CDialog::SetShowHook(nullptr);
        AfxResources::Get().Clear();
    }
    static QLineEdit* Edit(CDialog* dlg, int id) { return qobject_cast<QLineEdit*>(dlg->GetDlgItem(id)->GetWidget()); }
    static void Press(CDialog* dlg, int id) { qobject_cast<QPushButton*>(dlg->GetDlgItem(id)->GetWidget())->click(); }
};

TEST(ParseUInt, TheUnsignedFieldReading)
{
    struct Case {
        const char* text;
        bool ok;
        UINT value;
    };
    const Case cases[] = {
        { "15", true, 15u },
        { " 15 ", true, 15u },
        { "\t15\t", true, 15u },
        { "+15", true, 15u },
        { "-5", true, 4294967291u },
        { "0", true, 0u },
        { "4294967295", true, 4294967295u },
        { "4294967296", true, 4294967295u },
        { "99999999999", true, 4294967295u },
        { "-99999999999", true, 4294967295u },
        { "", false, 0u },
        { "   ", false, 0u },
        { "12a", false, 0u },
        { "1 2", false, 0u },
        { "- 5", false, 0u },
        { "0x10", false, 0u },
        // Only the first 31 characters count: what follows is never read.
        { "7                              x", true, 7u },
        { "7                             x", false, 0u },
    };
    for (const Case& c : cases) {
        UINT value = 0;
        EXPECT_EQ(AfxParseUInt(c.text, value) != FALSE, c.ok) << '"' << c.text << '"';
        if (c.ok) {
            EXPECT_EQ(value, c.value) << '"' << c.text << '"';
        }
    }
}

TEST_F(DialogFixture, OkWithAValidNumberStoresIt)
{
    RateDlg dlg;
    dlg.m_nRate = 10;
    CDialog::SetShowHook([](CDialog* d) {
        QLineEdit* edit = Edit(d, IDC_RATE);
        EXPECT_EQ(edit->text(), "10"); // OnInitDialog filled the field
        EXPECT_TRUE(edit->hasFocus() || QApplication::focusWidget() == nullptr);
        edit->setText(" 15 ");
        Press(d, IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_nRate, 15u);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(dlg.GetWidget(), nullptr); // the window is gone after DoModal
}

TEST_F(DialogFixture, InvalidInputKeepsTheDialogOpen)
{
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        { "-5", "Please enter an integer between 0 and 1000." },
        { "1001", "Please enter an integer between 0 and 1000." },
        { "99999999999", "Please enter an integer between 0 and 1000." },
        { "", "Please enter a positive integer." },
        { "12a", "Please enter a positive integer." },
    };
    for (const Case& c : cases) {
        messages.clear();
        RateDlg dlg;
        dlg.m_nRate = 10;
        bool stillOpen = false;
        bool selected = false;
        CDialog::SetShowHook([&](CDialog* d) {
            QLineEdit* edit = Edit(d, IDC_RATE);
            edit->setText(c.text);
            Press(d, IDOK);
            const QWidget* w = d->GetWidget();
            stillOpen = w != nullptr && w->isVisible();
            selected = edit->selectedText() == edit->text();
            Press(d, IDCANCEL);
        });
        EXPECT_EQ(dlg.DoModal(), IDCANCEL) << c.text;
        ASSERT_EQ(messages.size(), 1u) << c.text;
        EXPECT_EQ(messages[0], c.message) << c.text;
        EXPECT_TRUE(stillOpen) << c.text;
        EXPECT_TRUE(selected) << c.text;
    }
}

TEST_F(DialogFixture, HugeValueShowsAsUnsignedAndFailsTheRange)
{
    RateDlg dlg;
    dlg.m_nRate = 0xFFFFFFFFu;
    CDialog::SetShowHook([](CDialog* d) {
        EXPECT_EQ(Edit(d, IDC_RATE)->text(), "4294967295");
        Press(d, IDOK);
        Press(d, IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Please enter an integer between 0 and 1000.");
}

TEST_F(DialogFixture, EscapeCancels)
{
    RateDlg dlg;
    CDialog::SetShowHook([](CDialog* d) { QTest::keyClick(d->GetWidget(), Qt::Key_Escape); });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST_F(DialogFixture, EnterPressesTheDefaultButton)
{
    RateDlg dlg;
    CDialog::SetShowHook([](CDialog* d) {
        Edit(d, IDC_RATE)->setText("3");
        QTest::keyClick(Edit(d, IDC_RATE), Qt::Key_Return);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_nRate, 3u);
}

TEST_F(DialogFixture, MaxCharsLimitsTypingAndRefusesLongerValues)
{
    SymbolDlg dlg;
    CDialog::SetShowHook([](CDialog* d) {
        QLineEdit* edit = Edit(d, IDC_SYMBOL);
        QTest::keyClicks(edit, "abcdefgh");
        EXPECT_EQ(edit->text(), "abcdef");
        Press(d, IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_strSymbol, "abcdef");

    // A longer value that got past the limit is refused on OK.
    SymbolDlg dlg2;
    CDialog::SetShowHook([](CDialog* d) {
        QLineEdit* edit = Edit(d, IDC_SYMBOL);
        edit->setMaxLength(100);
        edit->setText("abcdefg");
        Press(d, IDOK);
        Press(d, IDCANCEL);
    });
    EXPECT_EQ(dlg2.DoModal(), IDCANCEL);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Please enter no more than 6 characters.");
}

TEST_F(DialogFixture, LayoutInDialogUnitsAndTabOrder)
{
    RateDlg dlg;
    CDialog::SetShowHook([](CDialog* d) {
        QWidget* w = d->GetWidget();
        EXPECT_EQ(w->windowTitle(), "Dialog");
        QFont font = QApplication::font();
        font.setPointSize(8);
        const QFontMetrics fm(font);
        const int bx = (fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 26 + 1) / 2;
        const int by = fm.height();
        EXPECT_EQ(w->width(), (208 * bx + 2) / 4);
        EXPECT_EQ(w->height(), (46 * by + 4) / 8);
        QWidget* edit = Edit(d, IDC_RATE);
        EXPECT_EQ(edit->x(), (66 * bx + 2) / 4);
        EXPECT_EQ(edit->y(), (16 * by + 4) / 8);
        // Tab order: edit, OK, Cancel.
        auto nextTabStop = [](QWidget* from) {
            QWidget* next = from->nextInFocusChain();
            while (next != from && (next->focusPolicy() & Qt::TabFocus) == 0)
                next = next->nextInFocusChain();
            return next;
        };
        QWidget* ok = d->GetDlgItem(IDOK)->GetWidget();
        QWidget* cancel = d->GetDlgItem(IDCANCEL)->GetWidget();
        EXPECT_EQ(nextTabStop(edit), ok);
        EXPECT_EQ(nextTabStop(ok), cancel);
        EXPECT_EQ(nextTabStop(cancel), edit);
        EXPECT_TRUE(qobject_cast<QPushButton*>(ok)->isDefault());
        EXPECT_EQ(d->GetDlgItem(12345), nullptr);
        Press(d, IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST_F(DialogFixture, MissingTemplateFails)
{
    CDialog dlg(4242);
    EXPECT_EQ(dlg.DoModal(), -1);
}

} // namespace
