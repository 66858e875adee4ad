// The folder field takes only a folder named in full.
#include <gtest/gtest.h>

#include "download/download_folder_path.h"

namespace velnor {
namespace {

TEST(DownloadFolderPath, OnlyAFolderNamedInFull) {
  const struct {
    String path;
    bool absolute;
  } cases[] = {
      {u"C:\\", true},
      {u"c:\\Users\\me\\Downloads", true},
      {u"D:/photos", true},
      {u"\\\\server\\share", true},
      {u"\\\\server\\share\\dl\\", true},
      {u"//server/share/dl", true},
      // Relative to the current folder, or to a drive's.
      {u"", false},
      {u"dl", false},
      {u"..\\dl", false},
      {u"\\dl", false},
      {u"C:", false},
      {u"C:dl", false},
      {u"1:\\dl", false},
      {u" C:\\dl", false},
      // A share needs its server and its name; the device namespaces are not folders.
      {u"\\\\", false},
      {u"\\\\server", false},
      {u"\\\\server\\", false},
      {u"\\\\\\share", false},
      {u"\\\\.\\COM1", false},
      {u"\\\\?\\C:\\dl", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsAbsoluteFolderPath(c.path), c.absolute) << ToUtf8(c.path);
  }
}

}  // namespace
}  // namespace velnor
