#pragma once
// The Referer page and the cookies of a run on Windows: the checks when a download or a search
// is about to start (the cookies.txt read then), and the run's cookies shared by the transport's
// workers, each request getting its own Cookie header and each answer's Set-Cookie kept.
#include <windows.h>
#include <winhttp.h>

#include <optional>
#include <string>

#include "download/cookies.h"
#include "download/download_options.h"

namespace velnor {

inline constexpr wchar_t kBadRefererUrl[] = L"Referer の URL が正しくありません";
inline constexpr wchar_t kCannotReadCookies[] = L"クッキーのファイルを読めません";

// What a run sends beyond its URLs, or why it cannot start: `refusal` is the message (caption
// 注意, OK only), nothing starts then. No cookie file: no jar, and requests go as before.
struct RunRequests {
  std::optional<CookieJar> cookies;
  std::wstring refusal;
};
RunRequests PrepareRunRequests(const DownloadOptions& options);

// Shared by the workers of one transport. Without a jar nothing is added and WinHTTP's own
// cookie handling stays as it always was; with one, WinHTTP's is switched off on each request
// and the jar alone chooses.
class RunCookies {
 public:
  void Use(std::optional<CookieJar> jar);
  bool InUse() const;
  // "Cookie: ...\r\n" for a request of `url`, empty when no cookie matches.
  std::wstring HeaderLine(const String& url) const;
  // Every Set-Cookie of the answer to `url`.
  void TakeAnswer(HINTERNET request, const String& url);

 private:
  mutable SRWLOCK lock_ = SRWLOCK_INIT;
  std::optional<CookieJar> jar_;
};

}  // namespace velnor
