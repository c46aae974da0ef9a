#pragma once
// The Internet handle layer: a small synchronous HTTP client with the call
// shapes the program's retrieval code is written against, built on libcurl.
//
// Handles
//   InternetOpenA gives a root handle. It holds what all requests made with
//   it share: the user agent, the proxy choice and a cache of open
//   connections. InternetOpenUrlA gives a URL handle for one request, from
//   which the reply body is read with InternetReadFile. Both are closed with
//   InternetCloseHandle; closing a root handle also closes (and invalidates)
//   the URL handles still open on it. A handle that was closed, or was never
//   returned by this layer, is refused with FALSE/NULL rather than used.
//
// Behaviour
//   - Only http:// and https:// URLs. Bytes in the URL that may not appear
//     in a URL as they are (space, control bytes, bytes 0x80 and above) are
//     sent percent-encoded; everything else is sent as given.
//   - Any HTTP status counts as a reply: the body of an error page is read
//     like any other body.
//   - Redirects are followed, at most 5 in a row (http and https targets
//     only). A longer chain makes InternetOpenUrlA fail.
//   - No reply is ever cached: every request goes to the server. The flags
//     INTERNET_FLAG_DONT_CACHE and INTERNET_FLAG_NO_CACHE_WRITE therefore
//     describe what always happens. INTERNET_FLAG_RELOAD also sends
//     "Cache-Control: no-cache" and "Pragma: no-cache" (unless the header
//     text names them), so that no cache on the way answers either.
//     An open connection to the same server is reused whenever the previous
//     reply on it was read to its end (INTERNET_FLAG_EXISTING_CONNECT); a
//     reply closed half-read closes its connection. Other flag bits are
//     ignored.
//   - INTERNET_OPEN_TYPE_PRECONFIG uses the system's proxy settings: the
//     proxy environment variables (http_proxy, https_proxy, all_proxy,
//     no_proxy and their upper-case forms where libcurl reads them).
//     INTERNET_OPEN_TYPE_DIRECT uses no proxy, INTERNET_OPEN_TYPE_PROXY
//     the proxy given to InternetOpenA (with its bypass list, comma
//     separated).
//
// Time bounds (per root handle, changeable with InternetSetOptionA)
//   - connecting to the server: at most 10 s (INTERNET_OPTION_CONNECT_TIMEOUT);
//   - a whole request, from InternetOpenUrlA to the end of the body: at most
//     30 s (INTERNET_OPTION_REQUEST_TIMEOUT). This also ends a server that
//     accepts and never answers and one that trickles its reply.
//   Nothing waits longer than these bounds.
//
// Errors are reported by the return value; no function throws. After a
// failure InternetGetLastErrorText describes it, for diagnostics only.
//
// Threads: every call is synchronous. A root handle and the URL handles made
// from it must be used from one thread at a time.

#include "AfxTypes.h"

using HINTERNET = void*;

constexpr DWORD INTERNET_OPEN_TYPE_PRECONFIG = 0;
constexpr DWORD INTERNET_OPEN_TYPE_DIRECT = 1;
constexpr DWORD INTERNET_OPEN_TYPE_PROXY = 3;

constexpr DWORD INTERNET_FLAG_RELOAD = 0x80000000u;
constexpr DWORD INTERNET_FLAG_EXISTING_CONNECT = 0x20000000u;
constexpr DWORD INTERNET_FLAG_DONT_CACHE = 0x04000000u;
constexpr DWORD INTERNET_FLAG_NO_CACHE_WRITE = INTERNET_FLAG_DONT_CACHE;

// Options of a root handle, each a DWORD in milliseconds (1 to 600000).
// A change applies to the requests opened after it.
constexpr DWORD INTERNET_OPTION_CONNECT_TIMEOUT = 2;
constexpr DWORD INTERNET_OPTION_REQUEST_TIMEOUT = 0x7A000001u;

constexpr DWORD INTERNET_DEFAULT_CONNECT_TIMEOUT_MS = 10000;
constexpr DWORD INTERNET_DEFAULT_REQUEST_TIMEOUT_MS = 30000;

// Opens a root handle. agent may be NULL (no User-Agent header is sent).
// Returns NULL when the HTTP library cannot be set up or accessType is not
// one of the INTERNET_OPEN_TYPE_ values (INTERNET_OPEN_TYPE_PROXY needs a
// proxy). flags are ignored: every call of this layer is synchronous.
HINTERNET InternetOpenA(LPCSTR agent, DWORD accessType, LPCSTR proxy, LPCSTR proxyBypass,
                        DWORD flags);

// Connects, sends a GET for url and waits for the reply's headers.
// headers: extra text whose lines (separated by CR LF or LF) of the form
// name, colon, value are sent as request headers; any other line is not sent.
// headersLength is its length in bytes, or (DWORD)-1 when it ends with a zero
// byte. Returns NULL when hInternet is not an open root handle, the URL is
// malformed or not http(s), the host cannot be resolved or reached, the
// connection is refused or reset, or no reply headers arrive within the
// bounds above.
HINTERNET InternetOpenUrlA(HINTERNET hInternet, LPCSTR url, LPCSTR headers, DWORD headersLength,
                           DWORD flags, DWORD_PTR context);

// Reads up to toRead bytes of the reply body. Blocks until toRead bytes have
// arrived or the body has ended; returns TRUE with *bytesRead set (0 at the
// end of the body), FALSE when the transfer failed or stalled before that
// (a body cut off by the server, the time bounds exceeded). Body bytes beyond
// what was asked are not fetched in advance beyond a small fixed amount, so
// reading the start of a huge reply costs no more than that start.
BOOL InternetReadFile(HINTERNET hFile, LPVOID buffer, DWORD toRead, DWORD* bytesRead);

// Closes a URL handle (an unfinished transfer is aborted, and its connection
// is not reused) or a root handle. NULL, or a handle that is not open, gives
// FALSE.
BOOL InternetCloseHandle(HINTERNET hInternet);

// Sets or reads an INTERNET_OPTION_ value of a root handle. The buffer holds
// one DWORD; *bufferLength is set to its size by InternetQueryOptionA.
BOOL InternetSetOptionA(HINTERNET hInternet, DWORD option, LPVOID buffer, DWORD bufferLength);
BOOL InternetQueryOptionA(HINTERNET hInternet, DWORD option, LPVOID buffer, DWORD* bufferLength);

// A text describing the last failure of a call of this layer on the calling
// thread ("" when none). Valid until the next call of this layer on that
// thread.
LPCSTR InternetGetLastErrorText();
