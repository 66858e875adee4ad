#pragma once
// A transfer's part file: "<name>.part" beside the file it becomes, written a buffer at a
// time and put in place by a rename through the handle it was written with. The writes go
// through a seam, so that a test can hold one and see that nothing else waits for it.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "base/text.h"

namespace velnor {

class PartWrites {
 public:
  virtual ~PartWrites() = default;
  // All `size` bytes at the file's position; false when they could not be written.
  virtual bool Write(HANDLE file, const void* data, DWORD size) = 0;
};

// The system's WriteFile.
PartWrites& SystemPartWrites();

// The size of the file at `path`, nothing when there is none (or it is a folder).
std::optional<uint64_t> PartSizeOnDisk(const String& path);

// The part's bytes from `from` to `to` (exclusive); empty when they cannot all be read.
std::string ReadPartBytes(const String& path, uint64_t from, uint64_t to);

// The part opened for writing at `start`: an existing one at least that long is cut there
// (append; none is made, nor one lengthened), or it is made empty (start 0). Others may read and delete it meanwhile, never write it; DELETE access lets
// a whole part be renamed through this handle. INVALID_HANDLE_VALUE when it cannot be.
HANDLE OpenPartForWriting(const String& path, uint64_t start);

}  // namespace velnor
