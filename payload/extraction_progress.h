// How far an extraction is, told to whoever shows it (the install runner's
// bar) and a chance for that caller to keep its windows answering.
#pragma once

#include <cstdint>

namespace ovsetup::payload {

class ExtractionProgress {
 public:
  virtual ~ExtractionProgress() = default;
  // Called after each piece of work (at most a copy buffer's worth): `done`
  // of `total` units, both in bytes; `done` never falls and `total` stays
  // the same through one extraction. A successful extraction ends with
  // done == total. Must not call back into the extraction.
  virtual void Advance(std::uint64_t done, std::uint64_t total) = 0;
};

}  // namespace ovsetup::payload
