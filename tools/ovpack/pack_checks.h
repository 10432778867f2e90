// Rules a payload must follow beyond what the extractor checks itself, shared
// by "ovpack build" (to refuse) and "ovpack verify" (to report).
#pragma once

#include <map>
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

// Finds stored paths that Windows takes for one file or folder although they
// are spelled differently: equal but for the case of ASCII letters (double-
// byte characters compare as they are). The extraction writes both, and the
// later one replaces the earlier.
class CaseTwinCheck {
 public:
  // `code_page` is that of the stored paths, for the texts.
  explicit CaseTwinCheck(unsigned code_page) : code_page_(code_page) {}

  // Takes the next entry's stored path. Returns an empty string when neither
  // it nor one of its folders is a case twin of an earlier entry's path or
  // folder, else a line naming the earlier spelling.
  std::string Next(const std::string& path);

 private:
  unsigned code_page_;
  std::map<std::string, std::string> seen_;  // folded path or folder -> first spelling
};

}  // namespace ovsetup::ovpack
