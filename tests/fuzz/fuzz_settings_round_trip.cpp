// Arbitrary bytes as Velnor.ini, then the exit and the next start: saving writes the file
// over the one that was read, and loading it again must give the window that was saved;
// after that round the file must stay the same, byte for byte.
#include "base/cp932.h"
#include "settings_fuzz_support.h"

namespace {

void RoundTrip(const std::string& bytes) {
  using namespace velnor;
  using namespace velnor::fuzz;
  Loaded first(bytes);
  UpdateHistoryLists(first.program);
  const Kept atExit = Keep(first.window);
  FUZZ_CHECK(SaveSettings(first.program), "the save failed");
  // A text that code page 932 cannot hold is not written to a file in that code page (the file
  // keeps the old value for its key): the round starts again from the file written, whose
  // texts code page 932 holds. A UTF-8 or UTF-16 file holds every text.
  const bool holdsEverything = HoldsEveryCharacter(first.Bytes());
  if (!holdsEverything && !Holdable(atExit)) {
    FUZZ_CHECK(Holdable(Keep(Loaded(first.Bytes()).window)), "a text code page 932 cannot hold came back");
    RoundTrip(first.Bytes());
    return;
  }

  // (Without CHECK3 in the file neither button was selected; the exit wrote False, which
  // selects Option1: Option0 stays off either way.)
  Loaded second(first.Bytes());
  CheckLoadedWindow(second);
  const Kept reloaded = Keep(second.window);
  FUZZ_CHECK(reloaded == Settled(atExit), "reloaded " + ShowKept(reloaded) + " saved " + ShowKept(atExit));
  FUZZ_CHECK(second.window.Option0.Value() != second.window.Option1.Value(), "the saved file selects one button");
  FUZZ_CHECK(second.program.autoSplit == first.program.autoSplit, "the automatic split was not kept");
  // The folder as a line of the file keeps it (an empty one is the Downloads folder).
  DownloadOptions options = first.program.downloadOptions;
  options.folder = Settled(options.folder);
  if (options.folder.empty()) options.folder = first.profile.DownloadsFolder();
  if (!holdsEverything && !cp932::CanHold(options.folder)) options.folder = second.program.downloadOptions.folder;
  FUZZ_CHECK(second.program.downloadOptions == options, "download folder " + Show(second.program.downloadOptions.folder));
  // Every text is in its list already: the exit has nothing to add.
  UpdateHistoryLists(second.program);
  FUZZ_CHECK(Keep(second.window) == reloaded, "history changed " + ShowKept(Keep(second.window)));

  FUZZ_CHECK(SaveSettings(second.program), "the second save failed");
  Loaded third(second.Bytes());
  FUZZ_CHECK(Keep(third.window) == reloaded, "third load " + ShowKept(Keep(third.window)));
  const std::string settled = third.Bytes();
  UpdateHistoryLists(third.program);
  FUZZ_CHECK(SaveSettings(third.program), "the third save failed");
  FUZZ_CHECK(third.Bytes() == settled, "the file changed after it had settled");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A section of the saved file is read back through a buffer of 32767 bytes; values taken
  // from a file of this size cannot fill it.
  if (size > 30000) return 0;
  RoundTrip(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
