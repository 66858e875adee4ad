// Arbitrary bytes as Velnor.ini, read through the portable section reader and
// ReadSettingsFile into the model window: the window must end in a state the program can
// hold, and no section read may pass the buffer it was given.
#include "settings_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velnor;
  using namespace velnor::fuzz;
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  Loaded run(bytes);
  CheckLoadedWindow(run);

  // One section read with a buffer of any size, small ones included: the count stays
  // within the buffer, with room for the final NUL.
  const String path = SettingsFilePath(kFolder);
  const String& section = kSettingsSections[size % kSettingsSections.size()];
  const int bufferSize = size == 0 ? 0 : (data[0] % 8 == 0 ? data[size - 1] % 40 : kSectionBufferSize);
  String buffer;
  const int count = run.profile.GetPrivateProfileSectionA(section, buffer, bufferSize, path);
  const std::string where = "section " + Show(section) + " size " + std::to_string(bufferSize) + " count " +
                            std::to_string(count);
  FUZZ_CHECK(count >= 0 && count <= std::max(0, bufferSize - 2), where);
  FUZZ_CHECK(buffer.size() > static_cast<size_t>(count) && buffer[count] == u'\0', where);
  return 0;
}
