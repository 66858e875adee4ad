#include "download/page_rule.h"

#include <algorithm>
#include <array>

namespace velnor {
namespace {

constexpr std::array<StringView, 49> kBinaryExtensions = {
    u"jpg", u"jpeg", u"jpe", u"jfif", u"png", u"gif", u"webp", u"avif", u"bmp", u"tif", u"tiff", u"ico", u"heic",
    u"heif", u"psd", u"mp4", u"m4v", u"webm", u"mkv", u"mov", u"avi", u"wmv", u"flv", u"mpg", u"mpeg", u"ts",
    u"mp3", u"m4a", u"aac", u"ogg", u"oga", u"opus", u"flac", u"wav", u"wma", u"zip", u"rar", u"7z", u"lzh",
    u"lha", u"cab", u"gz", u"tgz", u"bz2", u"xz", u"tar", u"pdf", u"exe", u"msi"};

constexpr std::array<std::string_view, 6> kPageStarts = {"<!doctype html", "<html", "<head", "<body", "<title",
                                                         "<script"};

template <typename Char>
Char LowerAscii(Char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<Char>(c + ('a' - 'A')) : c;
}

template <typename Char>
bool StartsIgnoringCase(std::basic_string_view<Char> text, std::basic_string_view<Char> lowerPrefix) {
  return text.size() >= lowerPrefix.size() &&
         std::equal(lowerPrefix.begin(), lowerPrefix.end(), text.begin(),
                    [](Char prefix, Char c) { return prefix == LowerAscii(c); });
}

// The media type of a Content-Type, without its parameters and the blanks around it.
StringView MediaType(StringView contentType) {
  contentType = contentType.substr(0, contentType.find(u';'));
  const size_t begin = contentType.find_first_not_of(u" \t");
  if (begin == StringView::npos) return {};
  return contentType.substr(begin, contentType.find_last_not_of(u" \t") - begin + 1);
}

bool IsHtmlType(StringView contentType) {
  const StringView type = MediaType(contentType);
  for (const StringView html : {StringView(u"text/html"), StringView(u"application/xhtml+xml")}) {
    if (type.size() == html.size() && StartsIgnoringCase(type, html)) return true;
  }
  return false;
}

}  // namespace

bool IsBinaryTypeName(StringView fileName) {
  fileName = fileName.substr(fileName.find_last_of(u"\\/") + 1);  // npos + 1: the whole text
  const size_t dot = fileName.rfind(u'.');
  if (dot == StringView::npos) return false;
  const StringView extension = fileName.substr(dot + 1);
  return std::any_of(kBinaryExtensions.begin(), kBinaryExtensions.end(), [extension](StringView binary) {
    return extension.size() == binary.size() && StartsIgnoringCase(extension, binary);
  });
}

bool IsPageNotPicture(StringView fileName, StringView contentType, std::string_view firstBytes) {
  return IsBinaryTypeName(fileName) && IsPageBody(contentType, firstBytes);
}

bool IsPageBody(StringView contentType, std::string_view firstBytes) {
  if (firstBytes.starts_with("\xEF\xBB\xBF")) firstBytes.remove_prefix(3);
  const size_t begin = firstBytes.find_first_not_of(" \t\r\n\f");
  if (begin == std::string_view::npos || firstBytes[begin] != '<') return false;
  if (IsHtmlType(contentType)) return true;
  const std::string_view body = firstBytes.substr(begin);
  return std::any_of(kPageStarts.begin(), kPageStarts.end(),
                     [body](std::string_view start) { return StartsIgnoringCase(body, start); });
}

}  // namespace velnor
