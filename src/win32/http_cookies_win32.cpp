#include "win32/http_cookies_win32.h"

#include <ctime>
#include <string>

#include "download/download_folder_path.h"
#include "download/item_transfer.h"
#include "win32/win32_text.h"

namespace velnor {
namespace {

int64_t Now() { return static_cast<int64_t>(time(nullptr)); }

// The whole file, unless it is not there, not a file, larger than a cookies.txt can be, or
// cannot be read. A browser may hold it open.
std::optional<std::string> ReadCookiesFile(const String& path) {
  if (!IsAbsoluteFolderPath(path)) return std::nullopt;  // never relative to the current folder
  const HANDLE file = CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::optional<std::string> bytes;
  LARGE_INTEGER size{};
  if (GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size) && size.QuadPart >= 0 &&
      static_cast<uint64_t>(size.QuadPart) <= kMaxCookiesFileBytes) {
    std::string read(static_cast<size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    if (read.empty() || (ReadFile(file, read.data(), static_cast<DWORD>(read.size()), &got, nullptr) && got == read.size())) {
      bytes = std::move(read);
    }
  }
  CloseHandle(file);
  return bytes;
}

}  // namespace

RunRequests PrepareRunRequests(const DownloadOptions& options) {
  RunRequests run;
  if (options.sendReferer && !options.refererUrl.empty() && !IsRefererUrlUsable(options.refererUrl)) {
    run.refusal = kBadRefererUrl;
    return run;
  }
  if (options.cookiesFile.empty()) return run;
  const std::optional<std::string> file = ReadCookiesFile(options.cookiesFile);
  if (!file) {
    run.refusal = std::wstring(kCannotReadCookies) + L"\n" + Wide(options.cookiesFile);
    return run;
  }
  run.cookies.emplace(ParseCookiesFile(*file));
  return run;
}

void RunCookies::Use(std::optional<CookieJar> jar) {
  AcquireSRWLockExclusive(&lock_);
  jar_ = std::move(jar);
  ReleaseSRWLockExclusive(&lock_);
}

bool RunCookies::InUse() const {
  AcquireSRWLockShared(&lock_);
  const bool inUse = jar_.has_value();
  ReleaseSRWLockShared(&lock_);
  return inUse;
}

std::wstring RunCookies::HeaderLine(const String& url) const {
  AcquireSRWLockShared(&lock_);
  const String value = jar_ ? jar_->HeaderFor(url, Now()) : String();
  ReleaseSRWLockShared(&lock_);
  return value.empty() ? std::wstring() : L"Cookie: " + std::wstring(Wide(value)) + L"\r\n";
}

void RunCookies::TakeAnswer(HINTERNET request, const String& url) {
  if (!InUse()) return;
  for (DWORD index = 0;;) {
    DWORD size = 0;
    const DWORD at = index;
    WinHttpQueryHeaders(request, WINHTTP_QUERY_SET_COOKIE, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER,
                        &size, &index);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return;
    std::wstring value(size / sizeof(wchar_t), L'\0');
    index = at;
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_SET_COOKIE, WINHTTP_HEADER_NAME_BY_INDEX, value.data(), &size,
                             &index)) {
      return;
    }
    value.resize(size / sizeof(wchar_t));
    AcquireSRWLockExclusive(&lock_);
    if (jar_) jar_->TakeSetCookie(FromWide(value.data(), value.size()), url, Now());
    ReleaseSRWLockExclusive(&lock_);
    if (index == at) return;  // the index did not move on: no further header
  }
}

}  // namespace velnor
