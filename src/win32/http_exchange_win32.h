#pragma once
// One GET and the redirects it leads to, on a worker thread: each redirect's target is judged
// before anything is requested for it (WinHTTP's own redirects would take "file:" or "ftp:" for
// a path on the same server), and the open request handle is where a cancel can close it.
#include <windows.h>
#include <winhttp.h>

#include <optional>
#include <string>

#include "download/transfer_platform.h"

namespace velnor {

struct Transfer;
class RunCookies;  // win32/http_cookies_win32.h

class HttpExchange {
 public:
  // cookies: the run's, asked for each request of a redirect chain on its own (nullptr: none).
  HttpExchange(HINTERNET session, Transfer& transfer, RunCookies* cookies = nullptr)
      : session_(session), transfer_(transfer), cookies_(cookies) {}
  ~HttpExchange() { Close(); }
  HttpExchange(const HttpExchange&) = delete;
  HttpExchange& operator=(const HttpExchange&) = delete;

  // Sends the GET (with the Referer, when it is plain text on one line, and the extra header
  // lines) and follows up to ten redirects; nothing when an answer is there to read, else how
  // the request ended. An https answer that redirects to http is not followed: it is the answer.
  std::optional<TransferOutcome> Open(const String& url, const String& referer, const std::wstring& extraHeaders);
  // The request handle closed, unless a cancel closed it already.
  void Close();

  int status() const { return status_; }
  // Where the answer came from when redirects led to it; empty when from the URL asked.
  String RedirectedTo() const { return redirected_ ? at_ : String(); }
  std::wstring Header(DWORD query) const;
  // Up to `want` bytes of the body, as many reads as it takes (fewer at its end); false when
  // a read failed (error) or the transfer was cancelled (error 0).
  bool Read(char* into, DWORD want, DWORD& got, DWORD& error);
  // What has arrived, up to `room` bytes, in one read (a read of more than that waits for all
  // of it under Wine); got 0 at the body's end.
  bool ReadSome(char* into, DWORD room, DWORD& got, DWORD& error);

 private:
  std::optional<TransferOutcome> Send(const String& url, const std::wstring& headers);
  bool StillWanted() const;

  HINTERNET session_;
  Transfer& transfer_;
  RunCookies* cookies_;
  HINTERNET connection_ = nullptr;
  HINTERNET request_ = nullptr;
  int status_ = 0;
  String at_;  // the URL of the last request sent
  bool redirected_ = false;
};

}  // namespace velnor
