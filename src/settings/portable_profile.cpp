#include "settings/portable_profile.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "settings/settings_file.h"

namespace velnor {
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

bool IniFileProfile::PathFileExists(const String& path) const {
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

std::optional<std::string> IniFileProfile::ReadWholeFile(const String& path) const {
  const std::filesystem::path native = NativePath(path);
  std::error_code error;
  if (!std::filesystem::is_regular_file(native, error)) return std::nullopt;
  std::ifstream in(native, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

bool IniFileProfile::ReplaceWholeFile(const String& path, const std::string& bytes) {
  const std::filesystem::path native = NativePath(path);
  std::error_code error;
  // A folder in the file's place stays.
  if (std::filesystem::exists(native, error) && !std::filesystem::is_regular_file(native, error)) return false;
  const std::filesystem::path temporary = NativePath(SettingsTemporaryPath(path));
  if (temporary.empty()) return false;
  std::filesystem::remove(temporary, error);  // what a save cut off left, read-only or not
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (out.fail()) {
      std::filesystem::remove(temporary, error);
      return false;
    }
  }
  std::filesystem::rename(temporary, native, error);
  if (!error) return true;
  std::filesystem::remove(temporary, error);
  return false;
}

bool MemoryProfile::PathFileExists(const String& path) const {
  return files.count(path) != 0 || folders.count(path) != 0;
}

bool MemoryProfile::FindOrdinaryFile(const String& path) const {
  const auto it = files.find(path);
  return it != files.end() && !it->second.hidden && !it->second.system;
}

std::optional<std::string> MemoryProfile::ReadWholeFile(const String& path) const {
  const auto it = files.find(path);
  if (it == files.end()) return std::nullopt;
  return it->second.bytes;
}

bool MemoryProfile::ReplaceWholeFile(const String& path, const std::string& bytes) {
  ++writeCalls;
  if (!writable || folders.count(path) != 0) return false;
  files[path].bytes = bytes;
  return true;
}

}  // namespace velnor
