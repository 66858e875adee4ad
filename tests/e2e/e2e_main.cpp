#include <cstdio>

#include "harness.h"

// velnor_e2e --exe PATH --work DIR [--dpi N] [--list] [CASE...]
int wmain(int argc, wchar_t** argv) {
  using namespace velnor::e2e;
  Options options;
  std::vector<std::string> names;
  bool list = false;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--exe" && i + 1 < argc) {
      options.exePath = WindowsPath(argv[++i]);
    } else if (arg == L"--work" && i + 1 < argc) {
      options.workRoot = WindowsPath(argv[++i]);
    } else if (arg == L"--dpi" && i + 1 < argc) {
      options.expectedDpi = _wtoi(argv[++i]);
    } else if (arg == L"--list") {
      list = true;
    } else {
      names.push_back(Narrow(arg));
    }
  }
  if (list) {
    for (const auto& [name, function] : Cases()) std::printf("%s\n", name.c_str());
    return 0;
  }
  if (options.exePath.empty() || options.workRoot.empty()) {
    std::printf("usage: velnor_e2e --exe Velnor.exe --work DIR [--dpi N] [CASE...]\n");
    return 2;
  }
  if (names.empty()) {
    for (const auto& [name, function] : Cases()) names.push_back(name);
  }
  int passed = 0;
  int failed = 0;
  for (const auto& name : names) {
    auto found = Cases().find(name);
    if (found == Cases().end()) {
      std::printf("unknown case %s\n", name.c_str());
      ++failed;
      continue;
    }
    std::printf("[ RUN  ] %s\n", name.c_str());
    std::fflush(stdout);
    Context ctx(options, name);
    const DWORD start = GetTickCount();
    found->second(ctx);
    const DWORD took = GetTickCount() - start;
    std::printf("[ %s ] %s (%lu ms)\n", ctx.failures() ? "FAIL" : " OK ", name.c_str(), static_cast<unsigned long>(took));
    std::fflush(stdout);
    (ctx.failures() ? failed : passed)++;
  }
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed ? 1 : 0;
}
