#include "install/job_progress.h"

#include <algorithm>

namespace ovsetup::install {

JobProgress::JobProgress(payload::ExtractionProgress* shown, std::uint64_t copied_bytes, int parts)
    : shown_(shown), copied_bytes_(copied_bytes), parts_(parts > 1 ? parts : 1) {}

void JobProgress::Advance(std::uint64_t done, std::uint64_t total) {
  // The first extraction settles a part's share; a later one (the same
  // payload) grows it only by what its commit had to copy.
  extraction_total_ = std::max(extraction_total_, total);
  extraction_done_ = done;
  Show();
}

platform::CopyPieces JobProgress::Copied() {
  return [this](std::uint64_t bytes) {
    copied_done_ += bytes;
    Show();
  };
}

platform::CopyPieces JobProgress::Ticks() {
  return [this](std::uint64_t) { Show(); };
}

void JobProgress::NextPart() {
  ++part_;
  extraction_done_ = copied_done_ = 0;
}

void JobProgress::Finish() {
  const std::uint64_t total = parts_ * (extraction_total_ + copied_bytes_);
  shown_done_ = total;
  if (shown_ != nullptr) shown_->Advance(total, total);
}

// Told as bytes of the whole job: every part weighs the same; the bar never
// goes back, and within a part it ends only when the job does.
void JobProgress::Show() {
  if (shown_ == nullptr) return;
  const std::uint64_t part_total = extraction_total_ + copied_bytes_;
  const std::uint64_t total = parts_ * part_total;
  const std::uint64_t in_part =
      std::min(extraction_done_ + std::min(copied_done_, copied_bytes_), part_total);
  shown_done_ = std::max(shown_done_, part_ * part_total + in_part);
  const std::uint64_t done = std::min(shown_done_, total == 0 ? 0 : total - 1);
  shown_->Advance(done, total);
}

}  // namespace ovsetup::install
