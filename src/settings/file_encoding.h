#pragma once
// How the settings file's bytes are read and written back: in the encoding they came in.
// Code page 932 and UTF-8 are handed to the INI reader and writer as they are (without a
// UTF-8 byte-order mark); UTF-16 (byte-order mark FF FE, or FE FF) as UTF-8 that turns back
// into the same UTF-16 code units, so lines the program does not set stay byte for byte.
#include <string>
#include <string_view>

#include "base/text.h"
#include "settings/ini_text.h"

namespace velnor {

class SettingsFileText {
 public:
  // UTF-16 with its byte-order mark; UTF-8 with its byte-order mark (a stray byte that is no
  // UTF-8 then stays as it is), or when the bytes are UTF-8 and hold a character beyond ASCII;
  // code page 932 otherwise (ASCII alone is the same in both). A file the program wrote in code page 932 is never valid UTF-8: its
  // section names are not; Japanese text in code page 932 hardly ever is.
  explicit SettingsFileText(std::string_view file);
  SettingsFileText(const SettingsFileText&) = delete;
  SettingsFileText& operator=(const SettingsFileText&) = delete;

  // The text for the INI reader and writer, in Encoding().
  std::string_view Bytes() const { return bytes_; }
  ini::Encoding Encoding() const { return unicode_ ? ini::Encoding::kUtf8 : ini::Encoding::kCp932; }
  // False for code page 932, which lacks most of the world's characters.
  bool HoldsEveryCharacter() const { return unicode_; }

  // Text in Encoding() (Bytes() with the program's keys set) as the file's bytes: in the
  // file's encoding, with the byte-order mark it had.
  std::string FileBytes(std::string text) const;

 private:
  enum class Form { kCp932, kUtf8, kUtf8Marked, kUtf16Le, kUtf16Be };
  Form form_ = Form::kCp932;
  bool unicode_ = false;
  std::string converted_;   // a UTF-16 file's text as UTF-8
  std::string_view bytes_;  // into the file or converted_
  std::string_view oddByte_;  // a UTF-16 file's last byte when its size is odd: kept at the end
};

}  // namespace velnor
