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
}

TEST(PlanSeries, TheItemsAfterTheList) {
  const struct {
    const char* name;
    Fields fields;
    String lastUrl;  // empty: refused
    String nextUrl;
    PlanRefusal refusal = PlanRefusal::kNoNumber;
  } cases[] = {
      {"two digits", {.text1 = u"12"}, u"http://h/12.jpg", u"http://h/13.jpg"},
      {"three digits", {.check3 = 1, .text1 = u"120"}, u"http://h/s/120.jpg", u"http://h/s/121.jpg"},
      {"99 is the end of two digits", {.text1 = u"99"}, u"", u"", PlanRefusal::kAtLimit},
      {"999 is the end of three", {.text1 = u"999"}, u"", u"", PlanRefusal::kAtLimit},
      {"second number, 9 to a", {.check1 = 0, .check2 = 1, .combo3 = u"09"}, u"http://h/09.jpg", u"http://h/0a.jpg"},
      {"second number, f to the next ten", {.check1 = 0, .checkund = 1, .check2 = 1, .combo3 = u"1f"},
       u"http://h/_1f.jpg", u"http://h/_20.jpg"},
      {"9f is the end of the second", {.check1 = 0, .check2 = 1, .combo3 = u"9f"}, u"", u"", PlanRefusal::kAtLimit},
      {"both step together", {.checkund = 1, .check2 = 1, .text1 = u"37", .combo3 = u"25"}, u"http://h/37_25.jpg",
       u"http://h/38_26.jpg"},
      {"both, the first derived from the second", {.checkund = 1, .check2 = 1, .combo3 = u"1f"},
       u"http://h/31_1f.jpg", u"http://h/32_20.jpg"},
      {"both, one at its limit", {.checkund = 1, .check2 = 1, .text1 = u"99", .combo3 = u"63"}, u"", u"",
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
    EXPECT_EQ(planned.plan->Url(*NextNumbers(planned.plan->last)), c.nextUrl) << c.name;
    EXPECT_TRUE(p.window.urllist.Items().empty()) << c.name << ": the window is not touched";
  }
}

// The search on the model transport; the server answers by the item's number. Time moves
// in ticks of 100 ms while no request waits for its answer.
struct SearchRig {
  using Answers = std::vector<TransferResult>;  // one request after another; the last repeats
  SearchRig(String last, std::map<int, Answers> answers) : answers_(std::move(answers)) {
    plan.prefix = u"http://h/p";
    plan.first = true;
    plan.extension = u".jpg";
    plan.last.first = std::move(last);
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
      TransferResult result = Http(404);
      if (const auto found = answers_.find(number); found != answers_.end()) {
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
  const struct {
    const char* name;
    String last;
    std::map<int, SearchRig::Answers> answers;
    String found;  // empty: nothing found
    std::optional<SeriesFailure> failure{};
    int highestAsked = 0;
  } cases[] = {
      {"to 40 from 12", u"12", series, u"40", {}, 46},
      {"a gap of 4 goes on", u"12", Answering({{13, 19}, {24, 30}}), u"30", {}, 36},
      {"a gap of 5 ends", u"12", Answering({{13, 19}, {25, 30}}), u"19", {}, 25},
      {"pages are missing items", u"12", with(Answering({{13, 20}}), 21, {kPage}), u"20", {}, 26},
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
  };
  for (const auto& c : cases) {
    SearchRig rig(c.last, c.answers);
    rig.Run();
    EXPECT_FALSE(rig.search.Running()) << c.name;
    const SeriesSearchResult result = rig.search.Result();
    EXPECT_EQ(result.found ? result.found->first : u"", c.found) << c.name;
    EXPECT_EQ(result.failure, c.failure) << c.name;
    // In order from the item after the list; past the fifth missing item only what was under
    // way; every request a probe of the first KB with the download's Referer.
    const auto& requests = rig.transport.requests;
    ASSERT_FALSE(requests.empty()) << c.name;
    EXPECT_EQ(requests.front().url, u"http://h/p" + String(c.last == u"12" ? u"13" : u"96") + u".jpg") << c.name;
    int highest = 0;
    for (const TransferRequest& r : requests) {
      highest = std::max(highest, std::stoi(ToUtf8(r.url.substr(10, 2))));
      EXPECT_EQ(r.probeBytes, 1024u) << c.name;
      EXPECT_TRUE(r.partPath.empty() && r.finalPath.empty()) << c.name;
      EXPECT_EQ(r.referer, u"http://h/") << c.name;
    }
    EXPECT_LE(highest, c.highestAsked) << c.name;
  }
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
  rig.Run(5);
  EXPECT_FALSE(rig.search.Running());
  EXPECT_TRUE(rig.search.Result().cancelled);
  EXPECT_EQ(rig.transport.cancelAllCalls, 1);
  EXPECT_EQ(rig.search.Asked(), 5);  // the answers heard
}

// The command with a runner that answers at once; the search itself is tested above.
struct CannedRunner : SeriesSearchRunner {
  SeriesSearchResult Run(const SeriesPlan& plan, const DownloadOptions&) override {
    ++runs;
    firstUrl = plan.Url(*NextNumbers(plan.last));
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
      {"found", {.text1 = u"12"}, {.found = SeriesNumbers{u"40", u""}}, {}, 41, u"http://h/40.jpg"},
      {"two numbers found", {.checkund = 1, .check2 = 1, .text1 = u"12", .combo3 = u"0c"},
       {.found = SeriesNumbers{u"37", u"25"}}, {}, 38, u"http://h/37_25.jpg"},
      {"a failure after some found", {.text1 = u"12"}, {.found = SeriesNumbers{u"17", u""}, .failure = denied},
       {u"続きを探せませんでした\nHTTP 403\nhttp://h/18.jpg"}, 18, u"http://h/17.jpg"},
      {"a failure before any", {.text1 = u"12"}, {.failure = denied},
       {u"続きを探せませんでした\nHTTP 403\nhttp://h/18.jpg"}, -1, u""},
      {"nothing found", {.text1 = u"12"}, {}, {u"続きは見つかりませんでした"}, -1, u""},
      {"cancelled", {.text1 = u"12"}, {.cancelled = true}, {}, -1, u""},
      {"at the limit already", {.text1 = u"99"}, {}, {u"続きは見つかりませんでした"}, -1, u"", 0},
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
