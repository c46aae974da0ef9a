#pragma once
// The object behind a URL handle: one GET transfer running in its root's
// curl multi handle.
//
// Body bytes travel from libcurl's write callback straight into the buffer
// of the InternetReadFile under way. What does not fit is kept aside (at most
// one callback's worth, CURL_MAX_WRITE_SIZE bytes) and the transfer is
// paused, so libcurl stops reading from the socket until more is asked for.
// Memory per request is therefore bounded whatever the reply's size.

#include "InternetHandle.h"

#include <curl/curl.h>

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

class InternetRequest : public InternetHandle
{
public:
    // Starts the transfer and waits for the reply's headers. Returns nullptr
    // (and records the reason) on failure.
    static InternetRequest* open(InternetSession& session, LPCSTR url, LPCSTR headers,
                                 DWORD headersLength, DWORD flags, DWORD_PTR context) noexcept;
    ~InternetRequest() override;

    InternetRequest* asRequest() noexcept override { return this; }

    bool read(char* buffer, std::size_t toRead, std::size_t& bytesRead) noexcept;

    // Called by the root when libcurl reports the transfer finished.
    void finish(CURLcode result) noexcept;
    // Called by the root when it closes first: the transfer is taken out of
    // the multi handle and this object is deleted by the root.
    void orphan() noexcept;

    // The largest number of body bytes this request ever holds aside.
    static constexpr std::size_t kMaxAside = CURL_MAX_WRITE_SIZE;

private:
    using Clock = std::chrono::steady_clock;

    explicit InternetRequest(InternetSession& session);

    bool start(const std::string& url, const std::vector<std::string>& headerLines);
    bool waitForHeaders();
    // Waits for the transfer's socket, at most until the request's deadline.
    // False (with the reason recorded) once the deadline has passed.
    bool waitForProgress();
    void recordFailure(const char* fallback) noexcept;
    std::size_t takeBody(const char* data, std::size_t size) noexcept;
    void takeHeaderLine(const char* data, std::size_t size) noexcept;
    void drainAside() noexcept;
    void resume() noexcept;

    static std::size_t onBody(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* self);

    InternetSession* m_session = nullptr;
    CURL* m_easy = nullptr;
    curl_slist* m_headers = nullptr;
    bool m_inMulti = false;

    Clock::time_point m_deadline;

    bool m_headersDone = false;
    bool m_finished = false;
    CURLcode m_result = CURLE_OK;
    bool m_paused = false;
    bool m_timedOut = false;
    char m_errorText[CURL_ERROR_SIZE] = {};

    // The header block being received: its status and whether it redirects.
    long m_blockStatus = 0;
    bool m_blockHasLocation = false;

    // The buffer of the InternetReadFile under way.
    char* m_dest = nullptr;
    std::size_t m_destSize = 0;
    std::size_t m_destFilled = 0;

    // Body bytes received but not yet asked for.
    std::vector<char> m_aside;
    std::size_t m_asideStart = 0;
};
