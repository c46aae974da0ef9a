#pragma once
// The quote table parser read literally: every step takes its bytes off
// the front of the text with Mid, TrimLeft and one-character appends, so
// each tag and each cell byte copies the rest of the reply. It is the
// yardstick the real scanner is measured against; it gives the same Row
// table. A tag that is never closed ends the scan like the end of the
// text, as the real parser does.

#include "CRowList.h"
#include "CString.h"

class FrontCutParser {
public:
    // Same contract as CTarvexDoc::ParsePage: rebuilds rowList from
    // strPage and leaves strPage empty.
    static void ParsePage(CString& strPage, CRowList& rowList);
    static CString GetNextCell(CString& strPage, int* pbMoreRows, int* pbMoreCells);

private:
    // Cuts the text after its first ">"; FALSE (and the text emptied) when
    // there is none.
    static bool SkipTag(CString& strPage);
};
