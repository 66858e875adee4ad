// Saving the result list to a file on the real window: Ctrl+S and the menu command, the
// system's Save As dialog answered as a user would, the file's exact bytes (UTF-8 without a
// byte-order mark, CR LF after every item), replacing a file, Cancel, the folder the next
// dialog opens in, and a file that cannot be replaced (an empty list: clipboard_cases.cpp).
#include <string>

#include "driver.h"
#include "win32/control_ids.h"

namespace velnor::e2e {
namespace {

// A URL with kanji and a character beyond the basic plane, and its UTF-8 bytes written out.
const String kUrl = u"http://例.jp/写真\U0001F600_";
const std::string kUrlBytes = "http://\xE4\xBE\x8B.jp/\xE5\x86\x99\xE7\x9C\x9F\xF0\x9F\x98\x80_";

// urllist filled by a click on renban: the first number alone, 00 up to last, ".jpg".
bool Expand(Context& ctx, Velnor& app, int last) {
  E2E_CHECK_EQ(app.ExpandNumbers(kUrl, last, u".jpg").size(), 0u);
  return E2E_CHECK_EQ(app.ListItems(ids::kUrllist).size(), static_cast<size_t>(last + 1));
}

// What the file must hold after Expand(last).
std::string ExpectedBytes(int last) {
  std::string bytes;
  for (int i = 0; i <= last; ++i) {
    bytes += kUrlBytes + static_cast<char>('0' + i / 10) + static_cast<char>('0' + i % 10) + ".jpg\r\n";
  }
  return bytes;
}

String ToString(const std::wstring& text) { return String(text.begin(), text.end()); }

}  // namespace

E2E_CASE(save_list) {
  Velnor app(ctx);
  E2E_REQUIRE(app.started());
  const std::wstring folder = app.folder();
  const std::wstring sub = folder + L"\\リスト";
  RemoveFilesInFolder(folder);
  RemoveFilesInFolder(sub);
  E2E_REQUIRE(Expand(ctx, app, 30));
  // The user's selection and scroll position, and the clipboard, stay as they are.
  app.SelectItem(ids::kUrllist, 3);
  app.SelectItem(ids::kUrllist, 12);
  SendMessageW(app.Control(ids::kUrllist), LB_SETTOPINDEX, 10, 0);
  E2E_REQUIRE(WriteClipboardText(u"sentinel"));

  // Ctrl+S with the focus in urltxt; the dialog proposes urllist.txt in the program's folder.
  ctx.SetScope("Ctrl+S");
  HWND url = app.Control(ids::kUrltxt);
  SetForegroundWindow(app.window());
  WaitUntil([&] { return GetForegroundWindow() == app.window(); }, 2000);
  SendMessageW(app.window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(url), TRUE);
  WaitUntil([&] { return app.Focus() == url; }, 2000);
  SendKeys({{VK_CONTROL, true}, {'S', true}, {'S', false}, {VK_CONTROL, false}});
  SaveAsSeen seen = app.SaveAs(0, {L"urllist.txt"});
  E2E_CHECK(seen.shown);
  E2E_CHECK_EQ(seen.proposedName, String(u"urllist.txt"));
  E2E_CHECK(!seen.askedToReplace);
  E2E_CHECK_EQ(seen.boxes.size(), 0u);
  const std::wstring file = folder + L"\\urllist.txt";
  E2E_CHECK(WaitUntil([&] { return FileContent(file) == ExpectedBytes(30); }));
  E2E_CHECK_EQ(app.SelectedItems(ids::kUrllist), (std::vector<int>{3, 12}));
  E2E_CHECK_EQ(static_cast<int>(SendMessageW(app.Control(ids::kUrllist), LB_GETTOPINDEX, 0, 0)), 10);
  E2E_CHECK_EQ(ReadClipboardText().value_or(u"(no text)"), String(u"sentinel"));
  E2E_CHECK_EQ(app.Text(ids::kUrltxt), String(u"URLをここに貼付けるか、入力して下さい。"));

  // The menu command over the same file: asked first; No keeps it, Yes replaces it.
  ctx.SetScope("replace");
  E2E_REQUIRE(Expand(ctx, app, 2));
  seen = app.SaveAs(ids::kFileSaveList, {file, false});
  E2E_CHECK(seen.shown && seen.askedToReplace);
  E2E_CHECK_EQ(FileContent(file), ExpectedBytes(30));
  seen = app.SaveAs(ids::kFileSaveList, {file, true});
  E2E_CHECK(seen.shown && seen.askedToReplace);
  E2E_CHECK_EQ(seen.boxes.size(), 0u);
  E2E_CHECK_EQ(FileContent(file), ExpectedBytes(2));

  // A save in another folder: the next dialog opens there, and a bare name lands there.
  ctx.SetScope("last folder");
  CreateDirectoryW(sub.c_str(), nullptr);
  seen = app.SaveAs(ids::kFileSaveList, {sub + L"\\first.txt"});
  E2E_CHECK_EQ(FileContent(sub + L"\\first.txt"), ExpectedBytes(2));
  seen = app.SaveAs(ids::kFileSaveList, {L"second.txt"});
  E2E_CHECK_EQ(FileContent(sub + L"\\second.txt"), ExpectedBytes(2));
  E2E_CHECK_EQ(FilesInFolder(sub), (std::vector<std::wstring>{L"first.txt", L"second.txt"}));
  E2E_CHECK_EQ(FilesInFolder(folder), (std::vector<std::wstring>{L"urllist.txt"}));

  // Cancel: nothing written anywhere, no message.
  ctx.SetScope("cancel");
  seen = app.SaveAs(ids::kFileSaveList, {L""});
  E2E_CHECK(seen.shown);
  E2E_CHECK_EQ(seen.boxes.size(), 0u);
  E2E_CHECK_EQ(FilesInFolder(sub), (std::vector<std::wstring>{L"first.txt", L"second.txt"}));
  E2E_CHECK_EQ(FilesInFolder(folder), (std::vector<std::wstring>{L"urllist.txt"}));
  E2E_CHECK_EQ(FileContent(file), ExpectedBytes(2));

  // The last save's folder removed: the dialog opens in the program's folder again.
  ctx.SetScope("last folder removed");
  RemoveFilesInFolder(sub);
  E2E_REQUIRE(RemoveDirectoryW(sub.c_str()));
  seen = app.SaveAs(ids::kFileSaveList, {L"third.txt"});
  E2E_CHECK(seen.shown);
  E2E_CHECK_EQ(FilesInFolder(folder), (std::vector<std::wstring>{L"third.txt", L"urllist.txt"}));
}

E2E_CASE(save_list_held_file) {
  Velnor app(ctx);
  E2E_REQUIRE(app.started());
  const std::wstring folder = app.folder();
  RemoveFilesInFolder(folder);

  // A file that another program holds open cannot be replaced: the message names it, and the
  // earlier file and the folder stay as they were.
  ctx.SetScope("file held open");
  E2E_REQUIRE(Expand(ctx, app, 2));
  const std::wstring file = folder + L"\\held.txt";
  const std::string earlier = "earlier list\r\n";
  E2E_REQUIRE(WriteFileContent(file, earlier));
  HANDLE hold = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  E2E_REQUIRE(hold != INVALID_HANDLE_VALUE);
  SaveAsSeen seen = app.SaveAs(ids::kFileSaveList, {file});
  E2E_CHECK(seen.shown && seen.askedToReplace);
  E2E_CHECK_EQ(seen.boxes, (std::vector<ShownBox>{{u"注意", u"ファイルを保存できませんでした\n" + ToString(file), false}}));
  CloseHandle(hold);
  E2E_CHECK_EQ(FileContent(file), earlier);
  E2E_CHECK_EQ(FilesInFolder(folder), (std::vector<std::wstring>{L"held.txt"}));

  // Let go of, the same file is replaced.
  ctx.SetScope("file let go");
  seen = app.SaveAs(ids::kFileSaveList, {file});
  E2E_CHECK_EQ(seen.boxes.size(), 0u);
  E2E_CHECK_EQ(FileContent(file), ExpectedBytes(2));
}

}  // namespace velnor::e2e
