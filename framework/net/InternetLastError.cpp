#include "InternetLastError.h"

namespace {

// A fixed buffer: recording a failure must not itself be able to fail, even
// when the failure being recorded is an exhausted heap.
constexpr std::size_t kMaxText = 256;
thread_local char t_text[kMaxText] = {};

} // namespace

void InternetLastError::set(const char* text) noexcept
{
    std::size_t i = 0;
    if (text != nullptr) {
        for (; i + 1 < kMaxText && text[i] != '\0'; ++i)
            t_text[i] = text[i];
    }
    t_text[i] = '\0';
}

void InternetLastError::set(const std::string& text) noexcept
{
    set(text.c_str());
}

void InternetLastError::clear() noexcept
{
    t_text[0] = '\0';
}

const char* InternetLastError::text() noexcept
{
    return t_text;
}
