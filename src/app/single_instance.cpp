#include "app/single_instance.h"

#include <cstdint>

#include "app/hand_over.h"
#include "app/shell_platform.h"

namespace velnor {

bool RefuseSecondInstance(Program& program) {
  if (!program.shell->AnotherInstanceRunning()) return false;
  // Started with an argument ("Send to", a script): the running instance takes it, quietly.
  if (HandOverStartUrl(program)) return true;
  program.platform->ShowMessage(kAlreadyRunningText, kAlreadyRunningCaption, kOkExclamation);
  return true;
}

String InstanceObjectName(StringView programPath) {
  // 64-bit FNV-1a over the UTF-16 code units, low byte first.
  std::uint64_t hash = 14695981039346656037ull;
  for (char16_t unit : programPath) {
    for (int shift : {0, 8}) {
      hash ^= static_cast<std::uint8_t>(unit >> shift);
      hash *= 1099511628211ull;
    }
  }
  // The session's own namespace: another user's copy of the same file is not this user's.
  String name = u"Local\\Velnor-";
  for (int shift = 60; shift >= 0; shift -= 4) {
    name += u"0123456789abcdef"[(hash >> shift) & 0xF];
  }
  return name;
}

}  // namespace velnor
