// The download job on model platforms: what each server answer makes of an item, the
// retries and waits, the end of the series, parts resumed or started again, existing
// files, cancel and a failed write.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "base/numbers.h"
#include "download/download_texts.h"
#include "download/item_transfer.h"
#include "model_download.h"

namespace velnor::testing {
namespace {

using Outcome = TransferOutcome;

struct Answer {
  Outcome outcome = Outcome::kComplete;
  int status = 200;
  std::optional<int> retryAfter{};
  uint64_t grows = 0;  // bytes the answer adds to the part
};
const Answer kOk{};
Answer Http(int status, std::optional<int> retryAfter = std::nullopt) {
  return {Outcome::kHttpError, status, retryAfter};
}
Answer Fault(Outcome outcome, uint64_t grows = 0) { return {outcome, 0, std::nullopt, grows}; }

constexpr uint64_t kFileSize = 100;

// Start times of requests a second apart: retries each after the first wait.
std::vector<uint64_t> EverySecond(int requests) {
  std::vector<uint64_t> times;
  for (int i = 0; i < requests; ++i) times.push_back(static_cast<uint64_t>(i) * 1000);
  return times;
}

// The state column is made as wide as the widest of its texts: every state an item ends in
// is one of them (an HTTP status as wide as the three digits of another).
bool StateColumnHolds(const String& state) {
  static const std::vector<String> texts = StateColumnTexts();
  const String http = u"失敗: HTTP ";
  return std::find(texts.begin(), texts.end(), state) != texts.end() ||
         (state.starts_with(http) && state.size() == http.size() + 3 &&
          std::find(texts.begin(), texts.end(), http + u"503") != texts.end());
}

// The job in the folder D:\dl, its requests answered by the test; time moves only in ticks
// of 100 ms, taken while no request waits for its answer.
struct JobRig {
  JobRig() = default;
  JobRig(const JobRig&) = delete;
  JobRig& operator=(const JobRig&) = delete;

  bool Start(const std::vector<String>& urls) {
    job.SetItems(urls);
    return Restart();
  }
  bool Restart() {
    const bool started = job.Start(options);
    Note();
    return started;
  }
  static String Path(const String& name) { return u"D:\\dl\\" + name; }

  // Answers the oldest request under way; a complete body is a file of kFileSize bytes.
  void Reply(const Answer& answer) {
    const TransferRequest request = transfer.waiting.front();
    TransferResult result{.item = request.item, .outcome = answer.outcome, .status = answer.status,
                          .partSize = request.resumeFrom + answer.grows, .totalSize = {},
                          .retryAfterSeconds = answer.retryAfter, .placeholder = {}};
    if (answer.grows > 0) folder.files[request.partPath] = result.partSize;
    if (answer.outcome == Outcome::kComplete) result = WholeBody(request, folder, kFileSize);
    job.OnFinished(transfer.End(result));
    Note();
  }
  void Tick() {
    clock.now += 100;
    job.OnTick();
    Note();
  }
  void Run(const std::function<Answer(const TransferRequest&)>& serve) {
    for (int guard = 0; job.Running() && guard < 100000; ++guard) {
      if (transfer.waiting.empty()) {
        Tick();
      } else {
        Reply(serve(transfer.waiting.front()));
      }
    }
    ASSERT_FALSE(job.Running());
  }
  // Folders' sentinels are answered as they begin (a 404 unless the test says otherwise).
  void Note() {
    for (auto s = FirstSentinel(); answerSentinels && s != transfer.waiting.end(); s = FirstSentinel()) {
      TransferResult result = sentinelAnswer;
      result.item = s->item;
      job.OnFinished(transfer.End(result));
    }
    maxUnderWay = std::max(maxUnderWay, static_cast<int>(transfer.waiting.size()));
    maxQueued = std::max(maxQueued, static_cast<int>(transfer.queued.size()));
    while (startTimes.size() < transfer.requests.size()) startTimes.push_back(clock.now);
  }
  std::deque<TransferRequest>::iterator FirstSentinel() {
    return std::find_if(transfer.waiting.begin(), transfer.waiting.end(), [](const auto& r) { return r.sentinel; });
  }
  std::vector<String> States() const {
    std::vector<String> states;
    for (int i = 0; i < job.Count(); ++i) states.push_back(job.StateText(i));
    return states;
  }

  ModelTransport transfer;
  ModelFolder folder;
  ModelClock clock;
  DownloadJob job{transfer, folder, clock};
  DownloadOptions options{.folder = u"D:\\dl", .connections = 1};
  bool answerSentinels = true;
  TransferResult sentinelAnswer = {.item = 0, .outcome = Outcome::kHttpError, .status = 404, .partSize = 0,
                                   .totalSize = {}, .retryAfterSeconds = {}, .placeholder = {}};
  int maxUnderWay = 0;
  int maxQueued = 0;  // handed over and not begun
  std::vector<uint64_t> startTimes;  // of every request, in order
};

TEST(DownloadJob, ServerAnswersToItemStatesAndRetries) {
  const Answer cutShort = Fault(Outcome::kCutShort), noConnection = Fault(Outcome::kCannotConnect);
  const struct {
    const char* name;
    std::vector<Answer> answers;  // for the first, second, ... request
    String state;
    std::vector<uint64_t> startTimes;
  } cases[] = {
      {"200", {kOk}, u"完了", {0}},
      {"404 is never retried", {Http(404)}, u"見つかりません", {0}},
      {"410 neither", {Http(410)}, u"見つかりません", {0}},
      {"403 fails at once", {Http(403)}, u"失敗: HTTP 403", {0}},
      {"501 is not transient", {Http(501)}, u"失敗: HTTP 501", {0}},
      {"an unfollowed redirect", {Http(302)}, u"失敗: HTTP 302", {0}},
      {"500 then 200", {Http(500), kOk}, u"完了", {0, 1000}},
      {"transient failures wait 1, 2, 4 s", {Http(502), Http(504), Http(408), kOk}, u"完了", {0, 1000, 3000, 7000}},
      {"three retries, then the last reason", {Http(503), Http(503), Http(503), Http(429)}, u"失敗: HTTP 429",
       {0, 1000, 3000, 7000}},
      {"cannot connect", {noConnection, noConnection, noConnection, noConnection}, u"失敗: 接続できません",
       {0, 1000, 3000, 7000}},
      {"time-outs", {noConnection, Fault(Outcome::kTimeout), Fault(Outcome::kTimeout), Fault(Outcome::kTimeout)},
       u"失敗: タイムアウト", {0, 1000, 3000, 7000}},
      {"a body cut short", {cutShort, cutShort, cutShort, cutShort}, u"失敗: 途中で切れました", {0, 1000, 3000, 7000}},
      {"certificate", {Fault(Outcome::kCertificate)}, u"失敗: 証明書エラー", {0}},
      {"redirects", {Fault(Outcome::kTooManyRedirects)}, u"失敗: リダイレクトが多すぎます", {0}},
      {"an unsupported URL", {Fault(Outcome::kUnsupportedUrl)}, u"失敗: 対応していないURL", {0}},
      {"redirected to another scheme", {Fault(Outcome::kUnsupportedRedirect)}, u"失敗: 対応していないリダイレクト", {0}},
      {"a page under a picture's name is never retried", {Fault(Outcome::kPage)}, u"見つかりません (ページ)", {0}},
      {"nor the placeholder", {Fault(Outcome::kPlaceholder)}, u"見つかりません (代わりの画像)", {0}},
      {"a 206 of unknown end: asked again at once", {Fault(Outcome::kEndUnknown, 60), Fault(Outcome::kEndUnknown, 20), kOk},
       u"完了", {0, 0, 0}},
      {"the retry count starts again when the part grew", {cutShort, cutShort, Fault(Outcome::kCutShort, 10), cutShort,
       cutShort, cutShort}, u"失敗: 途中で切れました", {0, 1000, 3000, 4000, 6000, 10000}},
      {"no more than 20 attempts", std::vector<Answer>(20, Fault(Outcome::kCutShort, 10)), u"失敗: 途中で切れました",
       EverySecond(20)},
      {"nor of an unknown end", std::vector<Answer>(20, Fault(Outcome::kEndUnknown, 10)), u"失敗: 途中で切れました",
       std::vector<uint64_t>(20, 0)},
      {"a Retry-After longer than the retry wait", {Http(503, 10), kOk}, u"完了", {0, 10000}},
      {"a Retry-After on a 404 does not retry it", {Http(404, 10)}, u"見つかりません", {0}},
  };
  for (const auto& c : cases) {
    JobRig rig;
    rig.Start({u"http://example.com/a/1.jpg"});
    size_t answered = 0;
    rig.Run([&](const TransferRequest&) { return c.answers.at(answered++); });
    EXPECT_EQ(rig.job.StateText(0), c.state) << c.name;
    EXPECT_TRUE(StateColumnHolds(c.state)) << c.name;
    EXPECT_EQ(rig.startTimes, c.startTimes) << c.name;
    EXPECT_EQ(answered, c.answers.size()) << c.name;
    EXPECT_EQ(rig.job.Item(0).attempts, static_cast<int>(c.answers.size())) << c.name;
    const bool done = c.state == u"完了";
    EXPECT_EQ(rig.folder.files.count(JobRig::Path(u"1.jpg")), done ? 1u : 0u) << c.name;
    if (done) {
      EXPECT_EQ(rig.folder.files.size(), 1u) << c.name << ": the part was renamed";
    }
  }
}

// A series of 00 ... 99 that ends at 37, with a gap of four inside it; the server answers a
// missing number with a 404, a page or its placeholder.
TEST(DownloadJob, TheEndOfTheSeries) {
  auto serve = [](const TransferRequest& request) {
    const int n = request.item;
    if (n <= 37 && (n < 10 || n > 13)) return kOk;
    return n % 3 == 0 ? Http(404) : n % 3 == 1 ? Fault(Outcome::kPage) : Fault(Outcome::kPlaceholder);
  };
  std::vector<String> urls;
  for (int n = 0; n < 100; ++n) urls.push_back(u"http://example.com/img/" + String{char16_t(u'0' + n / 10), char16_t(u'0' + n % 10)} + u".jpg");
  const struct {
    int connections;
    bool stopAfterMissing;
    size_t requests;
  } cases[] = {{1, true, 43}, {2, true, 44}, {4, true, 46}, {1, false, 100}, {3, false, 100}};
  for (const auto& c : cases) {
    JobRig rig;
    rig.options.connections = c.connections;
    rig.options.stopAfterMissing = c.stopAfterMissing;
    rig.Start(urls);
    rig.Run(serve);
    const std::string name = std::to_string(c.connections) + (c.stopAfterMissing ? " stop" : " all");
    EXPECT_EQ(rig.transfer.requests.size(), c.requests) << name;
    EXPECT_EQ(rig.maxUnderWay, c.connections) << name;
    EXPECT_EQ(rig.maxQueued, c.connections * kWaitingRequestsPerConnection) << name << ": waiting to begin";
    EXPECT_EQ(rig.States()[11], u"見つかりません (代わりの画像)") << name;
    EXPECT_EQ(rig.States()[12], u"見つかりません") << name;
    EXPECT_EQ(rig.States()[13], u"見つかりません (ページ)") << name;
    EXPECT_TRUE(rig.States()[c.requests - 1].starts_with(u"見つかりません")) << name << ": the items under way finished";
    const std::vector<String> states = rig.States();
    EXPECT_EQ(std::count(states.begin(), states.end(), u"未実行"), static_cast<long>(100 - c.requests)) << name;
    EXPECT_EQ(rig.job.StatusLine(), u"完了 34 件 · 既存 0 件 · 見つかりません " + DecimalText(static_cast<int64_t>(c.requests) - 34) +
                                        u" 件 · 失敗 0 件 · 中止 0 件 · 未実行 " + DecimalText(100 - static_cast<int64_t>(c.requests)) + u" 件")
        << name;
  }
}

TEST(DownloadJob, ExistingFilesAndParts) {
  JobRig rig;
  rig.folder.files = {{JobRig::Path(u"1.jpg"), 10}, {JobRig::Path(u"2.jpg.part"), 40}, {JobRig::Path(u"3.jpg.part"), 500}};
  rig.Start({u"http://h/1.jpg", u"http://h/2.jpg", u"http://h/3.jpg", u"http://h/4.jpg"});
  // 2: the part resumes; 3: the part reaches past the end, so it starts again from 0 as a
  // retry, after the next item.
  std::vector<Answer> answers = {kOk, Http(416), kOk, kOk};
  size_t answered = 0;
  rig.Run([&](const TransferRequest&) { return answers.at(answered++); });
  EXPECT_EQ(rig.States(), (std::vector<String>{u"既存", u"完了", u"完了", u"完了"}));
  std::vector<std::pair<int, uint64_t>> requests;
  for (const TransferRequest& r : rig.transfer.requests) requests.emplace_back(r.item, r.resumeFrom);
  EXPECT_EQ(requests, (std::vector<std::pair<int, uint64_t>>{{1, 40}, {2, 500}, {3, 0}, {2, 0}}));
  EXPECT_EQ(rig.transfer.requests[0].partPath, u"D:\\dl\\2.jpg.part");
  EXPECT_EQ(rig.transfer.requests[0].finalPath, u"D:\\dl\\2.jpg");
  EXPECT_EQ(rig.job.SizeText(0), u"10 B");

  // The whole list again: every file is there, nothing is requested, not even the sentinel.
  rig.Restart();
  EXPECT_FALSE(rig.job.Running());
  EXPECT_EQ(rig.States(), (std::vector<String>(4, u"既存")));
  EXPECT_EQ(rig.transfer.requests.size(), 4u);
  EXPECT_EQ(rig.transfer.sentinels.size(), 1u);
  EXPECT_EQ(rig.job.StatusLine(), u"完了 0 件 · 既存 4 件 · 見つかりません 0 件 · 失敗 0 件 · 中止 0 件 · 未実行 0 件");
}

// A part shorter than the Content-Range total resumes; one longer than it starts again.
TEST(DownloadJob, APartShorterThanTheFileIsResumed) {
  for (const uint64_t partSize : {60u, 500u}) {
    JobRig rig;
    rig.Start({u"http://h/1.jpg"});
    rig.transfer.waiting.clear();
    rig.folder.files[JobRig::Path(u"1.jpg.part")] = partSize;
    rig.job.OnFinished({{.item = 0, .outcome = Outcome::kCutShort, .status = 206, .partSize = partSize,
                         .totalSize = 100, .retryAfterSeconds = {}, .placeholder = {}}});
    EXPECT_EQ(rig.job.StateText(0), u"待機中");
    rig.Run([](const TransferRequest&) { return kOk; });
    EXPECT_EQ(rig.transfer.requests.back().resumeFrom, partSize < 100 ? partSize : 0u);
    EXPECT_EQ(rig.job.StateText(0), u"完了");
  }
}

// After a 206 "bytes N-M/*" the part is asked from its end as this run's own, once: any
// later request checks it again.
TEST(DownloadJob, APartOfUnknownEndIsAskedForAsProven) {
  JobRig rig;
  rig.Start({u"http://h/1.jpg"});
  const std::vector<Answer> answers = {Fault(Outcome::kEndUnknown, 60), Fault(Outcome::kEndUnknown, 20),
                                       Fault(Outcome::kCutShort, 5), kOk};
  size_t answered = 0;
  rig.Run([&](const TransferRequest&) { return answers.at(answered++); });
  std::vector<std::pair<uint64_t, bool>> requests;
  for (const TransferRequest& r : rig.transfer.requests) requests.emplace_back(r.resumeFrom, r.partVerified);
  EXPECT_EQ(requests, (std::vector<std::pair<uint64_t, bool>>{{0, false}, {60, true}, {80, true}, {85, false}}));
  EXPECT_EQ(rig.job.StateText(0), u"完了");
}

TEST(DownloadJob, RetryAfterHoldsBackItsServerOnly) {
  JobRig rig;
  rig.Start({u"http://a/1.jpg", u"http://A:80/2.jpg", u"http://b/1.jpg", u"https://a/3.jpg"});
  rig.Reply(Http(429, 20));
  // The next item is on the waiting server: the list waits, in order.
  for (int i = 0; i < 10; ++i) rig.Tick();
  EXPECT_EQ(rig.transfer.requests.size(), 1u);
  rig.Run([](const TransferRequest&) { return kOk; });
  EXPECT_EQ(rig.startTimes, (std::vector<uint64_t>{0, 20000, 20000, 20000, 20000}));
  EXPECT_EQ(rig.States(), (std::vector<String>(4, u"完了")));

  JobRig other;
  other.Start({u"http://a/1.jpg", u"http://b/1.jpg"});
  other.Reply(Http(503, 20));
  EXPECT_EQ(other.transfer.requests.size(), 2u) << "another server is asked at once";
  EXPECT_EQ(other.transfer.requests[1].url, u"http://b/1.jpg");
}

// Each folder's sentinel is asked before the first request there (a file already there asks
// nothing), and the items there wait for its answer; its placeholder goes with every request
// to that folder, its Retry-After holds back its server, and the transport's verdict on an
// item is the item's state: the placeholder leaves the part alone.
TEST(DownloadJob, EachFolderAsksItsSentinelFirst) {
  JobRig rig;
  rig.options.connections = 2;
  rig.answerSentinels = false;
  rig.folder.files = {{JobRig::Path(u"01.jpg"), 5}, {JobRig::Path(u"02.jpg.part"), 40}};
  rig.Start({u"http://h/a/01.jpg", u"http://h/a/02.jpg", u"http://h/b/x3.png?s=1", u"http://h/a/04.jpg",
             u"http://h/b/05.jpg"});
  auto answer = [&rig](int id, TransferResult result) {
    result.item = id;
    rig.job.OnFinished(rig.transfer.End(result));
    rig.Note();
  };
  ASSERT_EQ(rig.transfer.sentinels.size(), 1u);
  const TransferRequest& first = rig.transfer.sentinels[0];
  EXPECT_EQ(first.url, u"http://h/a/9999999.jpg");
  EXPECT_EQ(first.probeBytes, 1024u);
  EXPECT_EQ(first.referer, u"http://h/a/");
  EXPECT_TRUE(first.partPath.empty() && first.finalPath.empty());
  for (int t = 0; t < 5; ++t) rig.Tick();
  EXPECT_TRUE(rig.transfer.requests.empty()) << "the folder waits for its sentinel";

  const TransferResult placeholder = PlaceholderAnswer();
  answer(first.item, placeholder);
  ASSERT_EQ(rig.transfer.sentinels.size(), 2u);
  EXPECT_EQ(rig.transfer.sentinels[1].url, u"http://h/b/x9999999.png?s=1");
  TransferResult busy = rig.sentinelAnswer;
  busy.status = 503;
  busy.retryAfterSeconds = 5;
  answer(rig.transfer.sentinels[1].item, busy);
  rig.Reply(Fault(Outcome::kPlaceholder));  // 02
  rig.Run([](const TransferRequest&) { return kOk; });

  EXPECT_EQ(rig.transfer.begun, (std::vector<int>{-1, 1, -2, 2, 3, 4}));
  std::vector<const AnswerFingerprint*> placeholders;
  for (const TransferRequest& r : rig.transfer.requests) placeholders.push_back(r.placeholder.get());
  const AnswerFingerprint* a = placeholder.placeholder.get();
  EXPECT_EQ(placeholders, (std::vector<const AnswerFingerprint*>{a, nullptr, a, nullptr}));
  EXPECT_EQ(rig.startTimes, (std::vector<uint64_t>{500, 5500, 5500, 5500}));
  EXPECT_EQ(rig.States(), (std::vector<String>{u"既存", u"見つかりません (代わりの画像)", u"完了", u"完了", u"完了"}));
  EXPECT_EQ(rig.job.Item(1).attempts, 1) << "never retried";
  EXPECT_EQ(rig.folder.files.count(JobRig::Path(u"02.jpg.part")), 1u);
  EXPECT_EQ(rig.folder.files.count(JobRig::Path(u"02.jpg")), 0u);
  EXPECT_EQ(rig.job.StatusLine(), u"完了 3 件 · 既存 1 件 · 見つかりません 1 件 · 失敗 0 件 · 中止 0 件 · 未実行 0 件");
}

// A sentinel the transport handed back unsent is asked again; a cancel meanwhile waits for it.
TEST(DownloadJob, ASentinelHandedBackThenCancelled) {
  JobRig rig;
  rig.answerSentinels = false;
  rig.Start({u"http://h/1.jpg", u"http://h/2.jpg"});
  rig.job.OnFinished(rig.transfer.End(EndedUnanswered(rig.transfer.sentinels.at(0), Outcome::kNotBegun)));
  ASSERT_EQ(rig.transfer.sentinels.size(), 2u);
  rig.job.Cancel();
  EXPECT_TRUE(rig.job.Running()) << "until the sentinel under way has reported";
  rig.job.OnFinished(rig.transfer.End(EndedUnanswered(rig.transfer.sentinels[1], Outcome::kCancelled)));
  EXPECT_FALSE(rig.job.Running());
  EXPECT_TRUE(rig.transfer.requests.empty());
  EXPECT_EQ(rig.States(), (std::vector<String>{u"未実行", u"未実行"}));
}

TEST(DownloadJob, CancelStopsEverything) {
  JobRig rig;
  rig.options.connections = 2;
  rig.Start({u"http://h/1.jpg", u"http://h/2.jpg", u"http://h/3.jpg", u"http://h/4.jpg", u"http://h/5.jpg"});
  rig.Reply(Http(500));  // 1 waits for its retry, then waits to begin behind 4 and 5
  for (int t = 0; t < 10; ++t) rig.Tick();
  ASSERT_EQ(rig.transfer.waiting.size(), 2u);
  ASSERT_EQ(rig.transfer.queued.size(), 3u);
  rig.job.OnProgress(1, 512, std::nullopt);
  rig.job.Cancel();
  EXPECT_EQ(rig.transfer.cancelAllCalls, 1);
  EXPECT_TRUE(rig.job.Running()) << "until the transfers under way have reported";
  // Begun and no byte yet: still shown waiting; the requests not begun are taken back.
  EXPECT_EQ(rig.States(), (std::vector<String>{u"中止", u"ダウンロード中 512 B", u"待機中", u"未実行", u"未実行"}));
  EXPECT_TRUE(rig.transfer.queued.empty());
  rig.Reply(Fault(Outcome::kCancelled));
  rig.Reply(Fault(Outcome::kTimeout));  // no retry after a cancel
  EXPECT_FALSE(rig.job.Running());
  EXPECT_EQ(rig.transfer.requests.size(), 3u);
  EXPECT_EQ(rig.job.StatusLine(), u"完了 0 件 · 既存 0 件 · 見つかりません 0 件 · 失敗 0 件 · 中止 3 件 · 未実行 2 件");
  EXPECT_EQ(rig.job.ProgressPercent(), 100);

  // A cancel that lost the race with the transport's rename: the file is whole and in place.
  JobRig late;
  late.Start({u"http://h/1.jpg"});
  late.job.Cancel();
  late.Reply(kOk);
  EXPECT_FALSE(late.job.Running());
  EXPECT_EQ(late.job.StatusLine(), u"完了 1 件 · 既存 0 件 · 見つかりません 0 件 · 失敗 0 件 · 中止 0 件 · 未実行 0 件");
}

// A transport whose write failed, or whose whole part could not take its name (another
// program took it), hands back what waits; the part is the transport's to keep or remove.
TEST(DownloadJob, AWriteFailureStopsTheJob) {
  for (const bool renameFails : {false, true}) {
    JobRig rig;
    rig.options.connections = 2;
    if (renameFails) rig.folder.renameFails.insert(JobRig::Path(u"1.jpg"));
    rig.folder.files[JobRig::Path(u"1.jpg.part")] = 7;
    rig.Start({u"http://h/1.jpg", u"http://h/2.jpg", u"http://h/3.jpg", u"http://h/4.jpg"});
    rig.Reply(renameFails ? kOk : Fault(Outcome::kWriteFailed));
    EXPECT_TRUE(rig.job.Running()) << "item 2 is still under way";
    rig.Reply(kOk);
    EXPECT_FALSE(rig.job.Running());
    EXPECT_EQ(rig.States(), (std::vector<String>{u"失敗: 書き込めません", u"完了", u"未実行", u"未実行"})) << renameFails;
    for (const String& state : rig.States()) EXPECT_TRUE(StateColumnHolds(state)) << renameFails;
    EXPECT_EQ(rig.folder.files.count(JobRig::Path(u"1.jpg.part")), 1u) << "the job never removes the part";
    EXPECT_EQ(rig.folder.files.count(JobRig::Path(u"1.jpg")), 0u);
    EXPECT_EQ(rig.transfer.requests.size(), 2u);
  }
}

TEST(DownloadJob, WhatIsSettledWithoutARequest) {
  JobRig rig;
  rig.folder.unusable = u"Q:\\";
  rig.options.folder = u"Q:\\";
  EXPECT_FALSE(rig.Start({u"http://h/1.jpg"}));
  EXPECT_FALSE(rig.job.Running());
  EXPECT_EQ(rig.job.StatusLine(), u"");

  rig.options.folder = u"D:\\dl\\";
  rig.Start({u"ftp://h/1.jpg", u"mailto:x@y", u"http://h/a\u3000b.jpg", u"http://h/1.jpg"});
  EXPECT_EQ(rig.States(), (std::vector<String>{u"失敗: 対応していないURL", u"失敗: 対応していないURL",
                                               u"失敗: 対応していないURL", u"待機中"}));
  for (const String& state : rig.States()) EXPECT_TRUE(StateColumnHolds(state));
  EXPECT_EQ(rig.transfer.requests.size(), 1u);
  EXPECT_EQ(rig.transfer.requests[0].partPath, u"D:\\dl\\1 (2).jpg.part");
  EXPECT_EQ(rig.transfer.requests[0].referer, u"http://h/");
  rig.options.sendReferer = false;
  rig.Reply(kOk);
  rig.Start({u"http://h/2.jpg"});
  EXPECT_EQ(rig.transfer.requests.back().referer, u"");
  // The page the user gave, while the box is ticked; nothing while it is not.
  rig.options.refererUrl = u"https://pages.example/g.html?id=1";
  rig.Reply(kOk);
  rig.Start({u"http://h/3.jpg"});
  EXPECT_EQ(rig.transfer.requests.back().referer, u"");
  rig.options.sendReferer = true;
  rig.Reply(kOk);
  rig.Start({u"http://cdn/4.jpg"});
  EXPECT_EQ(rig.transfer.requests.back().referer, u"https://pages.example/g.html?id=1");
  for (const char16_t* bad : {u"pages.example/g.html", u"ftp://h/", u"http://h/a b", u"http://h/\r\nX: 1", u"http://"}) {
    EXPECT_FALSE(IsRefererUrlUsable(bad)) << ToUtf8(bad);
  }
  EXPECT_TRUE(IsRefererUrlUsable(u"HTTPS://h:8080/p?q=1#f"));
}

TEST(DownloadJob, ProgressTextsAndSpeed) {
  JobRig rig;
  rig.options.connections = 2;
  rig.Start({u"http://h/1.jpg", u"http://h/2.jpg", u"http://h/3.jpg"});
  EXPECT_EQ(rig.job.StatusLine(), u"ダウンロード中: 残り 3 件 · 0.0 MB/s");
  const uint64_t revision = rig.job.Revision();
  rig.job.OnProgress(0, 1000, 4000);
  rig.job.OnProgress(1, 1258291, std::nullopt);
  EXPECT_GT(rig.job.Revision(), revision);
  EXPECT_EQ(rig.job.StateText(0), u"ダウンロード中 25%");
  EXPECT_EQ(rig.job.StateText(1), u"ダウンロード中 1.2 MB");
  EXPECT_EQ(rig.job.SizeText(0), u"3.9 KB");
  EXPECT_EQ(rig.job.ProgressPercent(), 8);
  // 1.5 MB a second over the last seconds.
  for (int t = 1; t <= 40; ++t) {
    rig.job.OnProgress(1, 1258291 + static_cast<uint64_t>(t) * 157286, std::nullopt);
    rig.Tick();
  }
  EXPECT_EQ(rig.job.StatusLine(), u"ダウンロード中: 残り 3 件 · 1.5 MB/s");
}

// Items are named as far as they are read, in list order whatever the order of the reads.
TEST(DownloadJob, NamesReadInAnyOrderAreTheListsNames) {
  const std::vector<String> urls = {u"http://a/x.jpg", u"http://b/X.jpg", u"http://c/y.jpg", u"http://d/x.jpg"};
  JobRig rig;
  rig.job.SetItems(urls);
  std::vector<String> names(urls.size());
  for (const int i : {3, 1, 0, 2}) names[i] = rig.job.Item(i).name;
  EXPECT_EQ(names, AssignFileNames(urls));
}

}  // namespace
}  // namespace velnor::testing
