// Parsing: CTarvexDoc::ParsePage on generated replies, next to the
// front-cutting reading of the same scan and to libxml2's HTML parser
// collecting the cells of the first table, all in one run.

#include "CRowList.h"
#include "CStringList.h"
#include "CTarvexDoc.h"
#include "FrontCutParser.h"
#include "LibXmlTableReader.h"
#include "ReplyGenerator.h"

#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Shape {
    const char* pszName;
    std::string (*pfnMake)(std::size_t);
};

const Shape kShapes[] = {
    {"realistic", &ReplyGenerator::Realistic},
    {"tiny_cells", &ReplyGenerator::TinyCells},
    {"long_preamble", &ReplyGenerator::LongPreamble},
};

constexpr std::size_t kFullSize = 64000;
const std::size_t kSizes[] = {8000, 16000, 32000, 64000};

TableRows RowsOf(const CRowList& rowList)
{
    TableRows rows;
    for (POSITION pos = rowList.GetHeadPosition(); pos != nullptr;) {
        const CStringList* pRow = rowList.GetNext(pos);
        std::vector<std::string> cells;
        for (POSITION cell = pRow->GetHeadPosition(); cell != nullptr;)
            cells.push_back(pRow->GetNext(cell).str());
        rows.push_back(std::move(cells));
    }
    return rows;
}

std::size_t CellCount(const TableRows& rows)
{
    std::size_t n = 0;
    for (const auto& row : rows)
        n += row.size();
    return n;
}

// libxml2's cells as the quote table parser would give them: upper case,
// leading white space dropped, empty cells dropped.
TableRows Normalised(const TableRows& rows)
{
    TableRows out;
    for (const auto& row : rows) {
        std::vector<std::string> cells;
        for (std::string cell : row) {
            CString text(cell);
            text.MakeUpper();
            text.TrimLeft();
            if (!text.IsEmpty())
                cells.push_back(text.str());
        }
        out.push_back(std::move(cells));
    }
    return out;
}

// All four readers must agree on every reply before anything is timed,
// or the comparison means nothing.
void CheckAgreement()
{
    for (const Shape& shape : kShapes) {
        const std::string reply = shape.pfnMake(kFullSize);
        if (reply.size() != kFullSize) {
            std::fprintf(stderr, "%s: reply is %zu bytes\n", shape.pszName, reply.size());
            std::exit(1);
        }
        CTarvexDoc doc;
        doc.m_strPage = CString(reply);
        doc.ParsePage();
        const TableRows tarvex = RowsOf(doc.m_rowList);

        CString page(reply);
        CRowList refList;
        FrontCutParser::ParsePage(page, refList);
        const TableRows reference = RowsOf(refList);

        const TableRows tree = Normalised(LibXmlTableReader::ReadTree(reply));
        const TableRows sax = Normalised(LibXmlTableReader::ReadSax(reply));
        std::fprintf(stderr, "%-14s %6zu bytes: %4zu rows, %5zu cells (front-cut %s, libxml2 tree %s, sax %s)\n",
                     shape.pszName, reply.size(), tarvex.size(), CellCount(tarvex),
                     reference == tarvex ? "same" : "DIFFERENT", tree == tarvex ? "same" : "different",
                     sax == tarvex ? "same" : "different");
        if (reference != tarvex || CellCount(tree) != CellCount(tarvex) || CellCount(sax) != CellCount(tarvex)) {
            std::fprintf(stderr, "%s: the readers disagree\n", shape.pszName);
            std::exit(1);
        }
    }
}

void BM_ParsePage(benchmark::State& state, const std::string& reply)
{
    CTarvexDoc doc;
    for (auto _ : state) {
        // The refresh hands the parser a fresh copy of the read bytes too.
        doc.m_strPage = CString(reply);
        doc.ParsePage();
        benchmark::DoNotOptimize(doc.m_rowList.GetCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * reply.size()));
}

void BM_FrontCut(benchmark::State& state, const std::string& reply)
{
    CRowList rowList;
    for (auto _ : state) {
        CString page(reply);
        FrontCutParser::ParsePage(page, rowList);
        benchmark::DoNotOptimize(rowList.GetCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * reply.size()));
}

void BM_LibXmlTree(benchmark::State& state, const std::string& reply)
{
    for (auto _ : state) {
        TableRows rows = LibXmlTableReader::ReadTree(reply);
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * reply.size()));
}

void BM_LibXmlSax(benchmark::State& state, const std::string& reply)
{
    for (auto _ : state) {
        TableRows rows = LibXmlTableReader::ReadSax(reply);
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * reply.size()));
}

void Register()
{
    for (const Shape& shape : kShapes) {
        const std::string name = shape.pszName;
        for (std::size_t nSize : kSizes) {
            const std::string reply = shape.pfnMake(nSize);
            const std::string suffix = "/" + name + "/" + std::to_string(nSize);
            benchmark::RegisterBenchmark(("ParsePage" + suffix).c_str(), BM_ParsePage, reply)
                ->Unit(benchmark::kMicrosecond);
            // The reference only where its growth is worth seeing: its cost
            // is the tags times the rest of the text.
            if (nSize == kFullSize || shape.pfnMake == &ReplyGenerator::TinyCells)
                benchmark::RegisterBenchmark(("FrontCut" + suffix).c_str(), BM_FrontCut, reply)
                    ->Unit(benchmark::kMicrosecond);
            if (nSize == kFullSize) {
                benchmark::RegisterBenchmark(("LibXml2Tree" + suffix).c_str(), BM_LibXmlTree, reply)
                    ->Unit(benchmark::kMicrosecond);
                benchmark::RegisterBenchmark(("LibXml2Sax" + suffix).c_str(), BM_LibXmlSax, reply)
                    ->Unit(benchmark::kMicrosecond);
            }
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    xmlInitParser();
    CheckAgreement();
    Register();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    xmlCleanupParser();
    return 0;
}
