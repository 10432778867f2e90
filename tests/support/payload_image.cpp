#include "tests/support/payload_image.h"

#include "payload/payload_format.h"

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

}  // namespace ovsetup::testing
