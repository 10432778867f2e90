// Rules a payload must follow beyond what the extractor checks itself, shared
// by "ovpack build" (to refuse) and "ovpack verify" (to report).
#pragma once

#include <set>
#include <string>

namespace ovsetup::ovpack {

// Tracks the folders that extraction has created so far, entry by entry, in
// archive order. Extraction makes only the last level of an entry's folder,
// so a folder's parent must already exist below the target.
class FolderOrderCheck {
 public:
  // Takes the next entry's folder (bytes before its last "\"). Returns an
  // empty string when the entry would extract, else why it would not.
  std::string Next(const std::string& folder);

 private:
  std::set<std::string> made_;  // folders created under the target so far
};

}  // namespace ovsetup::ovpack
