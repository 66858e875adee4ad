// Reading the settings file at start-up and writing it at exit, for a file of 10 MB of blank
// lines after the program's sections (in code page 932, UTF-8 with its byte-order mark and
// UTF-16 LE): the time, and the peak memory above what was held before, also in copies of the
// file. The cost must follow the file's size, a few copies of it at most, never a record for
// every line.
#include <benchmark/benchmark.h>

#include "allocation_peak.h"
#include "base/cp932.h"
#include "model_program.h"
#include "settings/list_history.h"
#include "settings/portable_profile.h"
#include "settings/settings_file.h"

namespace velnor {
namespace {

constexpr size_t kFileBytes = 10 << 20;
const String kFolder = u"C:\\Velnor";

// Arg 0: code page 932, 1: UTF-8 with its byte-order mark, 2: UTF-16 LE.
std::string FileOfBlankLines(int64_t encoding) {
  const String sections = u"[チェック]\r\nCHECK1=1\r\n[サブフォルダ]\r\nSUBFOLDER1=写真/\r\n";
  String text = sections;
  const size_t unit = encoding == 2 ? 2 : 1;
  while ((text.size() + 2) * unit < kFileBytes) text += u"\r\n";
  if (encoding == 0) return cp932::Encode(text);
  if (encoding == 1) return "\xEF\xBB\xBF" + ToUtf8(text);
  std::string bytes = "\xFF\xFE";
  bytes.reserve(text.size() * 2 + 2);
  for (const char16_t c : text) bytes.append({static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)});
  return bytes;
}

void Report(benchmark::State& state, size_t fileBytes, size_t highest) {
  state.counters["file_MB"] = static_cast<double>(fileBytes) / 1e6;
  state.counters["peak_MB"] = static_cast<double>(highest) / 1e6;
  state.counters["peak_in_files"] = static_cast<double>(highest) / static_cast<double>(fileBytes);
}

void LoadSettingsOfBlankLines(benchmark::State& state) {
  const std::string file = FileOfBlankLines(state.range(0));
  size_t highest = 0;
  for (auto _ : state) {
    state.PauseTiming();
    {
      testing::ModelProgram m;
      MemoryProfile profile(kFolder);
      profile.files[SettingsFilePath(kFolder)].bytes = file;
      m.program.profile = &profile;
      const bench::PeakAbove memory;
      state.ResumeTiming();
      LoadSettings(m.program);
      state.PauseTiming();
      highest = std::max(highest, memory.Bytes());
      if (m.window.Combo2.Items() != std::vector<String>{u"写真/"}) state.SkipWithError("the file was not read");
    }
    state.ResumeTiming();
  }
  Report(state, file.size(), highest);
}

void SaveSettingsOfBlankLines(benchmark::State& state) {
  const std::string file = FileOfBlankLines(state.range(0));
  size_t highest = 0;
  for (auto _ : state) {
    state.PauseTiming();
    {
      testing::ModelProgram m;
      MemoryProfile profile(kFolder);
      profile.files[SettingsFilePath(kFolder)].bytes = file;
      m.program.profile = &profile;
      LoadSettings(m.program);
      UpdateHistoryLists(m.program);
      const bench::PeakAbove memory;
      state.ResumeTiming();
      const bool saved = SaveSettings(m.program);
      state.PauseTiming();
      highest = std::max(highest, memory.Bytes());
      if (!saved || profile.files.begin()->second.bytes.size() < file.size()) state.SkipWithError("not written");
    }
    state.ResumeTiming();
  }
  Report(state, file.size(), highest);
}

BENCHMARK(LoadSettingsOfBlankLines)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SaveSettingsOfBlankLines)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace velnor

BENCHMARK_MAIN();
