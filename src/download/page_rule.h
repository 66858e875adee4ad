#pragma once
// A page is not a picture: many image servers answer a missing number with 200 and an HTML
// page (a "not found" page, a log-in page, a hot-link notice), or redirect it to one. Such
// an answer under a picture's name is taken as "見つかりません (ページ)" and nothing of it
// is kept. Pure functions, safe on any thread.
#include <cstddef>
#include <string_view>

#include "base/text.h"

namespace velnor {

// How much of a body the transport reads before it judges it: the first
// min(kPageSniffBytes, body size) bytes go to IsPageNotPicture.
constexpr size_t kPageSniffBytes = 1024;

// The name ends in the extension of a binary file type (jpg, png, webp, mp4, zip, pdf, exe,
// ... in any case). A path may be given: only its last segment counts.
bool IsBinaryTypeName(StringView fileName);

// True when a 200 or 206 body that begins the file is an HTML page under a binary file's
// name: its first bytes, after a UTF-8 byte-order mark and blanks, are "<", and either the
// Content-Type is text/html or application/xhtml+xml (parameters such as "; charset=..."
// allowed, any case) or the body begins, ignoring case, with "<!doctype html", "<html",
// "<head", "<body", "<title" or "<script". A real picture never begins with "<", so one sent
// as text/html is kept; other names (html, php, txt, json, svg, none ...) are never judged.
// A body that continues a part from elsewhere than the file's start is not a page's start:
// the transport judges only bodies that begin at byte 0.
bool IsPageNotPicture(StringView fileName, StringView contentType, std::string_view firstBytes);

// The same judgment of the body whatever the name: a page's first bytes, with an HTML
// Content-Type or beginning as a page does.
bool IsPageBody(StringView contentType, std::string_view firstBytes);

}  // namespace velnor
