#pragma once
// Common base of the objects behind HINTERNET values. Every live handle is
// recorded, so a value that was never handed out, or was closed already, is
// recognised and refused instead of being dereferenced.

#include "WinInet.h"

class InternetSession;
class InternetRequest;

class InternetHandle
{
public:
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    virtual ~InternetHandle();

    HINTERNET handle() noexcept { return static_cast<void*>(this); }

    // The live handle behind h, or nullptr when h is not one.
    static InternetHandle* find(HINTERNET h) noexcept;

    virtual InternetSession* asSession() noexcept { return nullptr; }
    virtual InternetRequest* asRequest() noexcept { return nullptr; }

protected:
    InternetHandle();
};
