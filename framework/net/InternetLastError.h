#pragma once
// The per-thread text behind InternetGetLastErrorText.

#include <string>

class InternetLastError
{
public:
    static void set(const char* text) noexcept;
    static void set(const std::string& text) noexcept;
    static void clear() noexcept;
    static const char* text() noexcept;
};
