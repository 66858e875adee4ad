#pragma once
// Every allocation of a benchmark's process is counted, so that the peak memory of one step
// can be read. It replaces operator new: include it in the one source file of a benchmark.
#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace velnor::bench {

inline std::atomic<size_t> allocated{0};
inline std::atomic<size_t> peak{0};

inline void* Allocate(size_t size) {
  // A size header in front of the block, so that the delete knows what it frees.
  auto* block = static_cast<size_t*>(std::malloc(size + sizeof(std::max_align_t)));
  if (!block) throw std::bad_alloc();
  *block = size;
  const size_t now = allocated += size;
  size_t high = peak.load();
  while (now > high && !peak.compare_exchange_weak(high, now)) {
  }
  return reinterpret_cast<char*>(block) + sizeof(std::max_align_t);
}

inline void Free(void* pointer) {
  if (!pointer) return;
  auto* block = reinterpret_cast<size_t*>(static_cast<char*>(pointer) - sizeof(std::max_align_t));
  allocated -= *block;
  std::free(block);
}

// The highest the process's memory went above what it held when this was made.
class PeakAbove {
 public:
  PeakAbove() : before_(allocated.load()) { peak = before_; }
  size_t Bytes() const { return peak.load() - before_; }

 private:
  size_t before_;
};

}  // namespace velnor::bench

void* operator new(size_t size) { return velnor::bench::Allocate(size); }
void* operator new[](size_t size) { return velnor::bench::Allocate(size); }
void operator delete(void* pointer) noexcept { velnor::bench::Free(pointer); }
void operator delete[](void* pointer) noexcept { velnor::bench::Free(pointer); }
void operator delete(void* pointer, size_t) noexcept { velnor::bench::Free(pointer); }
void operator delete[](void* pointer, size_t) noexcept { velnor::bench::Free(pointer); }
