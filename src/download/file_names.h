#pragma once
// The names the downloaded files get in the chosen folder: taken from the URL, made safe for
// Windows, and numbered where two items would share one. Pure functions, safe on any thread.
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "base/text.h"

namespace velnor {

// A body is written to "<name>.part" until all of it has arrived.
constexpr StringView kPartSuffix = u".part";

// The longest name, in characters, a clash number " (n)" included.
constexpr size_t kMaxDownloadNameLength = 200;

// The last segment of the URL's path (after its last "/", before "?" and "#"),
// percent-decoded once as UTF-8 (left as written where the decoded bytes are not UTF-8),
// then made safe: control characters and \ / : * ? " < > | become "_", trailing dots and
// blanks go, a name longer than 200 characters is shortened to 200 (keeping its extension)
// and loses the dots and blanks that then end it, an empty name becomes "download", and a
// reserved device name (CON, COM1, ... in any case, with or without an extension) gets "_"
// in front. The name that comes out passes all of these rules at once.
String DownloadFileName(StringView url);

// DownloadFileName of every URL, with " (2)", " (3)", ... before the extension of the
// later ones of names that compare equal ignoring case (as Windows compares them; a name
// of 200 characters is shortened before its extension to make room for the number), in list
// order, so that the same list always maps to the same names. No name is another's part
// ("x.part" beside "x").
std::vector<String> AssignFileNames(const std::vector<String>& urls);

// The same one URL after another, for a list named as far as it is needed.
class FileNamer {
 public:
  String Next(StringView url);

 private:
  bool Take(const String& name);

  // Every name taken, and its part, folded as Windows compares names.
  std::unordered_set<String> taken_;
  // The next number to try for each name that clashed, so a long run of one name stays
  // linear.
  std::unordered_map<String, int> nextNumber_;
};

}  // namespace velnor
