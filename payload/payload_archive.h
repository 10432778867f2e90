// Extraction of the payload appended to the setup executable.
#pragma once

#include <memory>
#include <string>
#include <vector>

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

// The payload held by one file (in the setup: the running executable),
// read through the one open file of the run: every extraction reads the
// file that was opened, whatever is renamed over its path meanwhile.
class PayloadArchive {
 public:
  // Reads `setup`, which the caller keeps open while the archive lives. A
  // `setup` that is not open makes every extraction fail (kCannotOpen).
  explicit PayloadArchive(const platform::SetupFile& setup) : setup_(setup) {}
  // Opens `payload_file` once, here, and holds it for the archive's life
  // (the tools).
  explicit PayloadArchive(const std::string& payload_file);

  // Writes every entry but the serial-port driver kit under `target` (a
  // folder that exists and ends with "\"); "Contour" entries go into the
  // Windows folder by file name. 1 on success, 0 on failure, which leaves
  // every existing file as it was (Extract).
  int ExtractAll(const std::string& target) const;

  // Writes only the four driver folders' entries under `target`. 1 or 0 as
  // ExtractAll.
  int ExtractDriverSubset(const std::string& target) const;

  // The extraction behind both, all or nothing, with where and why it
  // stopped:
  //  1. reads every entry's header and checks the entries as the walk does,
  //     then that no path it writes (nor its temporary name, nor a path of
  //     `also_replaced`) passes 259 characters, that no folder it writes
  //     (the target, the folders below it that entries go to, the Windows
  //     folder) is a link a user without rights could have laid
  //     (platform::IsTrustedLink), and that each volume it writes has room
  //     for the bodies (whole 4 KiB clusters) and 1 MiB, `target`'s volume
  //     also for `also_written` bytes (what the caller writes there
  //     afterwards); a volume nothing is written to is not asked;
  //  2. removes the temporary files a stopped run left in the folders it
  //     writes, then stages each written entry under a temporary name in its
  //     target's folder (payload/staged_files.h) in one pass over the
  //     payload, hashing it there when the setup has an integrity record;
  //  3. after a hash that matches, checks that every existing target and
  //     every file of `also_replaced` (files the caller replaces after a
  //     successful extraction) can be replaced;
  //  4. puts the staged files in place by renames, with a way back.
  // Any fault removes what it staged and the folders it made and leaves
  // every existing file as it was; a stopped process leaves each target
  // whole, with its old content or its new one. A setup that fails its
  // record reports damage, whatever else its table holds. `progress`, when
  // given, is told of every piece read and every file removed or put in
  // place (extraction_progress.h).
  WalkResult Extract(const std::string& target, Selection selection,
                     ExtractionProgress* progress = nullptr,
                     const std::vector<std::string>& also_replaced = {},
                     std::uint64_t also_written = 0) const;

 private:
  std::unique_ptr<platform::SetupFile> owned_;  // when opened here
  const platform::SetupFile& setup_;
};

}  // namespace ovsetup::payload
