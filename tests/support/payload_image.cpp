#include "tests/support/payload_image.h"

#include "payload/integrity_record.h"
#include "payload/payload_format.h"
#include "payload/payload_hash.h"

namespace ovsetup::testing {

std::size_t PayloadImage::Add(const std::string& path, const std::string& body, char filler) {
  std::string header = path.substr(0, payload::kHeaderSize);
  if (header.size() < payload::kHeaderSize) header += '\0';
  header.resize(payload::kHeaderSize, filler);
  return AddRawHeader(header, body);
}

std::size_t PayloadImage::AddRawHeader(const std::string& raw, const std::string& body) {
  offsets_.push_back(static_cast<std::uint32_t>(bytes_.size()));
  bytes_ += raw;
  bytes_ += body;
  return offsets_.size() - 1;
}

std::string PayloadImage::Finish() { return Finish(static_cast<std::uint32_t>(offsets_.size() + 1)); }

std::string PayloadImage::Finish(std::uint32_t count) {
  std::vector<std::uint32_t> table = offsets_;
  table.push_back(static_cast<std::uint32_t>(bytes_.size()));  // end marker
  std::string file = bytes_;
  unsigned char le[4];
  for (std::uint32_t value : table) {
    payload::WriteLe32(le, value);
    file.append(reinterpret_cast<char*>(le), 4);
  }
  payload::WriteLe32(le, count);
  file.append(reinterpret_cast<char*>(le), 4);
  return file;
}

namespace {

void PutLe(std::string& file, std::size_t at, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) file[at + i] = static_cast<char>(value >> (8 * i));
}

}  // namespace

std::string SignAsPe(std::string setup, bool pe32_plus, std::size_t table_size) {
  const std::uint32_t table_at = static_cast<std::uint32_t>(setup.size());
  setup.replace(0, 2, "MZ");
  PutLe(setup, 0x3C, kPeAt, 4);
  setup.replace(kPeAt, 4, std::string("PE\0\0", 4));
  PutLe(setup, kPeAt + 20, pe32_plus ? 240 : 224, 2);                  // SizeOfOptionalHeader
  PutLe(setup, kPeOptionalAt, pe32_plus ? 0x20B : 0x10B, 2);           // Magic
  PutLe(setup, kPeOptionalAt + (pe32_plus ? 108 : 92), 16, 4);         // NumberOfRvaAndSizes
  const std::size_t entry = kPeOptionalAt + (pe32_plus ? 112 : 96) + 4 * 8;  // security
  PutLe(setup, entry, table_at, 4);
  PutLe(setup, entry + 4, static_cast<std::uint32_t>(table_size), 4);
  return setup + std::string(table_size, 'C');
}

std::string WithIntegrityRecord(std::string setup,
                                const std::vector<payload::EntryCoding>& codings) {
  setup = SignAsPe(setup, false, 0);  // the PE32 headers, no certificate table
  PutLe(setup, kPeAt + 6, 1, 2);      // NumberOfSections
  const std::size_t section = kPeOptionalAt + 224;
  PutLe(setup, section + 16, kRecordedImageEnd - 0x200, 4);  // SizeOfRawData
  PutLe(setup, section + 20, 0x200, 4);                      // PointerToRawData
  const auto* bytes = reinterpret_cast<const unsigned char*>(setup.data());
  const std::uint32_t count = payload::ReadLe32(bytes + setup.size() - 4);
  payload::IntegrityRecord record;
  if (!codings.empty()) {
    record.version = payload::kCompressedIntegrityVersion;
    std::vector<unsigned char> raw(payload::CompressionRecordSize(codings.size()));
    payload::EncodeCompressionRecord(codings, raw.data());
    setup.replace(kRecordedImageEnd + payload::kIntegrityRecordSize, raw.size(),
                  reinterpret_cast<const char*>(raw.data()), raw.size());
  }
  record.begin = payload::ReadLe32(bytes + setup.size() - 4 - 4 * count);
  record.end = static_cast<std::uint32_t>(setup.size());
  record.hash = payload::HashBytes(bytes + record.begin, record.end - record.begin);
  unsigned char raw[payload::kIntegrityRecordSize];
  payload::EncodeIntegrityRecord(record, raw);
  setup.replace(kRecordedImageEnd, sizeof raw, reinterpret_cast<const char*>(raw), sizeof raw);
  return setup;
}

std::unique_ptr<platform::SetupFile> HeldSetup(const std::string& path) {
  std::unique_ptr<platform::SetupFile> setup(new platform::SetupFile);
  (void)setup->Open(path);
  return setup;
}

}  // namespace ovsetup::testing
