#pragma once
// Root of the framework's owned objects: anything a CObList may hold and
// delete through a base pointer.

class CObject {
public:
    CObject() = default;
    virtual ~CObject() = default;

    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};
