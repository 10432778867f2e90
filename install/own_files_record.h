// The record of the setup's own files in a folder where the installs keep
// the user's files (kept_copy.h): the files an install of this setup put
// there, by name and the XXH3-64 hash of their content as installed. A file
// that still holds what the record lists for it is the setup's own, so an
// upgrade replaces it without a backup. Deleting the record is harmless:
// without one, every file that differs from the new one is kept.
//
// The record is the file kOwnFilesRecord in that folder, lines ending in
// CR LF:
//   "QVTSetup record 1"            tag and format version
//   "<16 hex digits> <name>"       one line per file, in name order
//   "end <16 hex digits>"          the hash of every byte before this line
// A missing or unreadable file, another tag or version, a line out of this
// form or an end line that does not hold (a record cut short) read as no
// record at all. Paths are in the ANSI code page with "\" as separator.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace ovsetup::install {

// The record's file name inside its folder.
constexpr char kOwnFilesRecord[] = "QVTSetup.rec";

class OwnFilesRecord {
 public:
  // The record in `folder` (ends with "\"); empty when there is none of
  // ours, whole and readable (see above).
  static OwnFilesRecord ReadFrom(const std::string& folder);

  // True when the file `path`, named `name` in the record's folder, holds
  // the content the record lists for `name`; false when `name` is not
  // listed or the file cannot be read.
  bool Holds(const std::string& name, const std::string& path) const;

  // Lists `name` with the content the file `path` holds now: call it right
  // after the install put the file there. A file that cannot be read takes
  // `name` off the record.
  void Take(const std::string& name, const std::string& path);

  // Writes the record into `folder` under kOwnFilesRecord + ".new" and
  // renames that over the old record, so that a stop at any point leaves
  // the old record or the new one. False when that failed; the old record
  // then stays.
  bool WriteTo(const std::string& folder) const;

 private:
  std::map<std::string, std::uint64_t> hashes_;
};

}  // namespace ovsetup::install
