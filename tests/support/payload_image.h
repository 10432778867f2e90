// Builds payload files byte by byte, including malformed ones.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "payload/compression_record.h"
#include "platform/setup_file.h"

namespace ovsetup::testing {

// An executable-like prefix followed by entries, an offset table and N.
class PayloadImage {
 public:
  explicit PayloadImage(std::size_t prefix_size = 1000) : bytes_(prefix_size, 'M') {}

  // Appends an entry: `header` (cut or padded to 400 bytes with `filler`)
  // and `body`. Returns its index.
  std::size_t Add(const std::string& path, const std::string& body, char filler = '\0');
  // Appends an entry whose header is `raw` exactly (400 bytes expected).
  std::size_t AddRawHeader(const std::string& raw, const std::string& body);

  // The offsets the table will hold (entries' starts, then the end marker);
  // tests may edit them before Finish.
  std::vector<std::uint32_t>& offsets() { return offsets_; }

  // The finished file: entries, the offsets plus an end marker at the end of
  // the entries, then N (`count` overrides the true count).
  std::string Finish();
  std::string Finish(std::uint32_t count);

 private:
  std::string bytes_;
  std::vector<std::uint32_t> offsets_;
};

// Where SignAsPe puts the PE headers: "PE\0\0" at kPeAt (e_lfanew), the
// optional header at kPeOptionalAt.
constexpr std::size_t kPeAt = 0x80;
constexpr std::size_t kPeOptionalAt = kPeAt + 24;

// `setup` (whose prefix must hold the headers: 0x1B0 bytes) with PE32 or
// PE32+ headers written over its prefix and a certificate table of
// `table_size` bytes appended, named by the security directory: a setup as
// a signing tool leaves it.
std::string SignAsPe(std::string setup, bool pe32_plus, std::size_t table_size);

// Where WithIntegrityRecord ends the image and puts the record.
constexpr std::size_t kRecordedImageEnd = 0x300;

// `setup` (whose prefix must reach past kRecordedImageEnd + 28 bytes) with
// PE32 headers of one section ending at kRecordedImageEnd written over its
// prefix and the integrity record of its payload after that section, as
// "ovpack build" writes it. SignAsPe(..., false, ...) may follow.
//
// With `codings` (one per entry, the bodies already compressed as they
// say), the record's version is the compressed one and the compression
// record follows it, as "ovpack build --compress" writes them; the prefix
// must then reach past them too.
std::string WithIntegrityRecord(std::string setup,
                                const std::vector<payload::EntryCoding>& codings = {});

// The setup file `path` opened for one run, as setup.exe opens itself; it
// stays open while the returned owner lives.
std::unique_ptr<platform::SetupFile> HeldSetup(const std::string& path);

}  // namespace ovsetup::testing
