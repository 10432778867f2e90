// How far an extraction is, told to whoever shows it (the install runner's
// bar) and a chance for that caller to keep its windows answering.
#pragma once

#include <cstdint>

namespace ovsetup::payload {

class ExtractionProgress {
 public:
  virtual ~ExtractionProgress() = default;
  // Called after each piece of work, and between files of a step that costs
  // next to nothing (a removal, a rename, a second name), so that the caller
  // keeps its windows answering: `done` of `total` units, both in bytes;
  // `done` never falls. The units are what the work costs in time: the
  // bytes of the payload's entries passed while staging (each header, then
  // each body piece of at most 512000 bytes as it is read; a skipped entry
  // of a setup without an integrity record at once, unread), and a
  // compressed body's decoded bytes as they are written (those of the
  // second decoder's batch when it is collected); none for a
  // removal or a rename. `total` is settled before the first call and
  // grows only by a copy the commit has to make of an existing target (a
  // volume without second names): by its bytes, told as they are copied. A
  // successful extraction ends with done == total (an empty payload calls
  // nothing). `total` is 0 while it is not known (a plan that failed, its
  // payload read whole to tell damage from a faulty table). Must not call
  // back into the extraction.
  virtual void Advance(std::uint64_t done, std::uint64_t total) = 0;
};

}  // namespace ovsetup::payload
