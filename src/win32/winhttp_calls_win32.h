#pragma once
// What the transfers ask of WinHTTP beyond single calls: the session (the system's proxy,
// TLS, time-outs), the path as sent, response headers, and what a failed call means.
#include <windows.h>
#include <winhttp.h>

#include <cstdint>
#include <optional>
#include <string>

#include "download/transfer_platform.h"

namespace velnor {

// "Velnor/" and the version the About box shows.
extern const wchar_t kUserAgent[];

// The session every transfer shares, or nullptr.
HINTERNET OpenSession();

// What a failed WinHTTP call means for the item; bodyStarted: the answer's body had begun.
TransferOutcome OutcomeOfError(DWORD error, bool bodyStarted);

// The path and query of a cracked URL as they are sent.
std::wstring RequestPath(const wchar_t* path, DWORD pathLength, const wchar_t* extra, DWORD extraLength);

// A response header as text; empty when the server sent none.
std::wstring Header(HINTERNET request, DWORD query);

// A decimal header value (Content-Length); nothing when it is not one.
std::optional<uint64_t> Number(const std::wstring& text);

}  // namespace velnor
