// Extraction of the payload appended to the setup executable.
#pragma once

#include <string>

#include "payload/extraction_progress.h"
#include "payload/payload_walk.h"

namespace ovsetup::payload {

// Which entries an extraction writes.
enum class Selection {
  kAll,            // every entry but "MXDriver"; "Contour" into the Windows folder
  kDriverSubset,   // only "MXDriver", "QVTDriver", "QVTDriver\amd64", "QVTDriver\x86"
};

// Where an extraction writes an entry of `folder` (the bytes before the
// entry's last "\"): under the target, into the Windows folder by file name
// alone, or nowhere.
enum class Destination { kSkip, kUnderTarget, kWindowsFolder };
Destination Route(const std::string& folder, Selection selection);

// The payload held by one file (in the setup: the running executable).
// Holds only the path; every call opens and closes the file itself.
class PayloadArchive {
 public:
  explicit PayloadArchive(std::string payload_file) : payload_file_(std::move(payload_file)) {}

  // Writes every entry but the serial-port driver kit under `target` (a
  // folder that exists and ends with "\"); "Contour" entries go into the
  // Windows folder by file name. 1 on success, 0 on the first failure;
  // entries written before it stay.
  int ExtractAll(const std::string& target) const;

  // Writes only the four driver folders' entries under `target`. 1 or 0 as
  // ExtractAll.
  int ExtractDriverSubset(const std::string& target) const;

  // The extraction behind both, with where and why it stopped. `progress`,
  // when given, is told how far it is after each piece.
  WalkResult Extract(const std::string& target, Selection selection,
                     ExtractionProgress* progress = nullptr) const;

 private:
  std::string payload_file_;
};

}  // namespace ovsetup::payload
