#include "app/command_wiring.h"

#include "clipboard/clipboard_platform.h"

namespace velnor {

void WireCommands(Program& program) {
  Program* p = &program;
  // Asked for, not run: the search's window must not open inside the clipboard notice.
  program.CopiedUrlSplit = [p] {
    if (p->autoFind) p->clipboard->RequestSeriesSearch();
  };
}

}  // namespace velnor
