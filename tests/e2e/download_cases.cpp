// Downloading the list on the real window, against the cases' own web server on 127.0.0.1
// (download_server.py): a series with gaps and its end, a re-run, the server's awkward answers,
// a cancel and a resume, closing while a job runs, names that must be made safe, the empty
// list, a folder that cannot be made, and the options kept in the settings file.
#include <algorithm>
#include <string>

#include "download_driver.h"
#include "win32/control_ids.h"

#include <commctrl.h>  // after windows.h (driver.h)

namespace velnor::e2e {
namespace {

const String kCaution = u"注意";

String Summary(int done, int existing, int missing, int failed, int cancelled, int notRun) {
  auto n = [](int v) { return ToString(std::to_string(v)); };
  return u"完了 " + n(done) + u" 件 · 既存 " + n(existing) + u" 件 · 見つかりません " + n(missing) + u" 件 · 失敗 " +
         n(failed) + u" 件 · 中止 " + n(cancelled) + u" 件 · 未実行 " + n(notRun) + u" 件";
}

// The longest a window of the program takes to answer WM_NULL, over `ms` milliseconds.
double LongestAnswer(const std::vector<HWND>& windows, DWORD ms) {
  double longest = 0;
  for (const DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(20)) {
    for (HWND w : windows) longest = std::max(longest, AnswerTime(w, 5000));
  }
  return longest;
}

// The visible message box that `owner` opened, waited for up to 5 s; null when none came.
HWND BoxOwnedBy(HWND owner) {
  HWND found = nullptr;
  WaitUntil([&] {
    for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); w; w = FindWindowExW(nullptr, w, L"#32770", nullptr)) {
      if (GetWindow(w, GW_OWNER) == owner && IsWindowVisible(w)) return (found = w) != nullptr;
    }
    return false;
  }, 5000);
  return found;
}

void Answer(HWND box, int answer) {
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
}

}  // namespace

// A series whose numbers 03 and 05 are missing and that ends after 07, asked for up to 20 with
// one connection: thirteen requests (00 ... 12), files whole and byte for byte in a folder
// made with its parent, the rest not requested; then a re-run that requests only the missing.
E2E_CASE(download_series) {
  Stage stage(ctx);
  E2E_REQUIRE(stage.ready());
  auto& [app, server, ignored] = stage;
  const std::vector<int> present = {0, 1, 2, 4, 6, 7};
  for (int n : present) {
    WriteFileContent(server.root() + L"\\img0" + std::to_wstring(n) + L".jpg", FileBytes(n, n == 4 ? 300000 : 5000 + n));
  }
  const std::wstring folder = app.folder() + L"\\保存\\連番";
  RemoveFilesInFolder(folder);
  E2E_REQUIRE(app.ExpandNumbers(server.base() + u"files/img", 20, u".jpg").empty());
  E2E_CHECK_EQ(app.Command(ids::kFileDownload).size(), 0u);
  DownloadWindow dl(app);
  E2E_REQUIRE(dl.window() != nullptr);
  wchar_t caption[64] = {};
  GetWindowTextW(dl.window(), caption, 64);
  E2E_CHECK_EQ(ToString(std::wstring(caption)), String(u"ダウンロード - Velnor"));
  E2E_CHECK_EQ(GetWindow(dl.window(), GW_OWNER), app.window());
  E2E_CHECK_EQ(dl.Rows(), 21);
  E2E_CHECK_EQ(dl.Cell(0, 1), String(u"待機中"));
  E2E_CHECK(dl.Checked(ids::kDlStopMissing) && dl.Checked(ids::kDlReferer));
  dl.SetFolder(folder);
  dl.SetConnections(1);

  ctx.SetScope("first run, started with Enter");
  app.PostKey(dl.Control(ids::kDlFolder), VK_RETURN);
  WaitUntil([&] { return dl.Finished(); }, 40000);
  E2E_CHECK_EQ(dl.Text(ids::kDlStatus), Summary(6, 0, 7, 0, 0, 8));
  std::vector<std::wstring> expected;
  for (int n : present) expected.push_back(L"img0" + std::to_wstring(n) + L".jpg");
  E2E_CHECK_EQ(FilesInFolder(folder), expected);
  for (const std::wstring& name : expected) {
    E2E_CHECK(FileContent(folder + L"\\" + name) == FileContent(server.root() + L"\\" + name));
  }
  // The folder's sentinel first, its first KB as the search asks it (a 404 here: nothing
  // changes but this one request), then the items.
  const std::vector<std::string> first = server.Requests();
  E2E_CHECK_EQ(first.size(), 14u);
  E2E_CHECK(first.front().find("\"/files/img9999999.jpg\", \"range\": \"bytes=0-1023\"") != std::string::npos);
  E2E_CHECK_EQ(server.Requests("\"/files/img12.jpg\"").size(), 1u);
  E2E_CHECK_EQ(server.Requests("\"agent\": \"Velnor/1.00\"").size(), 14u);
  const std::string referer = "\"referer\": \"" + ToUtf8(server.base()) + "files/\"";
  E2E_CHECK_EQ(server.Requests(referer).size(), 14u);
  E2E_CHECK_EQ(server.Requests("\"encoding\": null").size(), 14u);  // bodies as they are
  E2E_CHECK_EQ(server.Requests("\"answering\": 1}").size(), 14u);  // one at a time
  const struct {
    int row;
    const char16_t* name;
    const char16_t* state;
  } cells[] = {{0, u"img00.jpg", u"完了"}, {3, u"img03.jpg", u"見つかりません"}, {13, u"img13.jpg", u"未実行"}};
  for (const auto& cell : cells) {
    E2E_CHECK_EQ(dl.Cell(cell.row, 0), String(cell.name));
    E2E_CHECK_EQ(dl.Cell(cell.row, 1), String(cell.state));
  }
  E2E_CHECK(!dl.Cell(4, 2).empty());
  E2E_CHECK_EQ(SendMessageW(dl.Control(ids::kDlProgress), PBM_GETPOS, 0, 0), 100);

  ctx.SetScope("re-run");
  E2E_CHECK_EQ(dl.Run(), Summary(0, 6, 7, 0, 0, 8));
  E2E_CHECK_EQ(server.Requests().size(), 14u + 8u);
  E2E_CHECK_EQ(server.Requests("\"/files/img00.jpg\"").size(), 1u);
  E2E_CHECK_EQ(dl.Cell(0, 1), String(u"既存"));
  E2E_CHECK_EQ(dl.Cell(4, 2), String(u"293.0 KB"));  // the size as the folder was listed

  // Esc closes the window once nothing runs.
  app.PostKey(dl.Control(ids::kDlFolder), VK_ESCAPE);
  E2E_CHECK(WaitUntil([&] { return !IsWindow(dl.window()); }, 3000));
}

// The server's awkward answers, one item each: what the item ends as, and the requests it took.
// Pages under a picture's name are no pictures; a part is continued only with its own file,
// and kept through a page; what arrived before a read error is kept.
E2E_CASE(download_answers) {
  Stage stage(ctx);
  E2E_REQUIRE(stage.ready());
  auto& [app, server, folder] = stage;
  struct Row {
    const char* name;
    const char16_t* path;    // before the number 0 and the extension
    const char* part;        // a part left by an earlier run, or nullptr
    const char16_t* state;
    size_t requests;
    const char* range;       // a Range the last request carried, or nullptr
    const char16_t* extension = u".bin";
  };
  // A picture's first bytes, as a JPEG begins; and one large enough to be cut every 1 MB.
  const std::string file = "\xFF\xD8\xFF" + FileBytes(7, 200000);
  const std::string large = FileBytes(9, 4500000);
  const std::string page = "<html>not found</html>";
  const Row rows[] = {
      {"500 then 200: retried", u"flaky/a", nullptr, u"完了", 2, nullptr},
      {"429 with Retry-After", u"busy/b", nullptr, u"完了", 2, nullptr},
      {"cut short: resumed from 64 KB before the part's end", u"cut/c", nullptr, u"完了", 2, "bytes=34465-"},
      {"part, Range ignored: rewritten", u"norange/d", "stale part", u"完了", 1, "bytes=0-"},
      {"part, Range honoured: appended", u"files/e", "first part", u"完了", 1, "bytes=0-"},
      {"part of another file: fetched whole", u"files/i", "other file", u"完了", 2, nullptr},
      {"206 without the size: asked again from the part's end", u"openended/j", "first part", u"完了", 2,
       "bytes=200003-"},
      {"the connection drops every 1 MB", u"drops/k", nullptr, u"完了", 5, "bytes="},
      {"three redirects", u"redirect/3/f", nullptr, u"完了", 4, nullptr},
      {"eleven redirects", u"redirect/11/g", nullptr, u"失敗: リダイレクトが多すぎます", 11, nullptr},
      {"redirect to file:", u"tofile/l", nullptr, u"失敗: 対応していないリダイレクト", 1, nullptr},
      {"redirect to ftp:", u"toftp/m", nullptr, u"失敗: 対応していないリダイレクト", 1, nullptr},
      {"a page under a picture's name", u"page/n", nullptr, u"見つかりません (ページ)", 1, nullptr, u".jpg"},
      {"redirected to a page", u"topage/o", nullptr, u"見つかりません (ページ)", 2, nullptr, u".jpg"},
      {"a picture sent as text/html", u"ashtml/p", nullptr, u"完了", 1, nullptr, u".jpg"},
      {"a page answering a resume: the part stays", u"pageonrange/r", "first part", u"見つかりません (ページ)", 1,
       "bytes=0-", u".jpg"},
      {"a read error after 10 KB: resumed after them", u"reset/s", nullptr, u"完了", 2, "bytes=0-"},
      {"a page under a page's name", u"page/q", nullptr, u"完了", 1, nullptr, u".html"},
      {"not http", u"", nullptr, u"失敗: 対応していないURL", 0, nullptr},
  };
  for (const Row& row : rows) {
    ctx.SetScope(row.name);
    const String path = row.path;
    const String stem = path.substr(path.find_last_of(u'/') + 1) + u"00" + row.extension;
    const std::wstring name(stem.begin(), stem.end());
    const std::string& served = path.starts_with(u"drops") ? large : path.starts_with(u"page") ? page : file;
    WriteFileContent(server.root() + L"\\" + name, served);
    if (row.part) {
      const std::string part = row.part == std::string("first part")   ? file.substr(0, 10)
                               : row.part == std::string("other file") ? FileBytes(8, 100000)
                                                                       : std::string(10, 'x');
      WriteFileContent(folder + L"\\" + name + L".part", part);
    }
    const String url = path.empty() ? u"ftp://127.0.0.1/x" : server.base() + path;
    const size_t before = server.Requests().size();
    const DWORD start = GetTickCount();
    E2E_REQUIRE(app.ExpandNumbers(url, 0, row.extension).empty());
    E2E_CHECK_EQ(app.Command(ids::kFileDownload).size(), 0u);
    DownloadWindow dl(app);
    E2E_REQUIRE(dl.window() != nullptr);
    dl.SetFolder(folder);
    const bool done = String(row.state) == u"完了";
    const bool missing = String(row.state).starts_with(u"見つかりません");
    E2E_CHECK_EQ(dl.Run(), Summary(done, 0, missing, !done && !missing, 0, 0));
    E2E_CHECK_EQ(dl.Cell(0, 1), String(row.state));
    const std::vector<std::string> requests = server.Requests();
    // The job's sentinel comes first (with the redirects it follows), unless nothing is asked.
    const std::vector<std::string> asked(requests.begin() + static_cast<ptrdiff_t>(before), requests.end());
    const auto sentinels = std::count_if(asked.begin(), asked.end(), [](const std::string& line) {
      return line.find("9999999") != std::string::npos;
    });
    E2E_CHECK_EQ(asked.size() - static_cast<size_t>(sentinels), row.requests);
    E2E_CHECK_EQ(!asked.empty() && asked.front().find("9999999") != std::string::npos, row.requests > 0);
    if (row.range) E2E_CHECK(requests.back().find(row.range) != std::string::npos);
    if (done) E2E_CHECK(FileContent(folder + L"\\" + name) == served);
    if (row.part && !done) E2E_CHECK(FileContent(folder + L"\\" + name + L".part") == file.substr(0, 10));
    if (path.starts_with(u"busy")) E2E_CHECK(GetTickCount() - start >= 2000);
  }
  // Only whole files and no part of a finished item are left; no error page landed in a file,
  // and nothing was asked for beyond a redirect to another scheme.
  E2E_CHECK_EQ(FilesInFolder(folder),
               (std::vector<std::wstring>{L"a00.bin", L"b00.bin", L"c00.bin", L"d00.bin", L"e00.bin",
                                          L"f00.bin", L"i00.bin", L"j00.bin", L"k00.bin", L"p00.jpg", L"q00.html",
                                          L"r00.jpg.part", L"s00.bin"}));
  E2E_CHECK(server.Requests("etc/passwd").empty() && server.Requests("ftp:").empty());
}

// Servers that answer a missing number with a picture: the same small PNG for every name, or
// a redirect to /files/removed.png. The job asks its folder's sentinel first; the missing
// numbers are 「見つかりません (代わりの画像)」, asked once, end the series and leave no file,
// a part from an earlier run stays as it was, and two real pictures alike are both kept.
E2E_CASE(download_placeholder) {
  Stage stage(ctx);
  E2E_REQUIRE(stage.ready());
  auto& [app, server, dlFolder] = stage;
  WriteFileContent(server.root() + L"\\removed.png", "\x89PNG\r\n\x1a\n" + FileBytes(5, 2000));
  // Longer than the placeholder by more than the resume's overlap: its resume gets a 416 first.
  const std::string earlierPart(70000, 'x');
  const String placeholder = u"見つかりません (代わりの画像)";
  for (const std::string kind : {"placeholder", "removed"}) {
    ctx.SetScope(kind);
    const std::wstring stem = kind == "placeholder" ? L"a" : L"b";
    auto name = [&stem](int n) { return stem + (n < 10 ? L"0" : L"") + std::to_wstring(n) + L".png"; };
    for (const int n : {0, 1, 2, 4, 5, 6, 7}) WriteFileContent(server.root() + L"\\" + name(n), FileBytes(n == 7 ? 6 : n, 4006));
    const std::wstring folder = dlFolder + L"\\" + stem;
    CreateDirectoryW(dlFolder.c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    RemoveFilesInFolder(folder);
    E2E_REQUIRE(WriteFileContent(folder + L"\\" + name(3) + L".part", earlierPart));
    const size_t before = server.Requests().size();
    E2E_REQUIRE(app.ExpandNumbers(server.base() + ToString(kind) + u"/" + ToString(stem), 20, u".png").empty());
    E2E_CHECK_EQ(app.Command(ids::kFileDownload).size(), 0u);
    DownloadWindow dl(app);
    E2E_REQUIRE(dl.window() != nullptr);
    dl.SetFolder(folder);
    dl.SetConnections(1);
    E2E_CHECK_EQ(dl.Run(), Summary(7, 0, 6, 0, 0, 8));
    const std::vector<std::pair<int, String>> states = {{2, u"完了"}, {3, placeholder}, {7, u"完了"}, {8, placeholder},
                                                        {12, placeholder}, {13, u"未実行"}};
    for (const auto& [row, state] : states) E2E_CHECK_EQ(dl.Cell(row, 1), state);
    std::vector<std::wstring> kept;
    for (const int n : {0, 1, 2}) kept.push_back(name(n));
    kept.push_back(name(3) + L".part");
    for (const int n : {4, 5, 6, 7}) kept.push_back(name(n));
    E2E_CHECK_EQ(FilesInFolder(folder), kept);
    E2E_CHECK(FileContent(folder + L"\\" + name(3) + L".part") == earlierPart);
    E2E_CHECK(FileContent(folder + L"\\" + name(7)) == FileContent(server.root() + L"\\" + name(6)));
    const std::vector<std::string> requests = server.Requests();
    E2E_REQUIRE(requests.size() > before);
    const std::string path = "/" + kind + "/" + Narrow(stem);
    E2E_CHECK(requests[before].find("\"" + path + "9999999.png\", \"range\": \"bytes=0-1023\"") != std::string::npos);
    E2E_CHECK_EQ(server.Requests("\"" + path + "08.png\"").size(), 1u);  // never retried
    // The part's resume: a 416 from the placeholder, then the whole of it asked, the part left
    // alone all the same; the redirect's target ignores the Range and is judged at once.
    E2E_CHECK_EQ(server.Requests("\"" + path + "03.png\"").size(), kind == "placeholder" ? 2u : 1u);
    E2E_CHECK(server.Requests(path + "13.png").empty());
  }
}

// A cancel while slow answers run (a third item waits for a connection: it is not run), then
// a resume that ends with whole files; the windows keep answering; closing either window asks
// first.
E2E_CASE(download_cancel_and_resume) {
  Stage stage(ctx);
  E2E_REQUIRE(stage.ready());
  auto& [app, server, folder] = stage;
  for (int n = 0; n < 2; ++n) {
    WriteFileContent(server.root() + L"\\s0" + std::to_wstring(n) + L".bin", FileBytes(n, 200000));
    WriteFileContent(server.root() + L"\\t0" + std::to_wstring(n) + L".bin", FileBytes(n, 200000));
    WriteFileContent(server.root() + L"\\u0" + std::to_wstring(n) + L".bin", FileBytes(n, 200000));
  }
  WriteFileContent(server.root() + L"\\s02.bin", FileBytes(2, 50000));  // small: served at once
  E2E_REQUIRE(app.ExpandNumbers(server.base() + u"slow/s", 2, u".bin").empty());
  E2E_CHECK_EQ(app.Command(ids::kFileDownload).size(), 0u);
  DownloadWindow dl(app);
  E2E_REQUIRE(dl.window() != nullptr);
  dl.SetFolder(folder);
  dl.SetConnections(2);
  auto underWay = [&] { return dl.Cell(0, 1).starts_with(u"ダウンロード中") && dl.Cell(1, 1).starts_with(u"ダウンロード中"); };
  dl.Press(ids::kDlStart);
  E2E_REQUIRE(WaitUntil(underWay, 10000));
  // Both windows keep answering while transfers wait on the network (the benchmark prints
  // the longest answer; a loaded test machine adds its own delays, hence the margin here).
  const double longest = LongestAnswer({app.window(), dl.window()}, 1500);
  if (longest >= 250) ctx.Fail(__FILE__, __LINE__, "a window took " + std::to_string(static_cast<int>(longest)) + " ms to answer");

  ctx.SetScope("close: いいえ");
  const std::vector<ShownBox> asked = dl.Press(ids::kDlClose, IDNO);
  E2E_CHECK_EQ(asked, (std::vector<ShownBox>{{kCaution, u"ダウンロードを中止しますか？", false}}));
  E2E_CHECK(IsWindow(dl.window()));
  E2E_CHECK(dl.Text(ids::kDlStatus).starts_with(u"ダウンロード中: 残り 3 件"));
  // The command while a job runs only brings the window forward.
  E2E_CHECK_EQ(app.Command(ids::kFileDownload).size(), 0u);
  E2E_CHECK_EQ(dl.Rows(), 3);

  ctx.SetScope("中止");
  const DWORD pressed = GetTickCount();
  dl.Press(ids::kDlAbort);
  E2E_CHECK(WaitUntil([&] { return dl.Text(ids::kDlStatus) == Summary(0, 0, 0, 0, 2, 1); }, 1000));
  E2E_CHECK(GetTickCount() - pressed <= 1000);
  E2E_CHECK_EQ(FilesInFolder(folder), (std::vector<std::wstring>{L"s00.bin.part", L"s01.bin.part"}));
  E2E_CHECK(FileContent(folder + L"\\s00.bin.part") == FileBytes(0, 200000).substr(0, 16384));
  E2E_CHECK(server.Requests("s02.bin").empty());

  ctx.SetScope("resume");
  E2E_CHECK_EQ(dl.Run(), Summary(3, 0, 0, 0, 0, 0));
  E2E_CHECK_EQ(dl.Cell(0, 1), String(u"完了"));
  E2E_CHECK_EQ(FilesInFolder(folder), (std::vector<std::wstring>{L"s00.bin", L"s01.bin", L"s02.bin"}));
  E2E_CHECK(FileContent(folder + L"\\s01.bin") == FileBytes(1, 200000));
  // Each part is continued only after the server sent its 16 KB again, unchanged.
  E2E_CHECK_EQ(server.Requests("\"bytes=0-\"").size(), 2u);

  ctx.SetScope("end of the session");
  E2E_REQUIRE(app.ExpandNumbers(server.base() + u"slow/u", 1, u".bin").empty());
  E2E_CHECK_EQ(app.Command(ids::kFileDownload).size(), 0u);
  dl.Press(ids::kDlStart);
  E2E_REQUIRE(WaitUntil(underWay, 10000));
  DWORD_PTR answer = 0;
  E2E_CHECK(SendMessageTimeoutW(app.window(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer));
  E2E_CHECK(SendMessageTimeoutW(app.window(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer));
  // Stopped without a question, before the settings were written.
  E2E_CHECK(WaitUntil([&] { return dl.Text(ids::kDlStatus) == Summary(0, 0, 0, 0, 2, 0); }, 1000));
  E2E_CHECK(FileContent(app.folder() + L"\\Velnor.ini").find("DLCONNECTIONS=2\r\n") != std::string::npos);

  ctx.SetScope("close the main window: はい");
  E2E_REQUIRE(app.ExpandNumbers(server.base() + u"slow/t", 1, u".bin").empty());
  E2E_CHECK_EQ(app.Command(ids::kFileDownload).size(), 0u);  // the idle window takes the new items
  E2E_CHECK_EQ(dl.Cell(0, 0), String(u"t00.bin"));
  dl.Press(ids::kDlStart);
  E2E_REQUIRE(WaitUntil(underWay, 10000));
  const std::vector<ShownBox> closing = app.CloseAnswering(CloseBy::kCloseBox, 15000, IDYES);
  E2E_CHECK_EQ(closing, (std::vector<ShownBox>{{kCaution, u"ダウンロードを中止しますか？", false}}));
  E2E_CHECK_EQ(FilesInFolder(folder), (std::vector<std::wstring>{L"s00.bin", L"s01.bin", L"s02.bin", L"t00.bin.part",
                                                                   L"t01.bin.part", L"u00.bin.part", L"u01.bin.part"}));

  // The main window's question stays open while the download window is closed (its own
  // question answered はい); はい then finds no job, and the program shuts down as the close box
  // does, its settings written.
  ctx.SetScope("close the main window, then the download window, then はい");
  for (int n = 0; n < 2; ++n) WriteFileContent(server.root() + L"\\v0" + std::to_wstring(n) + L".bin", FileBytes(n, 200000));
  Velnor again(ctx);
  E2E_REQUIRE(again.started());
  E2E_REQUIRE(again.ExpandNumbers(server.base() + u"slow/v", 1, u".bin").empty());
  E2E_CHECK_EQ(again.Command(ids::kFileDownload).size(), 0u);
  DownloadWindow second(again);
  E2E_REQUIRE(second.window() != nullptr);
  second.SetFolder(folder + L"\\again");
  second.Press(ids::kDlStart);
  E2E_REQUIRE(WaitUntil([&] { return second.Cell(0, 1).starts_with(u"ダウンロード中"); }, 10000));
  PostMessageW(again.window(), WM_CLOSE, 0, 0);
  const HWND mainBox = BoxOwnedBy(again.window());
  E2E_REQUIRE(mainBox != nullptr);
  PostMessageW(second.Control(ids::kDlClose), BM_CLICK, 0, 0);
  const HWND ownBox = BoxOwnedBy(second.window());
  E2E_REQUIRE(ownBox != nullptr);
  Answer(ownBox, IDYES);
  E2E_CHECK(WaitUntil([&] { return !IsWindow(second.window()); }, 5000));
  E2E_CHECK(IsWindow(mainBox));
  Answer(mainBox, IDYES);
  E2E_CHECK(again.Exited(10000));
  E2E_CHECK_EQ(again.ExitCode(), 0u);
  E2E_CHECK(FileContent(again.folder() + L"\\Velnor.ini").find("DLFOLDER=" + Narrow(folder) + "\\again\r\n") !=
            std::string::npos);
}

// Names that must be made safe land inside the chosen folder, numbered where they clash; the
// request goes out as the URL has it.
E2E_CASE(download_hostile_names) {
  Stage stage(ctx);
  E2E_REQUIRE(stage.ready());
  auto& [app, server, folder] = stage;
  struct Row {
    const char16_t* path;  // the number and nothing more follow
    std::vector<std::wstring> names;
  };
  const Row rows[] = {
      {u"echo/CON.txt?n=", {L"_CON (2).txt", L"_CON.txt"}},
      {u"echo/..%2F..%2Fup.txt?n=", {L".._.._up (2).txt", L".._.._up.txt"}},
      {u"echo/a%3Cb%3E%7C%3A.txt?n=", {L"a_b___ (2).txt", L"a_b___.txt"}},
      {u"echo/%FF%FE.bin?n=", {L"%FF%FE (2).bin", L"%FF%FE.bin"}},
      {u"echo/?n=", {L"download", L"download (2)"}},
  };
  const std::vector<std::wstring> besideTheFolder = FilesInFolder(app.folder());
  const std::wstring work = app.folder() + L"\\..";
  const std::vector<std::wstring> besideTheCase = FilesInFolder(work);
  for (const Row& row : rows) {
    ctx.SetScope(ToUtf8(row.path));
    RemoveFilesInFolder(folder);
    E2E_REQUIRE(app.ExpandNumbers(server.base() + row.path, 1, u"").empty());
    E2E_CHECK_EQ(app.Command(ids::kFileDownload).size(), 0u);
    DownloadWindow dl(app);
    E2E_REQUIRE(dl.window() != nullptr);
    dl.SetFolder(folder);
    E2E_CHECK_EQ(dl.Run(), Summary(2, 0, 0, 0, 0, 0));
    E2E_CHECK_EQ(FilesInFolder(folder), row.names);
    // The first item's file holds the path as the server received it.
    const String first = dl.Cell(0, 0);
    std::string sent = ToUtf8(row.path);
    sent.insert(sent.begin(), '/');
    sent += "00";  // the numbers are at least two digits wide
    E2E_CHECK_EQ(FileContent(folder + L"\\" + std::wstring(first.begin(), first.end())), sent);
  }
  E2E_CHECK_EQ(FilesInFolder(app.folder()), besideTheFolder);
  E2E_CHECK_EQ(FilesInFolder(work), besideTheCase);
}

// The empty list's message; the options' first values, a folder that cannot be made, the
// options in the settings file and back at the next start.
E2E_CASE(download_options) {
  std::wstring folder;
  {
    Velnor app(ctx);
    E2E_REQUIRE(app.started());
    E2E_CHECK_EQ(app.Command(ids::kFileDownload), (std::vector<ShownBox>{{kCaution, u"リストにデータがありません", false}}));
    E2E_CHECK(FindWindowW(ids::kDownloadWindowClass, nullptr) == nullptr);
    E2E_REQUIRE(app.ExpandNumbers(u"http://127.0.0.1:9/x", 2, u".jpg").empty());
    // Ctrl+J, with the main window in front.
    SetForegroundWindow(app.window());
    SendKeys({{VK_CONTROL, true}, {'J', true}, {'J', false}, {VK_CONTROL, false}});
    DownloadWindow dl(app);
    E2E_REQUIRE(dl.window() != nullptr);
    E2E_CHECK(dl.Text(ids::kDlFolder).ends_with(u"\\Downloads"));
    E2E_CHECK_EQ(dl.Text(ids::kDlConnections), String(u"2"));
    E2E_CHECK(dl.Checked(ids::kDlStopMissing) && dl.Checked(ids::kDlReferer));
    E2E_CHECK_EQ(dl.Rows(), 3);

    // A path under a file cannot be a folder: the message, and nothing runs.
    const std::wstring impossible = app.folder() + L"\\Velnor.exe\\dl";
    dl.SetFolder(impossible);
    E2E_CHECK_EQ(dl.Press(ids::kDlStart),
                 (std::vector<ShownBox>{{kCaution, u"保存先のフォルダを作れません\n" + ToString(impossible), false}}));
    E2E_CHECK_EQ(dl.Cell(0, 1), String(u"待機中"));
    // Only a folder named in full; フォルダを開く only a folder that is there, never a file.
    const struct {
      std::wstring text;
      int button;
      const char16_t* message;
    } refusals[] = {
        {L"dlfolder", ids::kDlStart, u"保存先のフォルダを作れません\n"},
        {L"C:dlfolder", ids::kDlStart, u"保存先のフォルダを作れません\n"},
        {app.folder() + L"\\Velnor.exe", ids::kDlOpenFolder, u"保存先のフォルダがありません\n"},
        {app.folder() + L"\\missing", ids::kDlOpenFolder, u"保存先のフォルダがありません\n"},
        {L"missing", ids::kDlOpenFolder, u"保存先のフォルダがありません\n"},
    };
    for (const auto& row : refusals) {
      ctx.SetScope(Narrow(row.text));
      dl.SetFolder(row.text);
      E2E_CHECK_EQ(dl.Press(row.button), (std::vector<ShownBox>{{kCaution, row.message + ToString(row.text), false}}));
    }
    E2E_CHECK_EQ(dl.Cell(0, 1), String(u"待機中"));
    ctx.SetScope("");

    folder = app.folder() + L"\\dlfolder";
    dl.SetFolder(folder);
    dl.SetConnections(3);
    dl.Press(ids::kDlReferer);  // unticked, and the options are kept
    dl.Press(ids::kDlClose);
    E2E_CHECK(WaitUntil([&] { return !IsWindow(dl.window()); }, 3000));
    E2E_CHECK_EQ(app.CloseAnswering(CloseBy::kMenu).size(), 0u);
  }
  const std::string ini = FileContent(CaseFolder(ctx) + L"\\Velnor.ini");
  const std::string keys = "AUTOSPLIT=0\r\nDLFOLDER=" + Narrow(folder) + "\r\nDLCONNECTIONS=3\r\nDLSTOPMISSING=1\r\nDLREFERER=0\r\nAUTOFIND=0\r\nHTTPS=0\r\n"
                           "DLREFERERURL=\r\nDLCOOKIES=\r\n";
  E2E_CHECK(ini.size() >= keys.size() && ini.ends_with(keys));
  Velnor again(ctx, SettingsFile::kKeep);
  E2E_REQUIRE(again.started());
  E2E_REQUIRE(again.ExpandNumbers(u"http://127.0.0.1:9/x", 0, u".jpg").empty());
  E2E_CHECK_EQ(again.Command(ids::kFileDownload).size(), 0u);
  DownloadWindow dl(again);
  E2E_REQUIRE(dl.window() != nullptr);
  E2E_CHECK_EQ(dl.Text(ids::kDlFolder), ToString(folder));
  E2E_CHECK(!dl.Checked(ids::kDlReferer) && dl.Checked(ids::kDlStopMissing));

  // The keyboard: Tab from top to bottom (中止 is off while nothing runs), access keys.
  ctx.SetScope("keyboard");
  auto focused = [&] { return GetDlgCtrlID(GetParent(again.Focus()) == dl.window() ? again.Focus() : GetParent(again.Focus())); };
  again.ClickAt(dl.Control(ids::kDlFolder), 2, 2);
  std::vector<int> order;
  for (int i = 0; i < 11; ++i) {
    const HWND from = again.Focus();
    again.PostKey(from, VK_TAB);
    WaitUntil([&] { return again.Focus() != from; }, 2000);
    order.push_back(focused());
  }
  // The Referer page is greyed while no Referer is sent: Tab passes it by.
  E2E_CHECK_EQ(order, (std::vector<int>{ids::kDlBrowse, ids::kDlConnections, ids::kDlStopMissing, ids::kDlReferer,
                                        ids::kDlCookies, ids::kDlCookiesBrowse, ids::kDlStart, ids::kDlOpenFolder,
                                        ids::kDlClose, ids::kDlList, ids::kDlFolder}));
  for (const auto& [key, id] : {std::pair{'n', ids::kDlConnections}, std::pair{'f', ids::kDlFolder}, std::pair{'m', ids::kDlStopMissing},
                                std::pair{'k', ids::kDlCookies}}) {
    ctx.SetScope(std::string("Alt+") + key);
    PostMessageW(again.Focus(), WM_SYSCHAR, key, 1 << 29);  // Alt with the letter
    E2E_CHECK(WaitUntil([&] { return focused() == id; }, 2000));
  }

  // A move to a monitor of 1.5 times the DPI lays the window out again at that scale.
  ctx.SetScope("dpi");
  const RECT before = ClientRectOf(dl.window(), dl.Control(ids::kDlStart));
  const int dpi = ScreenDpi();
  E2E_REQUIRE(SendDpiChanged(again.process(), dl.window(), dpi * 3 / 2, SuggestedDpiRect(dl.window(), dpi, dpi * 3 / 2)));
  const RECT after = ClientRectOf(dl.window(), dl.Control(ids::kDlStart));
  E2E_CHECK(after.bottom - after.top >= (before.bottom - before.top) * 4 / 3);
  E2E_CHECK(after.right - after.left >= (before.right - before.left) * 4 / 3);
  // Opened again after the main window moved there: laid out at that DPI from the start.
  ctx.SetScope("opened at 1.5 times the dpi");
  dl.Press(ids::kDlClose);
  E2E_REQUIRE(WaitUntil([&] { return !IsWindow(dl.window()); }, 3000));
  E2E_REQUIRE(SendDpiChanged(again.process(), again.window(), dpi * 3 / 2, SuggestedDpiRect(again.window(), dpi, dpi * 3 / 2)));
  E2E_CHECK_EQ(again.Command(ids::kFileDownload).size(), 0u);
  DownloadWindow reopened(again);
  E2E_REQUIRE(reopened.window() != nullptr);
  const RECT opened = ClientRectOf(reopened.window(), reopened.Control(ids::kDlStart));
  E2E_CHECK_EQ(opened.bottom - opened.top, after.bottom - after.top);
  E2E_CHECK_EQ(opened.right - opened.left, after.right - after.left);

  // A folder that Shift_JIS cannot hold serves this run only: the file keeps the one before.
  ctx.SetScope("folder beyond the code page");
  reopened.SetFolder(folder + L"\\한국");
  E2E_CHECK_EQ(again.CloseAnswering(CloseBy::kMenu).size(), 0u);
  E2E_CHECK(FileContent(CaseFolder(ctx) + L"\\Velnor.ini").find("DLFOLDER=" + Narrow(folder) + "\r\n") !=
            std::string::npos);
}

}  // namespace velnor::e2e
