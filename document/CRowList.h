#pragma once
// The Row table of a quote page: the Quote rows (heap-allocated
// CStringList objects, one per row of the reply's table) in reply order.
// The list owns its rows: emptying it with DeleteAll or destroying it
// deletes each of them exactly once.

#include "CObList.h"

class CStringList;

class CRowList : public CObList {
public:
    CRowList();
    ~CRowList() override;

    // The Quote row at pos; pos moves on to the next row, or to nullptr
    // after the last one.
    CStringList* GetNext(POSITION& pos);
    const CStringList* GetNext(POSITION& pos) const;

    // Deletes every Quote row, head to tail, and leaves the list empty.
    void DeleteAll();
};
