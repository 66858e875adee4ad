// Prints how Windows writes every UTF-16 code unit in code page 932, as WideCharToMultiByte
// gives it, for the code page table test (tests/unit/data/cp932_windows.txt). Built with
// mingw-w64 and run once under Wine by scripts/cp932-windows-table.sh.
//
// One line per run of code units that Windows writes as consecutive byte values and reads back
// as the same code units: "first-code-unit first-bytes count" in hexadecimal (count 1 left out).
// A code unit that Windows writes as another character's bytes (a best fit, not read back as
// itself) stands on a line of its own ending in " fit". Code units below 0x80 and those written
// as the default character "?" are left out.
#include <windows.h>

#include <cstdio>

namespace {

struct Written {
  unsigned bytes = 0;  // one or two bytes, the first one high
  bool fit = false;
};

bool WriteOne(wchar_t c, Written& out) {
  char buffer[4] = {};
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(932, 0, &c, 1, buffer, sizeof buffer, nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return false;
  out.bytes = n == 1 ? static_cast<unsigned char>(buffer[0])
                     : (static_cast<unsigned char>(buffer[0]) << 8) | static_cast<unsigned char>(buffer[1]);
  wchar_t back[4] = {};
  const int m = MultiByteToWideChar(932, 0, buffer, n, back, 4);
  out.fit = !(m == 1 && back[0] == c);
  return true;
}

}  // namespace

int main() {
  std::printf("# code page 932 as WideCharToMultiByte writes it\n");
  unsigned runStart = 0, runBytes = 0, runCount = 0;
  auto flush = [&] {
    if (runCount == 0) return;
    if (runCount == 1) {
      std::printf("%04X %X\n", runStart, runBytes);
    } else {
      std::printf("%04X %X %X\n", runStart, runBytes, runCount);
    }
    runCount = 0;
  };
  for (unsigned c = 0x80; c <= 0xFFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    Written w;
    if (!WriteOne(static_cast<wchar_t>(c), w)) {
      flush();
      continue;
    }
    if (w.fit) {
      flush();
      std::printf("%04X %X fit\n", c, w.bytes);
      continue;
    }
    if (runCount > 0 && c == runStart + runCount && w.bytes == runBytes + runCount &&
        (w.bytes >> 8) == (runBytes >> 8)) {
      ++runCount;
      continue;
    }
    flush();
    runStart = c;
    runBytes = w.bytes;
    runCount = 1;
  }
  flush();
  return 0;
}
