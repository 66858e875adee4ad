// CopyAllItems on the model window and clipboard against building the same text directly and
// putting it on the clipboard, for a full result list; then the cost of CopyAllItems over list
// sizes, which must grow linearly.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "clipboard/clipboard_watcher.h"
#include "clipboard/copy_commands.h"
#include "model_clipboard.h"

namespace velnor::testing {
namespace {

constexpr int kFullList = 30001;

// URLs as the expansion makes them: one prefix, a subfolder, two running numbers.
void FillList(ListBox& list, int count) {
  list.Clear();
  list.ReserveItems(count);
  char buffer[96];
  for (int i = 0; i < count; ++i) {
    std::snprintf(buffer, sizeof buffer, "http://www.example.jp/gallery/sam/%03d_%02x.jpg",
                  i % 1000, i % 160);
    list.AddItem(FromUtf8(buffer));
  }
}

void BM_CopyAllItems(benchmark::State& state) {
  ClipboardModelProgram p;
  FillList(p.window.urllist, static_cast<int>(state.range(0)));
  InstallClipboardWatcher(p.program);
  for (auto _ : state) {
    CopyAllItems(p.program);
    benchmark::DoNotOptimize(p.clipboard.text.data());
  }
  state.SetComplexityN(state.range(0));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The least any copy can do: read every item once, append it and a line end, write the text.
void BM_BuildTextDirectly(benchmark::State& state) {
  ClipboardModelProgram p;
  FillList(p.window.urllist, static_cast<int>(state.range(0)));
  const ListBox& list = p.window.urllist;
  for (auto _ : state) {
    String text;
    text.reserve(static_cast<size_t>(list.Count()) * 48);
    for (int i = 0; i < list.Count(); ++i) {
      text += list.Item(i);
      text += u"\r\n";
    }
    p.clipboard.ReplaceText(text);
    benchmark::DoNotOptimize(p.clipboard.text.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_CopyAllItems)->Arg(kFullList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildTextDirectly)->Arg(kFullList)->Unit(benchmark::kMillisecond);
// The growth over list sizes up to the largest list the program can hold.
BENCHMARK(BM_CopyAllItems)
    ->Arg(1000)
    ->Arg(3001)
    ->Arg(10001)
    ->Arg(32767)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

// Keeps the time per iteration of each run, for the ratio printed at the end.
class RecordingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration) times[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
};

}  // namespace
}  // namespace velnor::testing

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  velnor::testing::RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  char copyName[64], directName[64];
  std::snprintf(copyName, sizeof copyName, "BM_CopyAllItems/%d", velnor::testing::kFullList);
  std::snprintf(directName, sizeof directName, "BM_BuildTextDirectly/%d",
                velnor::testing::kFullList);
  const auto copy = reporter.times.find(copyName);
  const auto direct = reporter.times.find(directName);
  if (copy != reporter.times.end() && direct != reporter.times.end() && direct->second > 0) {
    std::printf("CopyAllItems / direct on %d items: %.2f\n", velnor::testing::kFullList,
                copy->second / direct->second);
  }
  return 0;
}
