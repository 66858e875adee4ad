#include "download/download_folder_path.h"

namespace velnor {
namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool IsDriveLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

// The length of the name that starts at `from` and ends at a separator or the end.
size_t NameLength(const String& path, size_t from) {
  size_t end = from;
  while (end < path.size() && !IsSeparator(path[end])) ++end;
  return end - from;
}

}  // namespace

bool IsAbsoluteFolderPath(const String& path) {
  if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == u':' && IsSeparator(path[2])) return true;
  if (path.size() < 2 || !IsSeparator(path[0]) || !IsSeparator(path[1])) return false;
  const size_t server = NameLength(path, 2);
  if (server == 0) return false;
  const String serverName = path.substr(2, server);
  if (serverName == u"." || serverName == u"?") return false;
  const size_t shareStart = 2 + server + 1;
  return shareStart < path.size() && NameLength(path, shareStart) > 0;
}

}  // namespace velnor
