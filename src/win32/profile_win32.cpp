#include "win32/profile_win32.h"

#include <windows.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "win32/download_folder_win32.h"

namespace velnor {
namespace {

// Embedded NULs (the separators of a section text) are converted like any character.
std::string ToAnsi(const String& text) {
  if (text.empty()) return std::string();
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  const int bytes = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string ansi(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, length, ansi.data(), bytes, nullptr, nullptr);
  return ansi;
}

String FromAnsi(const char* bytes, int count) {
  if (count <= 0) return String();
  const int length = MultiByteToWideChar(CP_ACP, 0, bytes, count, nullptr, 0);
  if (length <= 0) return String();
  String text(static_cast<size_t>(length), u'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes, count, reinterpret_cast<wchar_t*>(text.data()), length);
  return text;
}

// GetModuleFileNameW cuts a long path without saying so except by filling the buffer.
String ModulePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return String();
    if (length < buffer.size() || buffer.size() >= 32768) {
      return String(reinterpret_cast<const char16_t*>(buffer.data()), length);
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

String Win32ProfilePlatform::ProgramFolder() const {
  const String path = ModulePath();
  const size_t slash = path.rfind(u'\\');
  if (slash == String::npos) return String();
  String folder = path.substr(0, slash);
  if (folder.size() == 2 && folder[1] == u':') folder.push_back(u'\\');
  return folder;
}

bool Win32ProfilePlatform::PathFileExistsA(const String& path) const {
  return ::PathFileExistsA(ToAnsi(path).c_str()) != FALSE;
}

bool Win32ProfilePlatform::FindOrdinaryFile(const String& path) const {
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA(ToAnsi(path).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  constexpr DWORD kNotOrdinary = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
  return (found.dwFileAttributes & kNotOrdinary) == 0;
}

int Win32ProfilePlatform::GetPrivateProfileSectionA(const String& section, String& buffer, int size,
                                                    const String& path) {
  buffer.clear();
  if (size > 0) {
    std::string bytes(static_cast<size_t>(size), '\0');
    const DWORD count = ::GetPrivateProfileSectionA(ToAnsi(section).c_str(), bytes.data(),
                                                    static_cast<DWORD>(size), ToAnsi(path).c_str());
    buffer = FromAnsi(bytes.data(), static_cast<int>(count < static_cast<DWORD>(size) ? count : 0));
  }
  const int characters = static_cast<int>(buffer.size());
  buffer.push_back(u'\0');
  return characters;
}

bool Win32ProfilePlatform::WritePrivateProfileSectionA(const String& section, const String& text,
                                                       const String& path) {
  // The list ends at the first empty entry; the extra NUL makes sure it ends somewhere.
  const std::string entries = ToAnsi(text) + '\0';
  return ::WritePrivateProfileSectionA(ToAnsi(section).c_str(), entries.c_str(), ToAnsi(path).c_str()) != FALSE;
}

bool Win32ProfilePlatform::AnsiCanHold(const String& text) const {
  const std::string ansi = ToAnsi(text);
  return FromAnsi(ansi.data(), static_cast<int>(ansi.size())) == text;
}

String Win32ProfilePlatform::DownloadsFolder() const { return UserDownloadsFolder(); }

}  // namespace velnor
