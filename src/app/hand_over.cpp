#include "app/hand_over.h"

#include <cstring>

#include "app/shell_platform.h"

namespace velnor {

std::optional<String> HandedOverText(uintptr_t tag, const void* data, size_t bytes) {
  if (tag != kHandOverTag || data == nullptr || bytes == 0 || bytes > kMaxHandOverBytes ||
      bytes % sizeof(char16_t) != 0) {
    return std::nullopt;
  }
  String text(bytes / sizeof(char16_t), u'\0');
  std::memcpy(text.data(), data, bytes);
  if (text.find(u'\0') != String::npos) return std::nullopt;
  return text;
}

bool HandOverStartUrl(Program& program) {
  if (!program.startedWithArguments || !program.shell->AnotherInstanceRunning()) return false;
  if (!program.startUrl || program.shell->HandOver(*program.startUrl)) return true;
  program.startedWithArguments = false;
  program.startUrl.reset();
  return false;
}

void TakeStartUrl(Program& program) {
  if (program.startUrl) TakeHandedUrl(program, *program.startUrl);
}

}  // namespace velnor
