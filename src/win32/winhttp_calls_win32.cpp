#include "win32/winhttp_calls_win32.h"

#include "win32/res/version.h"
#include "win32/win32_text.h"

namespace velnor {

const wchar_t kUserAgent[] = L"Velnor/" VELNOR_VERSION_WTEXT;

namespace {

constexpr int kConnectTimeoutMs = 15000;
constexpr int kSendReceiveTimeoutMs = 30000;

}  // namespace

// The system's proxy: the automatic choice of Windows 8.1 and later, else the user's own
// proxy settings (those of the browser's control panel).
HINTERNET OpenSession() {
  HINTERNET session = WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                                  WINHTTP_NO_PROXY_BYPASS, 0);
  if (!session) {
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG user{};
    const bool named = WinHttpGetIEProxyConfigForCurrentUser(&user) && user.lpszProxy;
    session = WinHttpOpen(kUserAgent, named ? WINHTTP_ACCESS_TYPE_NAMED_PROXY : WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                          named ? user.lpszProxy : WINHTTP_NO_PROXY_NAME,
                          named && user.lpszProxyBypass ? user.lpszProxyBypass : WINHTTP_NO_PROXY_BYPASS, 0);
    for (LPWSTR text : {user.lpszAutoConfigUrl, user.lpszProxy, user.lpszProxyBypass}) {
      if (text) GlobalFree(text);
    }
  }
  if (!session) return nullptr;
  WinHttpSetTimeouts(session, kConnectTimeoutMs, kConnectTimeoutMs, kSendReceiveTimeoutMs, kSendReceiveTimeoutMs);
  // TLS 1.2 and 1.3; a system that does not know 1.3 refuses the pair, and gets 1.2 alone.
  DWORD protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3;
  if (!WinHttpSetOption(session, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols)) {
    protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2;
    WinHttpSetOption(session, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols);
  }
  return session;
}

// What a failed WinHTTP call means for the item. Wine reports a refused certificate as a
// secure channel error where Windows reports a secure failure.
TransferOutcome OutcomeOfError(DWORD error, bool bodyStarted) {
  switch (error) {
    case ERROR_WINHTTP_TIMEOUT: return TransferOutcome::kTimeout;
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
    case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE:
    case ERROR_WINHTTP_CLIENT_AUTH_CERT_NEEDED: return TransferOutcome::kCertificate;
    case ERROR_WINHTTP_REDIRECT_FAILED: return TransferOutcome::kTooManyRedirects;
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
    case ERROR_WINHTTP_INVALID_URL: return TransferOutcome::kUnsupportedUrl;
    default: return bodyStarted ? TransferOutcome::kCutShort : TransferOutcome::kCannotConnect;
  }
}

// The path and query as sent: what is not plain printable ASCII goes as UTF-8 escapes, the
// rest (escapes the URL has already included) as written; the fragment stays behind.
std::wstring RequestPath(const wchar_t* path, DWORD pathLength, const wchar_t* extra, DWORD extraLength) {
  String whole = FromWide(path, pathLength) + FromWide(extra, extraLength);
  if (const size_t fragment = whole.find(u'#'); fragment != String::npos) whole.resize(fragment);
  if (whole.empty() || whole[0] != u'/') whole.insert(whole.begin(), u'/');
  std::wstring escaped;
  static const char kHex[] = "0123456789ABCDEF";
  for (size_t i = 0; i < whole.size();) {
    const char16_t c = whole[i];
    if (c > 0x20 && c < 0x7F) {
      escaped += static_cast<wchar_t>(c);
      ++i;
      continue;
    }
    size_t units = IsHighSurrogate(c) && i + 1 < whole.size() && IsLowSurrogate(whole[i + 1]) ? 2 : 1;
    for (unsigned char byte : ToUtf8(StringView(whole).substr(i, units))) {
      escaped += L'%';
      escaped += static_cast<wchar_t>(kHex[byte >> 4]);
      escaped += static_cast<wchar_t>(kHex[byte & 15]);
    }
    i += units;
  }
  return escaped;
}

// A response header as text; empty when the server sent none.
std::wstring Header(HINTERNET request, DWORD query) {
  DWORD bytes = 0;
  WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &bytes,
                      WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes == 0) return std::wstring();
  std::wstring text(bytes / sizeof(wchar_t), L'\0');
  if (!WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, text.data(), &bytes,
                           WINHTTP_NO_HEADER_INDEX)) {
    return std::wstring();
  }
  text.resize(bytes / sizeof(wchar_t));
  return text;
}

std::optional<uint64_t> Number(const std::wstring& text) {
  if (text.empty() || text.size() > 19) return std::nullopt;
  uint64_t value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - L'0');
  }
  return value;
}

}  // namespace velnor
