#include "settings/portable_profile.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "base/cp932.h"
#include "settings/ini_text.h"

namespace velnor {

bool PortableProfile::AnsiCanHold(const String& text) const { return cp932::Decode(cp932::Encode(text)) == text; }

int PortableProfile::GetPrivateProfileSectionA(const String& section, String& buffer, int size,
                                               const String& path) {
  const std::optional<std::string> file = LoadFile(path);
  const std::string text = file ? ini::ReadSection(*file, cp932::Encode(section), size) : std::string();
  buffer = cp932::Decode(text);
  const int count = static_cast<int>(buffer.size());
  buffer.push_back(u'\0');
  return count;
}

bool PortableProfile::WritePrivateProfileSectionA(const String& section, const String& text,
                                                  const String& path) {
  std::optional<std::string> file = LoadFile(path);
  // Something there that cannot be read (a folder, say) is not replaced by a new file.
  if (!file && PathFileExistsA(path)) return false;
  return StoreFile(path, ini::ReplaceSection(file.value_or(std::string()), cp932::Encode(section),
                                             cp932::Encode(text)));
}

namespace {

std::filesystem::path NativePath(const String& path) {
  String native = path;
  for (char16_t& c : native) {
    if (c == u'\\') c = u'/';
  }
  const std::string utf8 = ToUtf8(native);
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace

bool IniFileProfile::PathFileExistsA(const String& path) const {
  std::error_code error;
  return std::filesystem::exists(NativePath(path), error);
}

bool IniFileProfile::FindOrdinaryFile(const String& path) const {
  const std::filesystem::path native = NativePath(path);
  std::error_code error;
  if (!std::filesystem::is_regular_file(native, error)) return false;
  const std::string name = native.filename().string();
  return name.empty() || name.front() != '.';
}

std::optional<std::string> IniFileProfile::LoadFile(const String& path) const {
  const std::filesystem::path native = NativePath(path);
  std::error_code error;
  if (!std::filesystem::is_regular_file(native, error)) return std::nullopt;
  std::ifstream in(native, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

bool IniFileProfile::StoreFile(const String& path, const std::string& bytes) {
  std::ofstream out(NativePath(path), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

bool MemoryProfile::PathFileExistsA(const String& path) const {
  return files.count(path) != 0 || folders.count(path) != 0;
}

bool MemoryProfile::FindOrdinaryFile(const String& path) const {
  const auto it = files.find(path);
  return it != files.end() && !it->second.hidden && !it->second.system;
}

std::optional<std::string> MemoryProfile::LoadFile(const String& path) const {
  const auto it = files.find(path);
  if (it == files.end()) return std::nullopt;
  return it->second.bytes;
}

bool MemoryProfile::StoreFile(const String& path, const std::string& bytes) {
  ++writeCalls;
  if (!writable) return false;
  files[path].bytes = bytes;
  return true;
}

}  // namespace velnor
