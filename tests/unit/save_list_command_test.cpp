// Saving urllist to a file on the model window: the dialog's request, the exact bytes, the
// messages, the folder the next dialog starts in, and what the command leaves alone.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/save_list_command.h"
#include "app/temporary_path.h"
#include "model_clipboard.h"

namespace velnor::testing {
namespace {

// Answers the dialog and the write as a test tells it to; records what it was asked.
class ModelListFile : public ListFilePlatform {
 public:
  std::optional<String> AskSavePath(const SaveDialogRequest& request) override {
    requests.push_back(request);
    return answer;
  }
  bool FolderExists(const String& path) override { return path != goneFolder; }
  bool WriteWholeFile(const String& path, const std::string& bytes) override {
    writes.push_back({path, bytes});
    return writable;
  }

  struct Write {
    String path;
    std::string bytes;
    bool operator==(const Write&) const = default;
  };
  std::optional<String> answer;
  bool writable = true;
  String goneFolder;  // a folder removed since it was saved in
  std::vector<SaveDialogRequest> requests;
  std::vector<Write> writes;
};

struct Saver : ClipboardModelProgram {
  explicit Saver(const std::vector<String>& items, const std::vector<int>& selected = {}) {
    program.listFile = &file;
    program.programFolder = u"C:\\Tools\\Velnor\\";
    for (const String& item : items) window.urllist.AddItem(item);
    for (int i : selected) window.urllist.SetSelected(i, true);
    clipboard.content = ModelClipboard::Content::kText;
    clipboard.text = u"on the clipboard before";
  }
  ModelListFile file;
};

const String kPath = u"D:\\リスト\\urllist.txt";

TEST(SaveListToFile, BytesMessagesAndDialog) {
  struct Case {
    const char* name;
    std::vector<String> items;
    std::optional<String> chosen;  // nothing: Cancel
    bool writable;
    std::optional<std::string> written;  // the bytes handed to the write, if any
    std::vector<String> messages;
  };
  const Case cases[] = {
      {"ASCII, CR LF after every item", {u"http://a.example/01.jpg", u"http://a.example/02.jpg"}, kPath, true,
       "http://a.example/01.jpg\r\nhttp://a.example/02.jpg\r\n", {}},
      {"Japanese as UTF-8, no BOM", {u"http://例.jp/写真01.jpg"}, kPath, true,
       "http://\xE4\xBE\x8B.jp/\xE5\x86\x99\xE7\x9C\x9F" "01.jpg\r\n", {}},
      {"surrogate pairs as one 4-byte character", {u"\U0001F600/\U00020BB7"}, kPath, true,
       "\xF0\x9F\x98\x80/\xF0\xA0\xAE\xB7\r\n", {}},
      {"lone surrogates become U+FFFD", {String(u"a\xD83D") + u"b", String(1, u'\xDE00')}, kPath, true,
       "a\xEF\xBF\xBD" "b\r\n\xEF\xBF\xBD\r\n", {}},
      {"items unchanged, empty ones give bare line ends", {u"", u" x\t", u""}, kPath, true, "\r\n x\t\r\n\r\n", {}},
      {"cancel writes nothing", {u"http://a.example/01.jpg"}, std::nullopt, true, std::nullopt, {}},
      {"failed write names the file", {u"x"}, kPath, false, "x\r\n",
       {u"ファイルを保存できませんでした\nD:\\リスト\\urllist.txt"}},
      {"empty list: the copy message and no dialog", {}, kPath, true, std::nullopt, {u"リストにデータがありません"}},
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(t.name);
    Saver p(t.items, t.items.empty() ? std::vector<int>{} : std::vector<int>{0});
    InstallClipboardWatcher(p.program);
    p.clipboard.calls.clear();
    p.file.answer = t.chosen;
    p.file.writable = t.writable;
    SaveListToFile(p.program);
    // Whatever the ending, the list, its selection and the clipboard are as they were.
    EXPECT_EQ(p.window.urllist.Items(), t.items);
    for (int i = 0; i < p.window.urllist.Count(); ++i) EXPECT_EQ(p.window.urllist.Selected(i), i == 0);
    EXPECT_TRUE(p.window.urllist.Visible());
    EXPECT_TRUE(p.clipboard.calls.empty());
    EXPECT_TRUE(p.clipboard.writes.empty());
    EXPECT_EQ(p.platform.MessageTexts(), t.messages);
    for (const ShownMessage& m : p.platform.messages) {
      EXPECT_EQ(m.caption, u"注意");
      EXPECT_EQ(m.style, kOkOnly);
    }
    ASSERT_EQ(p.file.requests.size(), t.items.empty() ? 0u : 1u);
    if (!t.items.empty()) {
      const SaveDialogRequest expected{
          u"urllist.txt", u"C:\\Tools\\Velnor\\",
          {{u"テキスト ファイル (*.txt)", u"*.txt"}, {u"すべてのファイル (*.*)", u"*.*"}}, u"txt"};
      EXPECT_EQ(p.file.requests[0], expected);
    }
    std::vector<ModelListFile::Write> writes;
    if (t.written) writes.push_back({kPath, *t.written});
    EXPECT_EQ(p.file.writes, writes);
  }
}

TEST(SaveListToFile, StartsInTheFolderOfTheLastSaveOfThisRun) {
  struct Step {
    std::optional<String> chosen;
    bool writable;
    const char16_t* startFolder;   // where this step's dialog opens
    const char16_t* gone = u"";    // a folder removed before this step
  };
  const Step steps[] = {
      {std::nullopt, true, u"C:\\Tools\\Velnor\\"},  // nothing saved yet: the program's folder
      {u"D:\\lists\\a.txt", true, u"C:\\Tools\\Velnor\\"},
      {u"E:\\gone\\b.txt", false, u"D:\\lists\\"},  // a failed save is not remembered
      {std::nullopt, true, u"D:\\lists\\"},          // nor a cancelled one
      {u"\\\\server\\share\\c.txt", true, u"D:\\lists\\"},
      {u"x.txt", true, u"\\\\server\\share\\"},
      {std::nullopt, true, u"\\\\server\\share\\"},  // a path without a folder changes nothing
      {std::nullopt, true, u"C:\\Tools\\Velnor\\", u"\\\\server\\share\\"},
  };
  Saver p({u"http://a.example/01.jpg"});
  for (const Step& s : steps) {
    SCOPED_TRACE(ToUtf8(s.startFolder));
    p.file.answer = s.chosen;
    p.file.writable = s.writable;
    p.file.goneFolder = s.gone;
    SaveListToFile(p.program);
    EXPECT_EQ(p.file.requests.back().initialFolder, s.startFolder);
  }
}

}  // namespace
}  // namespace velnor::testing

namespace velnor {
namespace {

// The temporary file sits in the target's folder, and its name is never longer than the
// target's: a target near the system's path limit can be written through it.
TEST(TemporaryPathBeside, SameFolderNeverALongerName) {
  struct Case {
    String path;
    uint32_t number;
    String temporary;
  };
  const Case cases[] = {
      {u"C:\\lists\\urllist.txt", 0, u"C:\\lists\\~00000000"},
      {u"C:\\lists\\ab", 0xFFFFFFFFu, u"C:\\lists\\~3"},
      {u"C:\\lists\\a", 35, u"C:\\lists\\z"},
      {u"D:/x/list", 1, u"D:/x/~100"},
      {u"C:\\lists\\", 0, u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.path));
    EXPECT_EQ(TemporaryPathBeside(c.path, c.number), c.temporary);
  }
}

}  // namespace
}  // namespace velnor
