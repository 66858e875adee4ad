#pragma once
// A small test harness for the Win32 end-to-end cases: cases register themselves by name,
// checks record failures with their place and go on; main runs the cases named on the
// command line (or all) and prints "N passed, N failed".
#include <windows.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "base/text.h"

namespace velnor::e2e {

struct Options {
  std::wstring exePath;   // Velnor.exe as built
  std::wstring workRoot;  // each case gets a folder of its own below it
  int expectedDpi = 0;    // when not 0: the screen must report this many dots per inch
};

std::string Describe(const String& value);
std::string Describe(const std::wstring& value);
std::string Describe(const char* value);
std::string Describe(const std::string& value);
template <typename T>
std::string Describe(const T& value) {
  std::ostringstream out;
  out << value;
  return out.str();
}
template <typename T>
std::string Describe(const std::vector<T>& values) {
  std::string out = "[";
  for (size_t i = 0; i < values.size(); ++i) out += (i ? ", " : "") + Describe(values[i]);
  return out + "]";
}

class Context {
 public:
  Context(const Options& options, std::string caseName) : options_(options), caseName_(std::move(caseName)) {}
  const Options& options() const { return options_; }
  const std::string& caseName() const { return caseName_; }

  bool Check(bool ok, const char* what, const char* file, int line);
  template <typename A, typename B>
  bool CheckEq(const A& actual, const B& expected, const char* a, const char* b, const char* file, int line) {
    if (actual == expected) return true;
    Fail(file, line, std::string(a) + " == " + b + "\n    actual:   " + Describe(actual) +
                         "\n    expected: " + Describe(expected));
    return false;
  }
  void Fail(const char* file, int line, const std::string& message);
  // Extra words for the next failures (for example the row of a table being checked).
  void SetScope(std::string scope) { scope_ = std::move(scope); }
  int failures() const { return failures_; }

 private:
  const Options& options_;
  std::string caseName_;
  std::string scope_;
  int failures_ = 0;
};

using CaseFunction = void (*)(Context&);
const std::map<std::string, CaseFunction>& Cases();
std::string Narrow(const std::wstring& text);
// A Unix path given by the build (/work/...) names the same file through drive Z: under Wine.
std::wstring WindowsPath(const std::wstring& path);
struct CaseRegistrar {
  CaseRegistrar(const char* name, CaseFunction function);
};

}  // namespace velnor::e2e

#define E2E_CASE(name)                                                          \
  static void name(::velnor::e2e::Context& ctx);                                \
  static const ::velnor::e2e::CaseRegistrar name##_registrar(#name, name);      \
  static void name(::velnor::e2e::Context& ctx)

#define E2E_CHECK(cond) ctx.Check(static_cast<bool>(cond), #cond, __FILE__, __LINE__)
#define E2E_CHECK_EQ(actual, expected) ctx.CheckEq((actual), (expected), #actual, #expected, __FILE__, __LINE__)
// Stops the case when the check fails (later steps would only report follow-on faults).
#define E2E_REQUIRE(cond) \
  do { if (!E2E_CHECK(cond)) return; } while (0)
