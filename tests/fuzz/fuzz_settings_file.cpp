// Arbitrary bytes as Velnor.ini, read through ReadSettingsFile into the model window (as code
// page 932 or as UTF-8): the window must end in a state the program can hold, and no section
// read may pass the buffer it was given.
#include "base/cp932.h"
#include "settings/ini_text.h"
#include "settings_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velnor;
  using namespace velnor::fuzz;
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  Loaded run(bytes);
  CheckLoadedWindow(run);

  // One section read with a buffer of any size, small ones included: the text stays within
  // the buffer, with room for the final NUL.
  const String& section = kSettingsSections[size % kSettingsSections.size()];
  const int bufferSize = size == 0 ? 0 : (data[0] % 8 == 0 ? data[size - 1] % 40 : kSectionBufferSize);
  const ini::Encoding encoding = size % 2 == 0 ? ini::Encoding::kCp932 : ini::Encoding::kUtf8;
  const std::string name = encoding == ini::Encoding::kCp932 ? cp932::Encode(section) : ToUtf8(section);
  const std::string text = ini::ReadSection(bytes, name, bufferSize, encoding);
  FUZZ_CHECK(text.size() <= static_cast<size_t>(std::max(0, bufferSize - 2)),
             "section " + Show(section) + " size " + std::to_string(bufferSize) + " read " + std::to_string(text.size()));
  return 0;
}
