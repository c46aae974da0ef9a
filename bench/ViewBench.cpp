// Showing: CTarvexView::OnUpdate rebuilding its list from a Row table of
// 10, 300 and 3000 lines, next to filling the same kind of widget directly
// (DirectListFill). Both windows are shown, and each pass ends when the
// event loop has laid out and painted the result, so painting is counted
// on both sides.

#include "AfxRes.h"
#include "AfxWin.h"
#include "CRowList.h"
#include "CStringList.h"
#include "CTarvexDoc.h"
#include "CTarvexView.h"
#include "CView.h"
#include "DirectListFill.h"

#include <benchmark/benchmark.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QScrollBar>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
const int kLineCounts[] = {10, 300, 3000};

// Counts the paint events of a widget, to show that each pass paints.
class PaintCounter : public QObject {
public:
    int m_nPaints = 0;

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override
    {
        if (pEvent->type() == QEvent::Paint)
            ++m_nPaints;
        return QObject::eventFilter(pWatched, pEvent);
    }
};

// A Row table like a quote reply's: a heading row, then one row of nine
// cells per symbol.
void FillRows(CRowList& rowList, int nLines)
{
    static const char* const kHeadings[] = {"SYMBOL", "LAST", "CHANGE", "% CHG", "OPEN", "HIGH", "LOW", "VOLUME", "TIME"};
    static const char* const kEighths[] = {"", " 1/8", " 1/4", " 3/8", " 1/2", " 5/8", " 3/4", " 7/8"};
    rowList.DeleteAll();
    auto pHeadings = std::make_unique<CStringList>(10);
    for (const char* pszHeading : kHeadings)
        pHeadings->AddTail(CString(pszHeading));
    rowList.AddTail(pHeadings.get());
    pHeadings.release();
    for (int n = 0; n < nLines; ++n) {
        auto pRow = std::make_unique<CStringList>(10);
        std::string symbol;
        for (int k = n + 26 * 26; k > 0; k /= 26)
            symbol += static_cast<char>('A' + k % 26);
        pRow->AddTail(CString(symbol));
        for (int nCell = 1; nCell < 7; ++nCell)
            pRow->AddTail(CString(std::to_string(5 + (n * 7 + nCell * 13) % 120) + kEighths[(n + nCell) % 8]));
        pRow->AddTail(CString(std::to_string(1000 + n * 37) + ",000"));
        pRow->AddTail(CString(std::to_string(9 + n % 7) + ":" + std::to_string(10 + n % 50)));
        rowList.AddTail(pRow.get());
        pRow.release();
    }
}

// Lets the event loop do what follows a rebuild: deferred model
// notifications, the view's layout, and the paint.
void Settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

struct Fixture {
    CTarvexDoc doc;
    CTarvexView* pView = nullptr;
    DirectListFill direct;
    PaintCounter viewPaints;
    PaintCounter directPaints;
};

Fixture* g_pFixture = nullptr;

void BM_OnUpdate(benchmark::State& state)
{
    Fixture& f = *g_pFixture;
    FillRows(f.doc.m_rowList, static_cast<int>(state.range(0)));
    f.viewPaints.m_nPaints = 0;
    int nPaintsInRebuild = 0;
    for (auto _ : state) {
        // Paints during the rebuild itself: the emptied list, shown at once.
        const int nBefore = f.viewPaints.m_nPaints;
        f.pView->OnUpdate(nullptr, 0, nullptr);
        nPaintsInRebuild += f.viewPaints.m_nPaints - nBefore;
        Settle();
    }
    state.counters["paints_in_rebuild"] = static_cast<double>(nPaintsInRebuild) / static_cast<double>(state.iterations());
    if (f.pView->GetListCtrl().GetItemCount() != state.range(0))
        state.SkipWithError("the list does not hold the lines");
    state.counters["paints_per_pass"] = static_cast<double>(f.viewPaints.m_nPaints) / static_cast<double>(state.iterations());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_DirectFill(benchmark::State& state, bool bPaintEmptied)
{
    Fixture& f = *g_pFixture;
    FillRows(f.doc.m_rowList, static_cast<int>(state.range(0)));
    f.directPaints.m_nPaints = 0;
    for (auto _ : state) {
        f.direct.Fill(f.doc.m_rowList, bPaintEmptied);
        Settle();
    }
    if (f.direct.View().model()->rowCount() != state.range(0))
        state.SkipWithError("the list does not hold the lines");
    state.counters["paints_per_pass"] = static_cast<double>(f.directPaints.m_nPaints) / static_cast<double>(state.iterations());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    auto pFixture = std::make_unique<Fixture>();
    g_pFixture = pFixture.get();

    // The view as the document template makes it, without a frame around it.
    pFixture->pView = new CTarvexView;
    CCreateContext context;
    context.m_pCurrentDoc = &pFixture->doc;
    RECT rect;
    rect.right = kWidth;
    rect.bottom = kHeight;
    if (!pFixture->pView->Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW, rect, nullptr, AFX_IDW_PANE_FIRST, &context)) {
        std::fprintf(stderr, "the view could not be created\n");
        return 1;
    }
    pFixture->pView->OnInitialUpdate();
    QWidget* pViewWidget = pFixture->pView->GetWidget();
    pViewWidget->resize(kWidth, kHeight);
    pViewWidget->show();
    pFixture->direct.View().resize(kWidth, kHeight);
    pFixture->direct.View().show();
    if (auto* pArea = qobject_cast<QAbstractItemView*>(pViewWidget))
        pArea->viewport()->installEventFilter(&pFixture->viewPaints);
    pFixture->direct.View().viewport()->installEventFilter(&pFixture->directPaints);
    Settle();

    for (int nLines : kLineCounts) {
        benchmark::RegisterBenchmark("OnUpdate", BM_OnUpdate)->Arg(nLines)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark("DirectFill", BM_DirectFill, false)->Arg(nLines)->Unit(benchmark::kMicrosecond);
        // The same, showing the emptied list first as the quote list does:
        // the like-for-like in what the user sees.
        benchmark::RegisterBenchmark("DirectFillPaintEmptied", BM_DirectFill, true)
            ->Arg(nLines)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    pFixture->pView->DestroyWindow();
    pFixture.reset();
    return 0;
}
