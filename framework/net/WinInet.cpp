// The Internet handle functions: argument checks and the exception boundary
// in front of InternetSession and InternetRequest.

#include "WinInet.h"

#include "InternetHandle.h"
#include "InternetLastError.h"
#include "InternetRequest.h"
#include "InternetSession.h"

namespace {

InternetSession* sessionOf(HINTERNET h)
{
    InternetHandle* handle = InternetHandle::find(h);
    return handle != nullptr ? handle->asSession() : nullptr;
}

InternetRequest* requestOf(HINTERNET h)
{
    InternetHandle* handle = InternetHandle::find(h);
    return handle != nullptr ? handle->asRequest() : nullptr;
}

} // namespace

HINTERNET InternetOpenA(LPCSTR agent, DWORD accessType, LPCSTR proxy, LPCSTR proxyBypass,
                        DWORD flags)
{
    static_cast<void>(flags);
    try {
        InternetSession* session = InternetSession::create(agent, accessType, proxy, proxyBypass);
        return session != nullptr ? session->handle() : nullptr;
    } catch (...) {
        InternetLastError::set("out of memory");
        return nullptr;
    }
}

HINTERNET InternetOpenUrlA(HINTERNET hInternet, LPCSTR url, LPCSTR headers, DWORD headersLength,
                           DWORD flags, DWORD_PTR context)
{
    try {
        InternetSession* session = sessionOf(hInternet);
        if (session == nullptr) {
            InternetLastError::set("not an open root handle");
            return nullptr;
        }
        InternetRequest* request =
            InternetRequest::open(*session, url, headers, headersLength, flags, context);
        return request != nullptr ? request->handle() : nullptr;
    } catch (...) {
        InternetLastError::set("out of memory");
        return nullptr;
    }
}

BOOL InternetReadFile(HINTERNET hFile, LPVOID buffer, DWORD toRead, DWORD* bytesRead)
{
    try {
        if (bytesRead != nullptr)
            *bytesRead = 0;
        InternetRequest* request = requestOf(hFile);
        if (request == nullptr || bytesRead == nullptr || (buffer == nullptr && toRead > 0)) {
            InternetLastError::set("invalid argument");
            return FALSE;
        }
        std::size_t n = 0;
        if (!request->read(static_cast<char*>(buffer), toRead, n))
            return FALSE;
        *bytesRead = static_cast<DWORD>(n);
        return TRUE;
    } catch (...) {
        InternetLastError::set("out of memory");
        return FALSE;
    }
}

BOOL InternetCloseHandle(HINTERNET hInternet)
{
    try {
        InternetHandle* handle = InternetHandle::find(hInternet);
        if (handle == nullptr) {
            InternetLastError::set("not an open handle");
            return FALSE;
        }
        delete handle;
        InternetLastError::clear();
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

BOOL InternetSetOptionA(HINTERNET hInternet, DWORD option, LPVOID buffer, DWORD bufferLength)
{
    InternetSession* session = nullptr;
    try {
        session = sessionOf(hInternet);
    } catch (...) {
    }
    if (session == nullptr || buffer == nullptr || bufferLength < sizeof(DWORD)) {
        InternetLastError::set("invalid argument");
        return FALSE;
    }
    if (!session->setOption(option, *static_cast<const DWORD*>(buffer))) {
        InternetLastError::set("unknown option or value out of range");
        return FALSE;
    }
    return TRUE;
}

BOOL InternetQueryOptionA(HINTERNET hInternet, DWORD option, LPVOID buffer, DWORD* bufferLength)
{
    InternetSession* session = nullptr;
    try {
        session = sessionOf(hInternet);
    } catch (...) {
    }
    if (session == nullptr || buffer == nullptr || bufferLength == nullptr
        || *bufferLength < sizeof(DWORD)) {
        InternetLastError::set("invalid argument");
        return FALSE;
    }
    DWORD value = 0;
    if (!session->queryOption(option, value)) {
        InternetLastError::set("unknown option");
        return FALSE;
    }
    *static_cast<DWORD*>(buffer) = value;
    *bufferLength = sizeof(DWORD);
    return TRUE;
}

LPCSTR InternetGetLastErrorText()
{
    return InternetLastError::text();
}
