// Fuzz target for the quote table parser. Besides crashes and sanitizer
// reports, any difference from the literal cut-the-front scan is a finding:
// ParsePage must give the same Row table and leave the Page text empty, and
// GetNextCell on its own must give the same cell, flags and rest of text
// call by call.

#include "CRowList.h"
#include "CString.h"
#include "CStringList.h"
#include "CTarvexDoc.h"
#include "ReferenceScan.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

ReferenceScan::Table TableOf(const CRowList& rowList)
{
    ReferenceScan::Table table;
    for (POSITION pos = rowList.GetHeadPosition(); pos != nullptr;) {
        const CStringList* pRow = rowList.GetNext(pos);
        ReferenceScan::Row row;
        for (POSITION cell = pRow->GetHeadPosition(); cell != nullptr;)
            row.push_back(pRow->GetNext(cell).str());
        table.push_back(row);
    }
    return table;
}

void Print(const char* name, const ReferenceScan::Table& table)
{
    std::fprintf(stderr, "%s: %zu rows\n", name, table.size());
    for (const ReferenceScan::Row& row : table) {
        std::fprintf(stderr, "  [");
        for (const std::string& cell : row)
            std::fprintf(stderr, " \"%s\"", cell.c_str());
        std::fprintf(stderr, " ]\n");
    }
}

[[noreturn]] void Finding(const char* what)
{
    std::fprintf(stderr, "fuzz_parser: %s\n", what);
    std::abort();
}

void CheckParsePage(const std::string& reply)
{
    CTarvexDoc doc;
    // Rows of an earlier refresh must go, table or not.
    auto* pOld = new CStringList(10);
    pOld->AddTail(CString("OLD"));
    doc.m_rowList.AddTail(pOld);

    doc.m_strPage = CString(reply);
    doc.ParsePage();
    if (!doc.m_strPage.IsEmpty())
        Finding("ParsePage left Page text behind");

    const ReferenceScan::Table got = TableOf(doc.m_rowList);
    const ReferenceScan::Table want = ReferenceScan::Parse(reply);
    if (got != want) {
        Print("ParsePage", got);
        Print("reference", want);
        Finding("ParsePage differs from the cut-the-front scan");
    }
}

void CheckGetNextCell(const std::string& reply)
{
    CTarvexDoc doc;
    CString text(reply);
    CString refText(reply);
    // Every call consumes at least one byte until the flags fall, so the
    // length bounds the calls.
    for (std::size_t call = 0; call <= reply.size() + 1; ++call) {
        int bRows = 1, bCells = 1;
        int bRefRows = 1, bRefCells = 1;
        const CString cell = doc.GetNextCell(text, &bRows, &bCells);
        const CString refCell = ReferenceScan::GetNextCell(refText, &bRefRows, &bRefCells);
        if (cell != refCell || text != refText || bRows != bRefRows || bCells != bRefCells) {
            std::fprintf(stderr, "call %zu: cell \"%s\" / \"%s\", flags %d%d / %d%d, rest %d / %d bytes\n", call,
                         cell.GetString(), refCell.GetString(), bRows, bCells, bRefRows, bRefCells,
                         text.GetLength(), refText.GetLength());
            Finding("GetNextCell differs from the cut-the-front scan");
        }
        if (!bRows)
            return;
    }
    Finding("GetNextCell never reached the end of the text");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string reply(reinterpret_cast<const char*>(data), size);
    CheckParsePage(reply);
    CheckGetNextCell(reply);
    return 0;
}
