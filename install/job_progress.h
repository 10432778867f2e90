// How far one install job is, for the one bar that shows it: the payload's
// extraction and the copies after it fill one total, each by what it costs
// in time.
#pragma once

#include <cstdint>

#include "payload/extraction_progress.h"
#include "platform/file_ops.h"

namespace ovsetup::install {

class JobProgress : public payload::ExtractionProgress {
 public:
  // A job told to `shown` (none: nobody watches, and nothing is told) in
  // `parts` alike parts (AutoCAD's auto mode: one per folder, each the same
  // extraction and copies), each an extraction and then `copied_bytes` of
  // the setup's settings folders.
  JobProgress(payload::ExtractionProgress* shown, std::uint64_t copied_bytes, int parts = 1);

  // From the extraction of the current part: `done` of its `total`.
  void Advance(std::uint64_t done, std::uint64_t total) override;

  // Pieces of the copies after the extraction: each call's bytes count as
  // work of the current part.
  platform::CopyPieces Copied();
  // Pieces of a step that costs next to nothing (removals, comparisons,
  // local copies): each call only lets the windows answer.
  platform::CopyPieces Ticks();

  // The job has `parts` parts (set before the first report).
  void SetParts(int parts) { parts_ = parts > 1 ? parts : 1; }
  // The current part is over; the next one starts.
  void NextPart();
  // The job has succeeded: the bar stands at its end.
  void Finish();

 private:
  void Show();

  payload::ExtractionProgress* shown_;
  std::uint64_t copied_bytes_;
  std::uint64_t parts_;
  std::uint64_t part_ = 0;
  std::uint64_t extraction_total_ = 0;  // settled by the first extraction's first report
  std::uint64_t extraction_done_ = 0, copied_done_ = 0;
  std::uint64_t shown_done_ = 0;
};

}  // namespace ovsetup::install
