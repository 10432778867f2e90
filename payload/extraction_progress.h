// How far an extraction is, told to whoever shows it (the install runner's
// bar) and a chance for that caller to keep its windows answering.
#pragma once

#include <cstdint>

namespace ovsetup::payload {

class ExtractionProgress {
 public:
  virtual ~ExtractionProgress() = default;
  // Called after each piece of work: `done` of `total` units, both in
  // bytes; `done` never falls and `total` stays the same through one
  // extraction. The units: the bytes of the payload's entries passed while
  // staging (each header, then each body piece of at most 512000 bytes as it
  // is read; a skipped entry of a setup without an integrity record at once,
  // unread), then each staged file's size as it is put in place. A
  // successful extraction ends with done == total (an empty payload calls
  // nothing). Must not call back into the extraction.
  virtual void Advance(std::uint64_t done, std::uint64_t total) = 0;
};

}  // namespace ovsetup::payload
