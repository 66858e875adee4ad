#include "win32/http_exchange_win32.h"

#include <algorithm>

#include "download/redirect_target.h"
#include "win32/http_cookies_win32.h"
#include "win32/http_transfer_state_win32.h"
#include "win32/winhttp_calls_win32.h"
#include "win32/win32_text.h"

namespace velnor {
namespace {

constexpr int kMaxRedirects = 10;

bool IsRedirect(int status) { return status == 301 || status == 302 || status == 303 || status == 307 || status == 308; }

// A header value goes out only as printable text on one line.
bool IsHeaderSafe(const String& text) {
  return std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= 0x20 && c != 0x7F; });
}

}  // namespace

std::optional<TransferOutcome> HttpExchange::Open(const String& url, const String& referer,
                                                  const std::wstring& extraHeaders) {
  std::wstring headers;
  if (!referer.empty() && IsHeaderSafe(referer)) headers = L"Referer: " + std::wstring(Wide(referer)) + L"\r\n";
  headers += extraHeaders;
  String at = url;
  for (int redirects = 0;; ++redirects) {
    at_ = at;
    redirected_ = redirects > 0;
    if (auto failed = Send(at, headers)) return failed;
    if (!IsRedirect(status_)) return std::nullopt;
    const std::wstring location = Header(WINHTTP_QUERY_LOCATION);
    if (location.empty()) return std::nullopt;
    const String target = ResolveLocation(at, FromWide(location.data(), location.size()));
    const RedirectVerdict verdict = JudgeRedirect(at, target);
    if (verdict == RedirectVerdict::kLeavesHttps) return std::nullopt;
    Close();
    if (verdict == RedirectVerdict::kUnsupported) return TransferOutcome::kUnsupportedRedirect;
    if (redirects == kMaxRedirects) return TransferOutcome::kTooManyRedirects;
    at = target;
  }
}

std::optional<TransferOutcome> HttpExchange::Send(const String& url, const std::wstring& headers) {
  Close();
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(Wide(url), static_cast<DWORD>(url.size()), 0, &parts) || parts.dwHostNameLength == 0) {
    return TransferOutcome::kUnsupportedUrl;
  }
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  const std::wstring path = RequestPath(parts.lpszUrlPath, parts.dwUrlPathLength, parts.lpszExtraInfo,
                                        parts.dwExtraInfoLength);
  const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  connection_ = WinHttpConnect(session_, host.c_str(), parts.nPort, 0);
  if (!connection_) return OutcomeOfError(GetLastError(), false);
  HINTERNET request = WinHttpOpenRequest(
      connection_, L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
      WINHTTP_FLAG_ESCAPE_DISABLE | WINHTTP_FLAG_ESCAPE_DISABLE_QUERY | (secure ? WINHTTP_FLAG_SECURE : 0));
  if (!request) return OutcomeOfError(GetLastError(), false);
  // Redirects come back to Open to be judged: WinHTTP follows none itself.
  DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
  WinHttpSetOption(request, WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof policy);
  // With the run's own cookies WinHTTP keeps none of its own: each request gets only the jar's.
  const bool ownCookies = cookies_ && cookies_->InUse();
  DWORD disabled = WINHTTP_DISABLE_REDIRECTS | (ownCookies ? WINHTTP_DISABLE_COOKIES : 0);
  WinHttpSetOption(request, WINHTTP_OPTION_DISABLE_FEATURE, &disabled, sizeof disabled);
  AcquireSRWLockExclusive(&transfer_.lock);
  const bool cancelled = transfer_.cancelled;
  if (!cancelled) transfer_.handle = request;
  ReleaseSRWLockExclusive(&transfer_.lock);
  if (cancelled) {
    WinHttpCloseHandle(request);
    return TransferOutcome::kCancelled;
  }
  request_ = request;
  // Each hop its own cookies: a redirect to another host gets only that host's.
  const std::wstring sent = ownCookies ? headers + cookies_->HeaderLine(url) : headers;
  if (!WinHttpSendRequest(request, sent.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : sent.c_str(),
                          sent.empty() ? 0 : static_cast<DWORD>(-1L), WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
      !WinHttpReceiveResponse(request, nullptr)) {
    return OutcomeOfError(GetLastError(), false);
  }
  DWORD code = 0;
  DWORD size = sizeof code;
  if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &code, &size, WINHTTP_NO_HEADER_INDEX)) {
    return OutcomeOfError(GetLastError(), false);
  }
  status_ = static_cast<int>(code);
  if (ownCookies) cookies_->TakeAnswer(request, url);
  return std::nullopt;
}

void HttpExchange::Close() {
  if (request_) {
    AcquireSRWLockExclusive(&transfer_.lock);
    HINTERNET open = transfer_.handle;
    transfer_.handle = nullptr;
    ReleaseSRWLockExclusive(&transfer_.lock);
    if (open) WinHttpCloseHandle(open);
    request_ = nullptr;
  }
  if (connection_) {
    WinHttpCloseHandle(connection_);
    connection_ = nullptr;
  }
}

std::wstring HttpExchange::Header(DWORD query) const { return request_ ? velnor::Header(request_, query) : std::wstring(); }

bool HttpExchange::StillWanted() const {
  AcquireSRWLockShared(&transfer_.lock);
  const bool wanted = !transfer_.cancelled;
  ReleaseSRWLockShared(&transfer_.lock);
  return wanted;
}

bool HttpExchange::ReadSome(char* into, DWORD room, DWORD& got, DWORD& error) {
  got = 0;
  if (!StillWanted()) {
    error = ERROR_SUCCESS;
    return false;
  }
  DWORD available = 0;
  if (!WinHttpQueryDataAvailable(request_, &available) ||
      (available > 0 && !WinHttpReadData(request_, into, std::min(available, room), &got))) {
    error = GetLastError();
    return false;
  }
  return true;
}

bool HttpExchange::Read(char* into, DWORD want, DWORD& got, DWORD& error) {
  got = 0;
  while (got < want) {
    DWORD read = 0;
    if (!ReadSome(into + got, want - got, read, error)) return false;
    if (read == 0) break;
    got += read;
  }
  return true;
}

}  // namespace velnor
