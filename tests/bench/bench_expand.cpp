// The expand command on the model window for 30001 items (Text(1) = 3e4, the first sample),
// against a plain loop that builds the same 30001 strings into a vector; then GenerateUrlList
// over list sizes up to the largest list the program can hold, which must grow linearly.
#include <benchmark/benchmark.h>

#include <memory>

#include "base/numbers.h"
#include "expand/expand_command.h"
#include "expand/url_list.h"
#include "model_program.h"

namespace velnor {
namespace {

using testing::ModelProgram;

const String kUrl = u"http://www.example.com/gallery/";

void ExpandCommand(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto m = std::make_unique<ModelProgram>();
    auto& w = m->window;
    w.Option0.Select();
    w.List1.ClickItem(0);
    w.urltxt.SetText(kUrl);
    w.Combo2.SetText(u"sam/");
    w.Combo1.SetText(u".jpg");
    w.text1.SetText(u"3e4");
    w.Combo3.SetText(u"9f");
    state.ResumeTiming();
    RunExpandCommand(m->program);
    benchmark::DoNotOptimize(w.urllist.Count());
    state.PauseTiming();
    m.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(ExpandCommand)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

void PlainLoop(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<String> items;
    items.reserve(30001);
    static constexpr char16_t kHex[] = u"0123456789abcdef";
    for (int i = 0; i <= 30000; ++i) {
      String item = kUrl + u"sam/" + DecimalText(i) + u"_";
      if (i < 160) item += String{char16_t(u'0' + i / 16), kHex[i % 16]};
      item += u".jpg";
      items.push_back(std::move(item));
    }
    benchmark::DoNotOptimize(items.data());
  }
}
BENCHMARK(PlainLoop)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

// The second number alone takes its end from the size of List(2): filled here directly, it
// reaches sizes the three characters of Text(1) cannot.
void GenerateUrlListOverSizes(benchmark::State& state) {
  ModelProgram m;
  auto& w = m.window;
  w.Check2.SetValue(1);
  w.urltxt.SetText(kUrl);
  w.Combo1.SetText(u".jpg");
  for (int64_t n = 0; n < state.range(0); ++n) w.list2.AddItem(DecimalText(n));
  for (auto _ : state) {
    GenerateUrlList(m.program);
    benchmark::DoNotOptimize(w.urllist.Count());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(GenerateUrlListOverSizes)
    ->Arg(1000)
    ->Arg(3001)
    ->Arg(10001)
    ->Arg(30001)
    ->Arg(32767)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velnor

BENCHMARK_MAIN();
