#include "app/temporary_path.h"

#include <algorithm>

namespace velnor {

String TemporaryPathBeside(StringView path, uint32_t number) {
  static constexpr char16_t kDigits[] = u"0123456789abcdefghijklmnopqrstuvwxyz";
  const size_t nameBegin = path.find_last_of(u"\\/") + 1;  // 0 when there is no folder
  const size_t length = std::min<size_t>(path.size() - nameBegin, 9);
  if (length == 0) return String();
  String temporary(path.substr(0, nameBegin));
  if (length > 1) temporary += u'~';
  for (uint32_t rest = number; temporary.size() < nameBegin + length; rest /= 36) temporary += kDigits[rest % 36];
  return temporary;
}

}  // namespace velnor
