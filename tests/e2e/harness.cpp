#include "harness.h"

#include <cstdio>
#include <cstring>
#include <map>

namespace velnor::e2e {
namespace {

std::map<std::string, CaseFunction>& Registry() {
  static std::map<std::string, CaseFunction> cases;
  return cases;
}

}  // namespace

std::string Narrow(const std::wstring& text) { return ToUtf8(String(text.begin(), text.end())); }

std::wstring WindowsPath(const std::wstring& path) {
  std::wstring p = path;
  if (!p.empty() && p[0] == L'/') p = L"Z:" + p;
  for (auto& c : p) {
    if (c == L'/') c = L'\\';
  }
  return p;
}

const std::map<std::string, CaseFunction>& Cases() { return Registry(); }

// Appending step by step: GCC 12 warns falsely (-Wrestrict) about "x" + string + "x".
std::string Describe(const std::string& value) {
  std::string quoted(1, '"');
  quoted.append(value);
  quoted.push_back('"');
  return quoted;
}
std::string Describe(const String& value) { return Describe(ToUtf8(value)); }
std::string Describe(const std::wstring& value) { return Describe(Narrow(value)); }
std::string Describe(const char* value) { return Describe(std::string(value)); }

bool Context::Check(bool ok, const char* what, const char* file, int line) {
  if (!ok) Fail(file, line, what);
  return ok;
}

void Context::Fail(const char* file, int line, const std::string& message) {
  ++failures_;
  const char* base = std::strrchr(file, '/');
  std::printf("  FAILED %s:%d%s%s\n    %s\n", base ? base + 1 : file, line, scope_.empty() ? "" : " in ",
              scope_.c_str(), message.c_str());
  std::fflush(stdout);
}

CaseRegistrar::CaseRegistrar(const char* name, CaseFunction function) { Registry()[name] = function; }

}  // namespace velnor::e2e

