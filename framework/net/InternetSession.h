#pragma once
// The object behind a root handle. It owns the curl multi handle that every
// request of this root runs in: the multi handle keeps the connection cache
// (and the DNS cache), so a request finds the connection that the previous
// request to the same server left open.

#include "InternetHandle.h"

#include <curl/curl.h>

#include <string>
#include <vector>

class InternetSession : public InternetHandle
{
public:
    // Returns nullptr (and records the reason) when set-up fails.
    static InternetSession* create(LPCSTR agent, DWORD accessType, LPCSTR proxy,
                                   LPCSTR proxyBypass) noexcept;
    ~InternetSession() override;

    InternetSession* asSession() noexcept override { return this; }

    const std::string& agent() const noexcept { return m_agent; }
    DWORD accessType() const noexcept { return m_accessType; }
    const std::string& proxy() const noexcept { return m_proxy; }
    const std::string& proxyBypass() const noexcept { return m_proxyBypass; }
    DWORD connectTimeoutMs() const noexcept { return m_connectTimeoutMs; }
    DWORD requestTimeoutMs() const noexcept { return m_requestTimeoutMs; }

    bool setOption(DWORD option, DWORD value) noexcept;
    bool queryOption(DWORD option, DWORD& value) const noexcept;

    CURLM* multi() const noexcept { return m_multi; }

    // Lets libcurl make progress on every transfer of this root without
    // blocking, then hands finished transfers their result.
    bool drive() noexcept;
    // Blocks until a socket of this root is ready or at most timeoutMs.
    void wait(int timeoutMs) noexcept;

    // Requests register themselves so that closing the root closes them.
    void attach(InternetRequest* request);
    void detach(InternetRequest* request) noexcept;

private:
    InternetSession() = default;

    std::string m_agent;
    DWORD m_accessType = INTERNET_OPEN_TYPE_PRECONFIG;
    std::string m_proxy;
    std::string m_proxyBypass;
    DWORD m_connectTimeoutMs = INTERNET_DEFAULT_CONNECT_TIMEOUT_MS;
    DWORD m_requestTimeoutMs = INTERNET_DEFAULT_REQUEST_TIMEOUT_MS;
    CURLM* m_multi = nullptr;
    std::vector<InternetRequest*> m_requests; // not owned by the vector; see ~InternetSession
};
