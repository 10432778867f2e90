// Checks of a release beyond what the payload format allows: that the
// installs find the files they name, and that every stored path still fits
// Windows' 259 characters below the folders the installs write to. Findings
// are warnings, as a release may leave out a plug-in on purpose; "ovpack
// build" and "ovpack verify" make them errors with --strict.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace ovsetup::ovpack {

// Collects a payload's stored paths, then tells what the release lacks.
class ReleaseCheck {
 public:
  // `code_page` is that of the stored paths.
  explicit ReleaseCheck(unsigned code_page) : code_page_(code_page) {}

  // Takes the next entry's stored path (bytes of the code page, "\" between
  // folders). Notes it when it would pass 259 characters below the folder
  // of an install that writes it.
  void Add(const std::string& stored_path);

  // One line per install that misses files, naming the install and each
  // missing stored path (with the variants that need it), then the lines of
  // the paths too long; empty when the release has neither.
  std::vector<std::string> Findings() const;

 private:
  unsigned code_page_;
  std::set<std::string> stored_;          // folded as Windows compares names
  std::vector<std::string> long_paths_;  // one line per path too long
};

// Runs the checks over the setup at `path` (named `file` in the texts) and
// prints each finding on stderr as "ovpack: FILE: warning: ..." (strict:
// "error:"). True when nothing was found or `strict` is off; a payload that
// cannot be walked is the caller's to report and passes here.
bool ReportReleaseChecks(const std::string& file, const std::string& path, unsigned code_page,
                         bool strict);

}  // namespace ovsetup::ovpack
