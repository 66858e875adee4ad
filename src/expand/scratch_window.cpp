#include "expand/scratch_window.h"

#include "ui/event_wiring.h"

namespace velnor {
namespace {

void CopyItems(const ItemList& from, ItemList& to) {
  const int count = from.Count();
  for (int i = 0; i < count; ++i) to.AddItem(from.Item(i));
}

}  // namespace

ScratchWindow::ScratchWindow(const Program& real) : platform(*real.platform, PlatformWithoutBoxes::kSkip) {
  program.form = window.form();
  program.platform = &platform;
  WireEvents(program);
  const Form1& f = real.form;
  if (f.Option0->Value()) window.Option0.Select();
  if (f.Option1->Value()) window.Option1.Select();
  program.startNumber = real.startNumber;
  CopyItems(f.List(1), window.list1);
  CopyItems(f.List(2), window.list2);
}

}  // namespace velnor
