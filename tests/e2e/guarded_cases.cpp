// Pictures behind a guard, on the real window against the cases' loopback server: a series
// that answers 403 unless a cookie comes with the request, downloaded and searched first
// without a cookies.txt and then with one; the messages of a cookie file that cannot be read
// and of a Referer URL that cannot be sent; a series that wants a given page as its Referer;
// both fields kept across a restart.
#include <string>

#include "download_driver.h"
#include "win32/control_ids.h"

namespace velnor::e2e {
namespace {

const String kCaution = u"注意";

// Splits the copied URL of an item and searches for the rest; the boxes it showed.
std::vector<ShownBox> Search(Velnor& app, const String& url) {
  app.SetText(ids::kUrltxt, url);
  app.Command(ids::kEditSplitUrl);
  return app.Command(ids::kEditFindSeries);
}

}  // namespace

E2E_CASE(download_cookies) {
  Stage stage(ctx);
  E2E_REQUIRE(stage.ready());
  auto& [app, server, folder] = stage;
  for (int n = 0; n <= 5; ++n) {
    WriteFileContent(server.root() + L"\\g0" + std::to_wstring(n) + L".jpg", std::string("\xFF\xD8\xFF\xE0") + FileBytes(n, 3000));
  }
  E2E_REQUIRE(app.ExpandNumbers(server.base() + u"guard/g", 9, u".jpg").empty());
  E2E_CHECK_EQ(app.Command(ids::kFileDownload).size(), 0u);
  DownloadWindow dl(app);
  E2E_REQUIRE(dl.window() != nullptr);
  E2E_CHECK(dl.Text(ids::kDlRefererUrl).empty() && dl.Text(ids::kDlCookies).empty());
  dl.SetFolder(folder);

  ctx.SetScope("without the file: 403, and no Cookie header at all");
  dl.Run();
  E2E_CHECK_EQ(dl.Cell(0, 1), String(u"失敗: HTTP 403"));
  E2E_CHECK(FilesInFolder(folder).empty());
  const size_t refused = server.Requests().size();
  E2E_CHECK(refused > 0 && server.Requests("\"cookie\": null").size() == refused);
  const String item = server.base() + u"guard/g02.jpg";
  E2E_CHECK_EQ(Search(app, item),
               (std::vector<ShownBox>{{kCaution, u"続きを探せませんでした\nHTTP 403\n" + server.base() + u"guard/g03.jpg", false}}));

  Sleep(500);  // probes sent before the search ended reach the log
  const size_t searched = server.Requests().size();

  ctx.SetScope("a file that cannot be read: the message, nothing starts");
  const std::wstring huge = app.folder() + L"\\huge.txt";
  WriteFileContent(huge, std::string(4 * 1024 * 1024 + 1, '#'));
  for (const std::wstring& path : {app.folder() + L"\\missing.txt", app.folder(), huge, std::wstring(L"cookies.txt")}) {
    dl.SetField(ids::kDlCookies, path);
    E2E_CHECK_EQ(dl.Press(ids::kDlStart),
                 (std::vector<ShownBox>{{kCaution, u"クッキーのファイルを読めません\n" + ToString(path), false}}));
  }
  E2E_CHECK_EQ(app.Command(ids::kEditFindSeries),
               (std::vector<ShownBox>{{kCaution, u"クッキーのファイルを読めません\ncookies.txt", false}}));
  E2E_CHECK_EQ(server.Requests().size(), searched);  // nothing asked since

  ctx.SetScope("with the file: every item there");
  // The one cookie the series wants, and others that must not go: another host's, an expired
  // one, a secure one over http, one for another path. A BOM and CR LF, as Windows editors write.
  const std::wstring cookies = app.folder() + L"\\cookies.txt";
  WriteFileContent(cookies, "\xEF\xBB\xBF# Netscape HTTP Cookie File\r\n\r\n"
                            "#HttpOnly_127.0.0.1\tFALSE\t/guard\tFALSE\t0\tpass\topen\r\n"
                            ".example.com\tTRUE\t/\tFALSE\t0\tother\t1\r\n"
                            "127.0.0.1\tFALSE\t/\tFALSE\t1000000000\told\t1\r\n"
                            "127.0.0.1\tFALSE\t/\tTRUE\t0\tsecure\t1\r\n"
                            "127.0.0.1\tFALSE\t/files\tFALSE\t0\tfiles\t1\r\n"
                            "not a cookie line\r\n");
  dl.SetField(ids::kDlCookies, cookies);
  dl.Run();
  E2E_CHECK_EQ(dl.Cell(5, 1), String(u"完了"));
  E2E_CHECK_EQ(FilesInFolder(folder).size(), 6u);
  E2E_CHECK(FileContent(folder + L"\\g05.jpg") == FileContent(server.root() + L"\\g05.jpg"));
  const std::vector<std::string> sent = server.Requests();
  size_t withCookie = 0, withSeen = 0;
  for (size_t i = searched; i < sent.size(); ++i) {
    withCookie += sent[i].find("\"cookie\": [\"pass=open\"]") != std::string::npos;
    withSeen += sent[i].find("\"cookie\": [\"pass=open; seen=1\"]") != std::string::npos;
  }
  // One Cookie header each, the file's cookie and, once a server set it, the run's own.
  E2E_CHECK_EQ(withCookie + withSeen, sent.size() - searched);
  E2E_CHECK(withSeen > 0);
  E2E_CHECK_EQ(Search(app, item), std::vector<ShownBox>{});
  const std::vector<String> items = app.ListItems(ids::kUrllist);
  E2E_CHECK(!items.empty() && items.back() == server.base() + u"guard/g05.jpg");

  ctx.SetScope("a Referer URL that cannot be sent");
  for (const std::wstring& bad : {std::wstring(L"gallery/page.html"), std::wstring(L"ftp://127.0.0.1/"), std::wstring(L"http://127.0.0.1/a b")}) {
    dl.SetField(ids::kDlRefererUrl, bad);
    E2E_CHECK_EQ(dl.Press(ids::kDlStart), (std::vector<ShownBox>{{kCaution, u"Referer の URL が正しくありません", false}}));
  }
  // Not sent while the box is clear: no check then.
  dl.Press(ids::kDlReferer);
  E2E_CHECK(!IsWindowEnabled(dl.Control(ids::kDlRefererUrl)));
  E2E_CHECK_EQ(dl.Press(ids::kDlStart), std::vector<ShownBox>{});
  E2E_CHECK(WaitUntil([&] { return dl.Finished(); }, 20000));
  // Nothing of a cookie in the settings file: the path alone.
  dl.Press(ids::kDlClose);
  E2E_CHECK(WaitUntil([&] { return !IsWindow(dl.window()); }, 3000));
  E2E_CHECK_EQ(app.CloseAnswering(CloseBy::kMenu).size(), 0u);
  const std::string ini = FileContent(CaseFolder(ctx) + L"\\Velnor.ini");
  E2E_CHECK(ini.find("DLCOOKIES=" + Narrow(cookies) + "\r\n") != std::string::npos);
  E2E_CHECK(ini.find("open") == std::string::npos && ini.find("pass") == std::string::npos);
}

// A series that answers 403 unless its gallery page is the Referer: the items' folder is not
// enough, the page given is; the page and the cookie file come back after a restart.
E2E_CASE(download_referer_page) {
  const std::wstring cookies = L"C:\\cookies\\mine.txt";
  String page;
  {
    Stage stage(ctx);
    E2E_REQUIRE(stage.ready());
    auto& [app, server, folder] = stage;
    for (int n = 0; n <= 2; ++n) WriteFileContent(server.root() + L"\\h0" + std::to_wstring(n) + L".jpg", FileBytes(n, 2000));
    page = server.base() + u"gallery/page.html";
    E2E_REQUIRE(app.ExpandNumbers(server.base() + u"hotlink/h", 2, u".jpg").empty());
    E2E_CHECK_EQ(app.Command(ids::kFileDownload).size(), 0u);
    DownloadWindow dl(app);
    E2E_REQUIRE(dl.window() != nullptr);
    dl.SetFolder(folder);
    dl.Run();
    E2E_CHECK_EQ(dl.Cell(0, 1), String(u"失敗: HTTP 403"));
    dl.SetField(ids::kDlRefererUrl, std::wstring(page.begin(), page.end()));
    dl.Run();
    E2E_CHECK_EQ(FilesInFolder(folder).size(), 3u);
    // The three pictures and the folder's sentinel, asked before them, all name the page.
    E2E_CHECK_EQ(server.Requests("\"referer\": \"" + ToUtf8(page) + "\"").size(), 4u);
    dl.SetField(ids::kDlCookies, cookies);
    E2E_CHECK_EQ(app.CloseAnswering(CloseBy::kMenu).size(), 0u);
  }
  Velnor again(ctx, SettingsFile::kKeep);
  E2E_REQUIRE(again.started());
  E2E_REQUIRE(again.ExpandNumbers(u"http://127.0.0.1:9/x", 0, u".jpg").empty());
  E2E_CHECK_EQ(again.Command(ids::kFileDownload).size(), 0u);
  DownloadWindow dl(again);
  E2E_REQUIRE(dl.window() != nullptr);
  E2E_CHECK_EQ(dl.Text(ids::kDlRefererUrl), page);
  E2E_CHECK_EQ(dl.Text(ids::kDlCookies), ToString(cookies));
}

}  // namespace velnor::e2e
