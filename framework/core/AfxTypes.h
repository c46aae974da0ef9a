#pragma once
// Basic scalar types and constants shared by the whole framework layer.
// They keep the shapes the program's code is written against (BOOL is an
// int, DWORD and UINT are 32-bit unsigned) on a 64-bit Linux build.

#include <cstddef>
#include <cstdint>

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using LONG = std::int32_t;
using ULONGLONG = std::uint64_t;
using LONGLONG = std::int64_t;
using DWORD_PTR = std::uintptr_t;
using UINT_PTR = std::uintptr_t;
using INT_PTR = std::intptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using LPCSTR = const char*;
using LPSTR = char*;
using LPVOID = void*;
using LPCVOID = const void*;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// An opaque position inside a framework list; NULL (nullptr) past the end.
struct CPositionTag;
using POSITION = CPositionTag*;

inline WORD LOWORD(WPARAM w) { return static_cast<WORD>(w & 0xFFFFu); }
inline WORD HIWORD(WPARAM w) { return static_cast<WORD>((w >> 16) & 0xFFFFu); }
inline WPARAM MAKEWPARAM(WORD lo, WORD hi)
{
    return static_cast<WPARAM>(static_cast<DWORD>(lo) | (static_cast<DWORD>(hi) << 16));
}
