#pragma once
// The names the downloaded files get in the chosen folder: taken from the URL, made safe for
// Windows, and numbered where two items would share one. Pure functions, safe on any thread.
#include <vector>

#include "base/text.h"

namespace velnor {

// A body is written to "<name>.part" until all of it has arrived.
constexpr StringView kPartSuffix = u".part";

// The longest name, in characters, before a clash suffix " (n)" is added.
constexpr size_t kMaxDownloadNameLength = 200;

// The last segment of the URL's path (after its last "/", before "?" and "#"),
// percent-decoded once as UTF-8 (left as written where the decoded bytes are not UTF-8),
// then made safe: control characters and \ / : * ? " < > | become "_", trailing dots and
// blanks go, a reserved device name (CON, COM1, ... in any case, with or without an
// extension) gets "_" in front, an empty name becomes "download", and a name longer than
// 200 characters is shortened to 200, keeping its extension.
String DownloadFileName(StringView url);

// DownloadFileName of every URL, with " (2)", " (3)", ... before the extension of the
// later ones of names that compare equal ignoring case (as Windows compares them), in list
// order, so that the same list always maps to the same names. No name is another's part
// ("x.part" beside "x").
std::vector<String> AssignFileNames(const std::vector<String>& urls);

}  // namespace velnor
