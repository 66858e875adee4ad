// Splitting a copied URL into the fields, for URLs of 100 B, 100 KB and 5 MB whose file ends
// in a three-digit number of 100 or more ("p999.jpg", 1000 items to prove): the time of one
// split, and its peak memory above what the window held before, also in copies of the URL.
// The cost must follow the URL's length only, never its length times the items.
#include <benchmark/benchmark.h>

#include "allocation_peak.h"
#include "expand/url_split.h"
#include "model_program.h"

namespace velnor {
namespace {

String UrlOfSize(size_t size) {
  const String head = u"http://example.com/";
  const String tail = u"/p999.jpg";
  String url = head;
  url.reserve(size);
  for (size_t i = 0; url.size() + tail.size() < size; ++i) url.push_back(static_cast<char16_t>(u'a' + i % 26));
  return url + tail;
}

void SplitCopiedUrlOfSize(benchmark::State& state) {
  const String url = UrlOfSize(static_cast<size_t>(state.range(0)));
  size_t highest = 0;
  for (auto _ : state) {
    state.PauseTiming();
    testing::ModelProgram m;
    m.window.urltxt.SetText(url);
    const bench::PeakAbove memory;
    state.ResumeTiming();
    const bool split = SplitUrl(m.program, true);
    state.PauseTiming();
    if (!split) state.SkipWithError("the URL did not split");
    highest = std::max(highest, memory.Bytes());
    state.ResumeTiming();
  }
  const double urlBytes = static_cast<double>(url.size() * sizeof(char16_t));
  state.counters["url_MB"] = urlBytes / 1e6;
  state.counters["peak_MB"] = static_cast<double>(highest) / 1e6;
  state.counters["peak_in_urls"] = static_cast<double>(highest) / urlBytes;
}
BENCHMARK(SplitCopiedUrlOfSize)
    ->Arg(100)
    ->Arg(100 << 10)
    ->Arg(5 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace velnor

BENCHMARK_MAIN();
