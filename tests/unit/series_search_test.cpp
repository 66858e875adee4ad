// The search for the end of a series: which items come after the list for every shape of the
// fields, the server's answers on the model transport (gaps, pages, failures, retries, the
// width limit, cancel), and the command around it: its messages and what it writes back.
// The request after a copied URL is checked on the real window (search_auto_option).
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "model_download.h"
#include "model_program.h"
#include "search/series_command.h"
#include "ui/input_fields.h"

namespace velnor::testing {
namespace {

struct Fields {
  int start = 0;
  int check3 = 0, check1 = 1, checkund = 0, check2 = 0;
  String text1{}, combo3{};
  String split{};  // the URL the last split took
};

void Fill(ModelProgram& p, const Fields& f) {
  (f.start == 1 ? p.window.Option1 : p.window.Option0).Select();
  p.window.Check3.SetValue(f.check3);
  p.window.Check1.SetValue(f.check1);
  p.window.Checkund.SetValue(f.checkund);
  p.window.Check2.SetValue(f.check2);
  p.window.urltxt.SetText(u"http://h/");
  p.window.Combo2.SetText(u"s/");
  p.window.Combo1.SetText(u".jpg");
  p.window.Combo3.SetText(f.combo3);
  p.window.text1.SetText(f.text1);
  p.program.splitUrl = f.split;
}

TEST(PlanSeries, TheItemsAfterTheList) {
  const struct {
    const char* name;
    Fields fields;
    String lastUrl;  // empty: refused
    String nextUrl;  // empty: the last item is at the width limit
    PlanRefusal refusal = PlanRefusal::kNoNumber;
    std::optional<size_t> copied{};
  } cases[] = {
      {"two digits", {.text1 = u"12"}, u"http://h/12.jpg", u"http://h/13.jpg"},
      {"three digits", {.check3 = 1, .text1 = u"120"}, u"http://h/s/120.jpg", u"http://h/s/121.jpg"},
      {"99 is the end of two digits", {.text1 = u"99", .split = u"http://h/99.jpg"}, u"", u"", PlanRefusal::kAtLimit},
      {"999 is the end of three", {.text1 = u"999", .split = u"http://h/999.jpg"}, u"", u"", PlanRefusal::kAtLimit},
      {"99 typed: the last item is asked about", {.text1 = u"99"}, u"http://h/99.jpg", u""},
      {"copied, three digits below 100", {.text1 = u"100", .split = u"http://h/012.jpg"}, u"http://h/100.jpg",
       u"http://h/101.jpg", PlanRefusal::kNoNumber, 12},
      {"copied, start number 1", {.start = 1, .text1 = u"40", .split = u"http://h/12.jpg"}, u"http://h/40.jpg",
       u"http://h/41.jpg", PlanRefusal::kNoNumber, 11},
      {"copied, two numbers",
       {.checkund = 1, .check2 = 1, .text1 = u"37", .combo3 = u"25", .split = u"http://h/12_0c.jpg"},
       u"http://h/37_25.jpg", u"http://h/38_26.jpg", PlanRefusal::kNoNumber, 12},
      {"copied, two numbers, three digits",
       {.checkund = 1, .check2 = 1, .text1 = u"100", .combo3 = u"64", .split = u"http://h/012_0c.jpg"},
       u"http://h/100_64.jpg", u"http://h/101_65.jpg", PlanRefusal::kNoNumber, 12},
      {"a split URL the list does not hold", {.text1 = u"40", .split = u"http://other/12.jpg"}, u"http://h/40.jpg",
       u"http://h/41.jpg"},
      {"second number, 9 to a", {.check1 = 0, .check2 = 1, .combo3 = u"09"}, u"http://h/09.jpg", u"http://h/0a.jpg"},
      {"second number, f to the next ten", {.check1 = 0, .checkund = 1, .check2 = 1, .combo3 = u"1f"},
       u"http://h/_1f.jpg", u"http://h/_20.jpg"},
      {"9f is the end of the second", {.check1 = 0, .check2 = 1, .combo3 = u"9f", .split = u"http://h/9f.jpg"}, u"",
       u"", PlanRefusal::kAtLimit},
      {"both step together", {.checkund = 1, .check2 = 1, .text1 = u"37", .combo3 = u"25"}, u"http://h/37_25.jpg",
       u"http://h/38_26.jpg"},
      {"both, the first derived from the second", {.checkund = 1, .check2 = 1, .combo3 = u"1f"},
       u"http://h/31_1f.jpg", u"http://h/32_20.jpg"},
      {"both, one at its limit",
       {.checkund = 1, .check2 = 1, .text1 = u"99", .combo3 = u"63", .split = u"http://h/99_63.jpg"}, u"", u"",
       PlanRefusal::kAtLimit},
      {"both, the last item lacks the second", {.checkund = 1, .check2 = 1, .text1 = u"40", .combo3 = u"05"}, u"", u""},
      {"both without the underscore: no list", {.check2 = 1, .text1 = u"12", .combo3 = u"0c"}, u"", u""},
      {"no number ticked", {.check3 = 1, .check1 = 0, .text1 = u"12"}, u"", u""},
  };
  for (const auto& c : cases) {
    ModelProgram p;
    Fill(p, c.fields);
    const PlanOrRefusal planned = PlanSeries(p.program);
    ASSERT_EQ(planned.plan.has_value(), !c.lastUrl.empty()) << c.name;
    if (!planned.plan) {
      EXPECT_EQ(planned.refusal, c.refusal) << c.name;
      continue;
    }
    EXPECT_EQ(planned.plan->Url(planned.plan->last), c.lastUrl) << c.name;
    const auto next = NextNumbers(planned.plan->last);
    EXPECT_EQ(next ? planned.plan->Url(*next) : u"", c.nextUrl) << c.name;
    EXPECT_EQ(planned.plan->copied, c.copied) << c.name;
    EXPECT_EQ(planned.plan->items.back(), planned.plan->last) << c.name;
    if (c.copied) {
      EXPECT_EQ(planned.plan->Url(planned.plan->items[*c.copied]), c.fields.split) << c.name;
    }
    EXPECT_TRUE(p.window.urllist.Items().empty()) << c.name << ": the window is not touched";
  }
}

// The search on the model transport; the server answers by the item's number. Time moves
// in ticks of 100 ms while no request waits for its answer.
struct SearchRig {
  using Answers = std::vector<TransferResult>;  // one request after another; the last repeats
  // The list from `from` to `last` (only `last` when `from` is empty: the copied item, as after
  // a split), with `copied` the item the user had in hand.
  SearchRig(String last, std::map<int, Answers> answers, const String& from = {},
            std::optional<String> copied = std::nullopt)
      : answers_(std::move(answers)) {
    plan.prefix = u"http://h/p";
    plan.first = true;
    plan.extension = u".jpg";
    plan.last.first = std::move(last);
    if (from.empty()) copied = plan.last.first;
    for (SeriesNumbers n{from.empty() ? plan.last.first : from, u""};; n = *NextNumbers(n)) {
      if (n.first == copied) plan.copied = plan.items.size();
      plan.items.push_back(n);
      if (n == plan.last) break;
    }
    options.connections = 2;
  }
  void Run(int answersBeforeCancel = -1) {
    search.Start(plan, options);
    for (int step = 0; step < 10000 && search.Running(); ++step) {
      if (step == answersBeforeCancel) search.Cancel();
      if (transport.waiting.empty()) {
        clock.now += 100;
        search.OnTick();
        continue;
      }
      const TransferRequest request = transport.waiting.front();
      const int number = std::stoi(ToUtf8(request.url.substr(10, request.url.size() - 14)));
      TransferResult result = request.sentinel ? sentinelAnswer : Http(404);
      if (const auto found = answers_.find(number); !request.sentinel && found != answers_.end()) {
        const size_t attempt = asked_[number]++;
        result = found->second[std::min(attempt, found->second.size() - 1)];
      }
      result.item = request.item;
      search.OnFinished(transport.End(result));
    }
  }
  static TransferResult Answer(TransferOutcome outcome, int status = 0, std::optional<int> retryAfter = std::nullopt) {
    TransferResult result;
    result.outcome = outcome;
    result.status = status;
    result.retryAfterSeconds = retryAfter;
    return result;
  }
  static TransferResult Http(int status, std::optional<int> retryAfter = std::nullopt) {
    return Answer(TransferOutcome::kHttpError, status, retryAfter);
  }

  SeriesPlan plan;
  TransferResult sentinelAnswer = Http(404);
  ModelTransport transport;
  ModelClock clock;
  SeriesSearch search{transport, clock};
  DownloadOptions options;

 private:
  std::map<int, Answers> answers_;
  std::map<int, size_t> asked_;
};

const TransferResult kFound = SearchRig::Answer(TransferOutcome::kComplete, 206);
const TransferResult kPage = SearchRig::Answer(TransferOutcome::kPage, 200);
const TransferResult kPlaceholder = SearchRig::Answer(TransferOutcome::kPlaceholder, 206);

std::map<int, SearchRig::Answers> Answering(std::initializer_list<std::pair<int, int>> ranges,
                                            const TransferResult& answer = kFound) {
  std::map<int, SearchRig::Answers> answers;
  for (const auto& [from, to] : ranges) {
    for (int n = from; n <= to; ++n) answers[n] = {answer};
  }
  return answers;
}

TEST(SeriesSearch, WhereTheSeriesEnds) {
  auto with = [](std::map<int, SearchRig::Answers> answers, int number, SearchRig::Answers list) {
    answers[number] = std::move(list);
    return answers;
  };
  const auto series = Answering({{13, 40}});
  const auto series58 = Answering({{0, 57}});
  const struct {
    const char* name;
    String last;
    std::map<int, SearchRig::Answers> answers;
    String found;  // empty: nothing found
    std::optional<SeriesFailure> failure{};
    int highestAsked = 0;  // besides the list's last item
    String from{};  // the list's first item; empty: the list is the copied item alone
    std::optional<String> copied{};
    bool pastEnd = false;  // the list's last item is missing
  } cases[] = {
      {"to 40 from 12", u"12", series, u"40", {}, 46},
      {"a gap of 4 goes on", u"12", Answering({{13, 19}, {24, 30}}), u"30", {}, 36},
      {"a gap of 5 ends", u"12", Answering({{13, 19}, {25, 30}}), u"19", {}, 25},
      {"pages are missing items", u"12", with(Answering({{13, 20}}), 21, {kPage}), u"20", {}, 26},
      {"so is the placeholder", u"12", with(Answering({{13, 21}}), 22, {kPlaceholder}), u"21", {}, 27},
      {"a 410 is a missing item", u"12", with(Answering({{13, 13}}), 14, {SearchRig::Http(410)}), u"13", {}, 19},
      {"nothing after the list", u"12", {}, u"", {}, 18},
      {"a 403 after some found", u"12", with(Answering({{13, 17}}), 18, {SearchRig::Http(403)}), u"17",
       SeriesFailure{u"HTTP 403", u"http://h/p18.jpg"}, 19},
      {"a 503 and Retry-After, then the file", u"12", with(series, 14, {SearchRig::Http(503, 2), kFound}), u"40", {},
       46},
      {"retries run out", u"12",
       with(series, 15, {SearchRig::Answer(TransferOutcome::kCannotConnect)}), u"14",
       SeriesFailure{u"接続できません", u"http://h/p15.jpg"}, 46},
      {"up to the width limit", u"95", Answering({{96, 120}}), u"99", {}, 99},
      // A list typed or split longer than the series: its last item is asked about first.
      {"the last item exists: on past it", u"40", Answering({{0, 50}}), u"50", {}, 56, u"00"},
      {"three digits, missing last item: from the copied one", u"100", series58, u"057", {}, 63, u"000", u"012",
       true},
      {"two digits, the same", u"60", Answering({{0, 37}}), u"37", {}, 43, u"00", u"12", true},
      {"a gap of 4 before the end", u"100", with(Answering({{0, 30}, {35, 57}}), 100, {kPage}), u"057", {}, 63,
       u"000", u"012", true},
      {"nothing after the copied item", u"100", Answering({{0, 12}}), u"", {}, 18, u"000", u"012", true},
      {"no copied item: from the first", u"60", Answering({{3, 40}}), u"40", {}, 46, u"00", std::nullopt, true},
      {"no copied item, nothing there", u"60", {}, u"", {}, 5, u"00", std::nullopt, true},
      {"99 typed too far", u"99", Answering({{0, 20}}), u"20", {}, 26, u"00", std::nullopt, true},
      {"the last item fails", u"60", with(series, 60, {SearchRig::Http(403)}), u"",
       SeriesFailure{u"HTTP 403", u"http://h/p60.jpg"}, 0, u"00", u"12"},
  };
  auto number = [](const TransferRequest& r) { return std::stoi(ToUtf8(r.url.substr(10, r.url.size() - 14))); };
  for (const auto& c : cases) {
    SearchRig rig(c.last, c.answers, c.from, c.copied);
    rig.Run();
    EXPECT_FALSE(rig.search.Running()) << c.name;
    const SeriesSearchResult result = rig.search.Result();
    EXPECT_EQ(result.found ? result.found->first : u"", c.found) << c.name;
    if (result.found) {
      EXPECT_EQ(result.found->first.size(), rig.plan.items.front().first.size()) << c.name;
    }
    EXPECT_EQ(result.failure, c.failure) << c.name;
    EXPECT_EQ(result.pastEnd, c.pastEnd) << c.name;
    // The folder's sentinel first; then the list's last item unless it is the copied one; then
    // in order, from the item after the list, or, when it is missing, from the one after the
    // copied item (or the list's first); past the fifth missing item only what was under way;
    // every request a probe of the first KB with the download's Referer, and no placeholder
    // after the sentinel's 404.
    ASSERT_EQ(rig.transport.sentinels.size(), 1u) << c.name;
    EXPECT_EQ(rig.transport.begun.front(), -1) << c.name;
    EXPECT_EQ(rig.transport.sentinels[0].url, u"http://h/p9999999.jpg") << c.name;
    const auto& requests = rig.transport.requests;
    ASSERT_FALSE(requests.empty()) << c.name;
    const int last = std::stoi(ToUtf8(c.last));
    const bool lastAsked = !c.from.empty() && c.copied != c.last;
    EXPECT_EQ(number(requests.front()), lastAsked ? last : last + 1) << c.name;
    if (c.pastEnd) {
      const int from = c.copied ? std::stoi(ToUtf8(*c.copied)) + 1 : 0;
      ASSERT_GE(requests.size(), 2u) << c.name;
      EXPECT_EQ(number(requests[1]), from) << c.name;
    }
    int highest = 0;
    for (const TransferRequest& r : requests) {
      EXPECT_TRUE(!c.pastEnd || number(r) <= last) << c.name << ": nothing past the list's end";
      if (number(r) != last || !lastAsked) highest = std::max(highest, number(r));
      EXPECT_EQ(r.probeBytes, 1024u) << c.name;
      EXPECT_TRUE(r.partPath.empty() && r.finalPath.empty()) << c.name;
      EXPECT_EQ(r.referer, u"http://h/") << c.name;
      EXPECT_EQ(r.placeholder, nullptr) << c.name;
    }
    EXPECT_LE(highest, c.highestAsked) << c.name;
  }
}

// The sentinel's answer holds everything back until it comes; its placeholder goes with every
// request, and its Retry-After holds back the server as an item's does.
TEST(SeriesSearch, AskedAfterItsSentinel) {
  SearchRig rig(u"12", Answering({{13, 20}}));
  rig.sentinelAnswer = PlaceholderAnswer();
  rig.sentinelAnswer.retryAfterSeconds = 3;
  rig.Run();
  EXPECT_EQ(rig.search.Result().found, (SeriesNumbers{u"20", u""}));
  ASSERT_EQ(rig.transport.sentinels.size(), 1u);
  EXPECT_EQ(rig.transport.sentinels[0].probeBytes, 1024u);
  EXPECT_EQ(rig.transport.sentinels[0].referer, u"http://h/");
  EXPECT_GE(rig.clock.now, 3000u);
  for (const TransferRequest& r : rig.transport.requests) EXPECT_EQ(r.placeholder, rig.sentinelAnswer.placeholder);
  EXPECT_EQ(rig.search.Asked(), 13);  // the sentinel is not an item
}

// The page the user gave goes as the Referer of every probe, as it does with the download.
TEST(SeriesSearch, TheUsersRefererGoesWithEveryProbe) {
  SearchRig rig(u"12", {{13, {kFound}}});
  rig.options.refererUrl = u"https://pages.example/gallery.html";
  rig.Run();
  ASSERT_GE(rig.transport.requests.size(), 6u);
  for (const TransferRequest& r : rig.transport.requests) EXPECT_EQ(r.referer, u"https://pages.example/gallery.html");
}

TEST(SeriesSearch, RetriesWaitAsTheDownloadDoes) {
  SearchRig rig(u"12", {{13, {SearchRig::Http(503, 5), kFound}}});
  rig.Run();
  EXPECT_EQ(rig.search.Result().found, (SeriesNumbers{u"13", u""}));
  // The 503 asked for 5 s: nothing went to the server before then, the retry included.
  ASSERT_GE(rig.transport.requests.size(), 3u);
  EXPECT_GE(rig.clock.now, 5000u);
  EXPECT_EQ(std::count_if(rig.transport.requests.begin(), rig.transport.requests.end(),
                          [](const auto& r) { return r.url == u"http://h/p13.jpg"; }),
            2);
}

TEST(SeriesSearch, CancelStopsEverything) {
  SearchRig rig(u"12", Answering({{13, 40}}));
  rig.Run(6);
  EXPECT_FALSE(rig.search.Running());
  EXPECT_TRUE(rig.search.Result().cancelled);
  EXPECT_EQ(rig.transport.cancelAllCalls, 1);
  EXPECT_EQ(rig.search.Asked(), 5);  // the answers heard after the sentinel's
}

// The command with a runner that answers at once; the search itself is tested above.
struct CannedRunner : SeriesSearchRunner {
  SeriesSearchResult Run(const SeriesPlan& plan, const DownloadOptions&) override {
    ++runs;
    if (const auto next = NextNumbers(plan.last)) firstUrl = plan.Url(*next);
    if (meanwhile) meanwhile();
    return result;
  }
  SeriesSearchResult result;
  std::function<void()> meanwhile;
  int runs = 0;
  String firstUrl;
};

TEST(FindSeriesCommand, MessagesAndTheListAfterwards) {
  const SeriesFailure denied{u"HTTP 403", u"http://h/18.jpg"};
  const struct {
    const char* name;
    Fields fields;
    SeriesSearchResult result;
    std::vector<String> messages;
    int items;     // in urllist afterwards (-1: the fields are left as they were)
    String lastItem;
    int runs = 1;
  } cases[] = {
      {"found", {.text1 = u"12"}, {.found = SeriesNumbers{u"40", u""}, .foundAt = 40}, {}, 41, u"http://h/40.jpg"},
      {"two numbers found", {.checkund = 1, .check2 = 1, .text1 = u"12", .combo3 = u"0c"},
       {.found = SeriesNumbers{u"37", u"25"}, .foundAt = 37}, {}, 38, u"http://h/37_25.jpg"},
      {"a failure after some found", {.text1 = u"12"},
       {.found = SeriesNumbers{u"17", u""}, .foundAt = 17, .failure = denied},
       {u"続きを探せませんでした\nHTTP 403\nhttp://h/18.jpg"}, 18, u"http://h/17.jpg"},
      // The list ran past the series' end.
      {"three digits below 100: cut after the end", {.text1 = u"100", .split = u"http://h/012.jpg"},
       {.found = SeriesNumbers{u"057", u""}, .foundAt = 57, .pastEnd = true}, {}, 58, u"http://h/057.jpg"},
      {"start number 1, cut", {.start = 1, .text1 = u"100", .split = u"http://h/012.jpg"},
       {.found = SeriesNumbers{u"057", u""}, .foundAt = 56, .pastEnd = true}, {}, 57, u"http://h/057.jpg"},
      {"three digits from 100 within the list", {.text1 = u"150"},
       {.found = SeriesNumbers{u"120", u""}, .foundAt = 120, .pastEnd = true}, {}, 121, u"http://h/120.jpg"},
      {"two digits within the list", {.text1 = u"60", .split = u"http://h/12.jpg"},
       {.found = SeriesNumbers{u"37", u""}, .foundAt = 37, .pastEnd = true}, {}, 38, u"http://h/37.jpg"},
      {"two numbers within the list", {.checkund = 1, .check2 = 1, .text1 = u"50", .combo3 = u"32"},
       {.found = SeriesNumbers{u"37", u"25"}, .foundAt = 37, .pastEnd = true}, {}, 38, u"http://h/37_25.jpg"},
      {"two numbers, three digits below 100: cut",
       {.checkund = 1, .check2 = 1, .text1 = u"100", .combo3 = u"64", .split = u"http://h/012_0c.jpg"},
       {.found = SeriesNumbers{u"057", u"39"}, .foundAt = 57, .pastEnd = true}, {}, 58, u"http://h/057_39.jpg"},
      {"the copied item is the end", {.text1 = u"100", .split = u"http://h/012.jpg"}, {.pastEnd = true}, {}, 13,
       u"http://h/012.jpg"},
      {"none of the list exists", {.text1 = u"60"}, {.pastEnd = true}, {u"一覧のURLは見つかりませんでした"}, -1, u""},
      {"a failure within the list", {.text1 = u"100", .split = u"http://h/012.jpg"},
       {.failure = denied, .pastEnd = true}, {u"続きを探せませんでした\nHTTP 403\nhttp://h/18.jpg"}, -1, u""},
      {"at the limit, typed: asked", {.text1 = u"99"}, {}, {u"続きは見つかりませんでした"}, -1, u""},
      {"a failure before any", {.text1 = u"12"}, {.failure = denied},
       {u"続きを探せませんでした\nHTTP 403\nhttp://h/18.jpg"}, -1, u""},
      {"nothing found", {.text1 = u"12"}, {}, {u"続きは見つかりませんでした"}, -1, u""},
      {"cancelled", {.text1 = u"12"}, {.cancelled = true}, {}, -1, u""},
      {"at the limit already", {.text1 = u"99", .split = u"http://h/99.jpg"}, {}, {u"続きは見つかりませんでした"}, -1,
       u"", 0},
      {"no number ticked", {.check3 = 1, .check1 = 0, .text1 = u"12"}, {},
       {u"チェックが入っていません", u"続きを探せる番号がありません"}, -1, u"", 0},
      {"a check stops it", {.text1 = u"", .combo3 = u""}, {}, {u"テキスト未入力です"}, -1, u"", 0},
  };
  for (const auto& c : cases) {
    ModelProgram p;
    Fill(p, c.fields);
    CannedRunner runner;
    runner.result = c.result;
    FindSeriesCommand(p.program, runner);
    EXPECT_EQ(p.platform.MessageTexts(), c.messages) << c.name;
    EXPECT_EQ(runner.runs, c.runs) << c.name;
    if (c.items == -1) {
      EXPECT_EQ(p.window.text1.GetText(), c.fields.text1) << c.name;
      EXPECT_TRUE(p.window.urllist.Items().empty()) << c.name;
    } else {
      ASSERT_EQ(p.window.urllist.Count(), c.items) << c.name;
      EXPECT_EQ(p.window.urllist.Items().back(), c.lastItem) << c.name;
      EXPECT_EQ(p.window.urltxt.GetText(), kUrlPrompt) << c.name;
    }
  }
}

TEST(FindSeriesCommand, AURLCopiedMeanwhileKeepsItsFields) {
  ModelProgram p;
  Fill(p, {.text1 = u"12"});
  CannedRunner runner;
  runner.result.found = SeriesNumbers{u"40", u""};
  runner.meanwhile = [&p] { p.window.urltxt.SetText(u"http://other/"); };
  FindSeriesCommand(p.program, runner);
  EXPECT_EQ(runner.firstUrl, u"http://h/13.jpg");
  EXPECT_EQ(p.window.text1.GetText(), u"12");
  EXPECT_TRUE(p.window.urllist.Items().empty());
  EXPECT_TRUE(p.platform.messages.empty());
}

}  // namespace
}  // namespace velnor::testing
