#include "win32/part_file_win32.h"

#include "win32/win32_text.h"

namespace velnor {
namespace {

class SystemWrites : public PartWrites {
 public:
  bool Write(HANDLE file, const void* data, DWORD size) override {
    DWORD done = 0;
    return WriteFile(file, data, size, &done, nullptr) && done == size;
  }
};

}  // namespace

PartWrites& SystemPartWrites() {
  static SystemWrites writes;
  return writes;
}

std::optional<uint64_t> PartSizeOnDisk(const String& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Wide(path), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return std::nullopt;
  }
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string ReadPartBytes(const String& path, uint64_t from, uint64_t to) {
  std::string bytes;
  if (to <= from || to - from > MAXDWORD) return bytes;
  const HANDLE file = CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  LARGE_INTEGER position{};
  position.QuadPart = static_cast<LONGLONG>(from);
  bytes.resize(static_cast<size_t>(to - from));
  DWORD got = 0;
  if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN) ||
      !ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) || got != bytes.size()) {
    bytes.clear();
  }
  CloseHandle(file);
  return bytes;
}

HANDLE OpenPartForWriting(const String& path, uint64_t start) {
  const HANDLE file = CreateFileW(Wide(path), GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                  start > 0 ? OPEN_EXISTING : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE || start == 0) return file;
  LARGE_INTEGER position{};
  position.QuadPart = static_cast<LONGLONG>(start);
  LARGE_INTEGER size{};
  // Never longer than it was: a part shorter than the start would be filled with zeros.
  if (!GetFileSizeEx(file, &size) || size.QuadPart < position.QuadPart ||
      !SetFilePointerEx(file, position, nullptr, FILE_BEGIN) || !SetEndOfFile(file)) {
    CloseHandle(file);
    return INVALID_HANDLE_VALUE;
  }
  return file;
}

}  // namespace velnor
