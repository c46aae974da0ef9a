#include "InternetSession.h"

#include "InternetLastError.h"
#include "InternetRequest.h"

#include <algorithm>
#include <new>

namespace {

bool curlReady() noexcept
{
    // Once per process, thread-safe; never undone, as other code in the
    // process may use libcurl too.
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ready;
}

constexpr DWORD kMaxTimeoutMs = 600000;

} // namespace

InternetSession* InternetSession::create(LPCSTR agent, DWORD accessType, LPCSTR proxy,
                                         LPCSTR proxyBypass) noexcept
{
    if (!curlReady()) {
        InternetLastError::set("the HTTP library could not be initialised");
        return nullptr;
    }
    if (accessType != INTERNET_OPEN_TYPE_PRECONFIG && accessType != INTERNET_OPEN_TYPE_DIRECT
        && accessType != INTERNET_OPEN_TYPE_PROXY) {
        InternetLastError::set("unknown access type");
        return nullptr;
    }
    if (accessType == INTERNET_OPEN_TYPE_PROXY && (proxy == nullptr || *proxy == '\0')) {
        InternetLastError::set("no proxy given");
        return nullptr;
    }
    InternetSession* session = nullptr;
    try {
        session = new InternetSession();
        session->m_agent = agent != nullptr ? agent : "";
        session->m_accessType = accessType;
        if (accessType == INTERNET_OPEN_TYPE_PROXY) {
            session->m_proxy = proxy;
            session->m_proxyBypass = proxyBypass != nullptr ? proxyBypass : "";
        }
        session->m_requests.reserve(4);
    } catch (const std::bad_alloc&) {
        delete session;
        InternetLastError::set("out of memory");
        return nullptr;
    }
    session->m_multi = curl_multi_init();
    if (session->m_multi == nullptr) {
        delete session;
        InternetLastError::set("the HTTP library could not be initialised");
        return nullptr;
    }
    InternetLastError::clear();
    return session;
}

InternetSession::~InternetSession()
{
    // Closing the root closes what was opened with it, like the platform
    // this layer stands in for.
    std::vector<InternetRequest*> requests;
    requests.swap(m_requests);
    for (InternetRequest* request : requests) {
        request->orphan();
        delete request;
    }
    if (m_multi != nullptr)
        curl_multi_cleanup(m_multi);
}

bool InternetSession::setOption(DWORD option, DWORD value) noexcept
{
    if (value == 0 || value > kMaxTimeoutMs)
        return false;
    switch (option) {
    case INTERNET_OPTION_CONNECT_TIMEOUT:
        m_connectTimeoutMs = value;
        return true;
    case INTERNET_OPTION_REQUEST_TIMEOUT:
        m_requestTimeoutMs = value;
        return true;
    default:
        return false;
    }
}

bool InternetSession::queryOption(DWORD option, DWORD& value) const noexcept
{
    switch (option) {
    case INTERNET_OPTION_CONNECT_TIMEOUT:
        value = m_connectTimeoutMs;
        return true;
    case INTERNET_OPTION_REQUEST_TIMEOUT:
        value = m_requestTimeoutMs;
        return true;
    default:
        return false;
    }
}

bool InternetSession::drive() noexcept
{
    int running = 0;
    const CURLMcode rc = curl_multi_perform(m_multi, &running);
    int left = 0;
    while (CURLMsg* msg = curl_multi_info_read(m_multi, &left)) {
        if (msg->msg != CURLMSG_DONE)
            continue;
        void* owner = nullptr;
        curl_easy_getinfo(msg->easy_handle, CURLINFO_PRIVATE, &owner);
        if (owner != nullptr)
            static_cast<InternetRequest*>(owner)->finish(msg->data.result);
    }
    return rc == CURLM_OK;
}

void InternetSession::wait(int timeoutMs) noexcept
{
    curl_multi_poll(m_multi, nullptr, 0, timeoutMs, nullptr);
}

void InternetSession::attach(InternetRequest* request)
{
    m_requests.push_back(request);
}

void InternetSession::detach(InternetRequest* request) noexcept
{
    m_requests.erase(std::remove(m_requests.begin(), m_requests.end(), request),
                     m_requests.end());
}
