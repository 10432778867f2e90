#include "tools/ovpack/pack_builder.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "payload/compression_record.h"
#include "payload/integrity_record.h"
#include "payload/payload_format.h"
#include "payload/payload_hash.h"
#include "payload/signed_image.h"
#include "payload/stored_path_rules.h"
#include "platform/file_io.h"
#include "platform/filesystem_path.h"
#include "platform/text_codec.h"
#include "tools/ovpack/entry_encoder.h"
#include "tools/ovpack/pack_checks.h"

namespace fs = std::filesystem;

namespace ovsetup::ovpack {
namespace {

struct PlannedEntry {
  fs::path source;
  std::string shown;   // relative path in UTF-8 with "\" separators
  std::string stored;  // relative path as stored, in the target code page
  std::uint64_t size = 0;
  std::vector<unsigned char> packed;  // the compressed body; empty: stored as is

  std::uint64_t StoredSize() const { return packed.empty() ? size : packed.size(); }
};

// Lists `folder` (relative path `prefix`) into `entries`: its files first, in
// byte-wise order of their UTF-8 names, then each subfolder the same way.
bool Collect(const fs::path& folder, const std::string& prefix,
             std::vector<PlannedEntry>* entries, std::string* error) {
  std::error_code ec;
  std::vector<std::pair<std::string, fs::path>> files, folders;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path path = it->path();
    const std::string name = path.filename().u8string();
    const std::string shown = prefix.empty() ? name : prefix + "\\" + name;
    const fs::file_status status = fs::status(path, ec);  // links are followed
    if (ec) break;
    if (fs::is_directory(status)) folders.emplace_back(name, path);
    else if (fs::is_regular_file(status)) files.emplace_back(name, path);
    else {
      *error = shown + ": not a regular file";
      return false;
    }
  }
  if (ec) {
    *error = (prefix.empty() ? folder.u8string() : prefix) + ": cannot be listed: " + ec.message();
    return false;
  }
  std::sort(files.begin(), files.end());
  std::sort(folders.begin(), folders.end());
  for (const auto& [name, path] : files) {
    PlannedEntry entry;
    entry.source = path;
    entry.shown = prefix.empty() ? name : prefix + "\\" + name;
    entry.size = fs::file_size(path, ec);
    if (ec) {
      *error = entry.shown + ": cannot be read: " + ec.message();
      return false;
    }
    entries->push_back(std::move(entry));
  }
  for (const auto& [name, path] : folders)
    if (!Collect(path, prefix.empty() ? name : prefix + "\\" + name, entries, error)) return false;
  return true;
}

// Checks one planned entry against the format and fills in its stored path.
std::string CheckEntry(PlannedEntry* entry, unsigned code_page, FolderOrderCheck* order,
                       CaseTwinCheck* twins) {
  if (entry->size == 0) return "a file of zero bytes cannot be stored (an entry needs one body byte)";
  if (!platform::ConvertCodePage(entry->shown, platform::kCodePageUtf8, code_page, &entry->stored))
    return "the name cannot be encoded in code page " + std::to_string(code_page);
  // Converting the whole path keeps the separators; a 0x5C byte anywhere
  // else is a double-byte character's trail byte that readers would split at.
  std::size_t separators = 0, stored_separators = 0;
  for (char c : entry->shown) separators += c == '\\';
  for (char c : entry->stored) stored_separators += c == '\\';
  if (separators != stored_separators)
    return "the encoded name holds a 0x5C byte inside a character, which reads as a \"\\\"";
  if (const payload::PayloadFault rule = payload::CheckStoredPath(entry->stored);
      rule != payload::PayloadFault::kNone)
    return payload::DescribeFault(rule);
  if (entry->stored.size() > payload::kMaxPathLength)
    return "the stored path has " + std::to_string(entry->stored.size()) +
           " bytes; at most 399 fit in the header";
  if (std::string twin = twins->Next(entry->stored); !twin.empty()) return twin;
  const std::size_t slash = entry->stored.rfind('\\');
  return order->Next(slash == std::string::npos ? std::string() : entry->stored.substr(0, slash));
}

// Appends `size` bytes of `source` to `out`.
bool CopyFile(const fs::path& source, std::uint64_t size, std::ofstream& out) {
  std::ifstream in(source, std::ios::binary);
  std::vector<char> chunk(1 << 20);
  while (in && size > 0) {
    const std::size_t want = size < chunk.size() ? static_cast<std::size_t>(size) : chunk.size();
    in.read(chunk.data(), static_cast<std::streamsize>(want));
    if (static_cast<std::size_t>(in.gcount()) != want) return false;
    out.write(chunk.data(), static_cast<std::streamsize>(want));
    size -= want;
  }
  // The file must not have grown either: the size was fixed in the table.
  return size == 0 && in.peek() == std::ifstream::traits_type::eof() && out.good();
}

// True when `stub` already has a certificate table. Signing must come last:
// a stub's signature would neither cover the payload nor end the setup.
bool HasCertificateTable(const std::string& stub, std::uint64_t stub_size) {
  platform::InputFile file;
  return file.Open(platform::PathFromHost(stub)) &&
         payload::ReadSecurityDirectory(file, stub_size).size != 0;
}

// Where the stub's image ends (payload::ReadImageEnd), 0 when it is no PE
// image or cannot be read.
std::uint64_t ImageEnd(const std::string& stub, std::uint64_t stub_size) {
  platform::InputFile file;
  return file.Open(platform::PathFromHost(stub)) ? payload::ReadImageEnd(file, stub_size) : 0;
}

// Fills in the integrity record at `at` of the finished setup `out` (the
// same file as `out_path`), whose payload spans `begin` .. `end`.
bool WriteIntegrityRecord(const std::string& out, const fs::path& out_path, std::uint64_t at,
                          std::uint64_t begin, std::uint64_t end, std::uint32_t version) {
  payload::IntegrityRecord record;
  record.version = version;
  record.begin = static_cast<std::uint32_t>(begin);
  record.end = static_cast<std::uint32_t>(end);
  {
    platform::InputFile in;  // closed before the file is opened for writing
    if (!in.Open(platform::PathFromHost(out)) ||
        !payload::HashFileRange(in, begin, end, &record.hash))
      return false;
  }
  unsigned char raw[payload::kIntegrityRecordSize];
  payload::EncodeIntegrityRecord(record, raw);
  std::fstream file(out_path, std::ios::binary | std::ios::in | std::ios::out);
  file.seekp(static_cast<std::streamoff>(at));
  file.write(reinterpret_cast<const char*>(raw), sizeof raw);
  file.close();
  return file.good();
}

// Compresses every entry that shrinks (CompressEntry) and lists each one's
// coding; false with `error` set when a file cannot be read whole.
bool CompressEntries(const BuildOptions& options, std::vector<PlannedEntry>* entries,
                     std::vector<payload::EntryCoding>* codings, std::string* error) {
  for (std::size_t i = 0; i < entries->size(); ++i) {
    PlannedEntry& entry = (*entries)[i];
    if (options.progress)
      std::fprintf(stderr, "\r[%zu/%zu] compressing %s\033[K", i + 1, entries->size(),
                   entry.shown.c_str());
    std::vector<unsigned char> file(entry.size);
    std::ifstream in(entry.source, std::ios::binary);
    in.read(reinterpret_cast<char*>(file.data()), static_cast<std::streamsize>(file.size()));
    if (static_cast<std::uint64_t>(in.gcount()) != entry.size ||
        in.peek() != std::ifstream::traits_type::eof()) {
      *error = entry.shown + ": cannot be read whole (did it change while packing?)";
      return false;
    }
    payload::EntryCoding coding;
    coding.decoded_size = static_cast<std::uint32_t>(entry.size);
    if (entry.size <= UINT32_MAX && CompressEntry(file, &entry.packed))
      coding.coding = payload::Coding::kLzmaBranch;
    codings->push_back(coding);
  }
  if (options.progress) std::fprintf(stderr, "\n");
  return true;
}

// Zero bytes between the stub and the first entry that make a setup of
// `size` bytes a multiple of 8 long, so that signing appends its certificate
// table right after the offset count instead of padding first.
std::uint64_t SigningPadding(std::uint64_t size) { return (8 - size % 8) % 8; }

}  // namespace

bool BuildSetup(const BuildOptions& options, std::string* error) {
  std::vector<PlannedEntry> entries;
  std::error_code ec;
  const fs::path from = platform::FileSystemPath(options.from);
  if (!fs::is_directory(from, ec)) {
    *error = options.from + ": not a folder";
    return false;
  }
  if (!Collect(from, "", &entries, error)) return false;
  if (entries.size() > payload::kMaxEntries) {
    *error = entries[payload::kMaxEntries].shown + ": more than 599 files (" +
             std::to_string(entries.size()) + "); the payload holds at most 599 entries";
    return false;
  }
  FolderOrderCheck order;
  CaseTwinCheck twins(options.code_page);
  for (PlannedEntry& entry : entries) {
    const std::string problem = CheckEntry(&entry, options.code_page, &order, &twins);
    if (!problem.empty()) {
      *error = entry.shown + ": " + problem;
      return false;
    }
  }

  const fs::path stub = platform::FileSystemPath(options.stub);
  const fs::path out_path = platform::FileSystemPath(options.out);
  const std::uint64_t stub_size = fs::file_size(stub, ec);
  if (ec) {
    *error = options.stub + ": cannot read the stub: " + ec.message();
    return false;
  }
  if (HasCertificateTable(options.stub, stub_size)) {
    *error = options.stub + ": the stub already has a certificate table; sign the setup after "
             "building it, not the stub";
    return false;
  }
  // The integrity record goes right after a stub whose image ends the file,
  // where the setup looks for it; other stubs give a setup without one
  // ("ovpack verify" says so).
  const bool with_record = ImageEnd(options.stub, stub_size) == stub_size;
  if (options.compress && !with_record) {
    *error = options.stub + ": the stub's image does not end the file, so a setup built from it "
             "has no place for the records of a compressed payload; build without --compress";
    return false;
  }
  std::vector<payload::EntryCoding> codings;
  if (options.compress && !CompressEntries(options, &entries, &codings, error)) return false;
  std::vector<unsigned char> compression;  // the compression record
  if (options.compress) {
    compression.resize(payload::CompressionRecordSize(codings.size()));
    payload::EncodeCompressionRecord(codings, compression.data());
  }
  const std::uint64_t record_size =
      with_record ? payload::kIntegrityRecordSize + compression.size() : 0;
  std::uint64_t total = stub_size + record_size + 4 * (entries.size() + 2);
  for (const PlannedEntry& entry : entries) total += payload::kHeaderSize + entry.StoredSize();
  const std::uint64_t padding = SigningPadding(total);
  total += padding;
  if (total > UINT32_MAX) {
    *error = options.out + ": the setup would exceed 4 GiB; offsets are 32-bit";
    return false;
  }

  std::ofstream out(out_path, std::ios::binary | std::ios::trunc);
  bool ok = out.good() && CopyFile(stub, stub_size, out);
  if (!ok) *error = options.stub + ": cannot copy the stub into " + options.out;
  if (ok) {
    const char zeros[payload::kIntegrityRecordSize + 7] = {};  // the record, filled in last
    out.write(zeros, static_cast<std::streamsize>(record_size - compression.size()));
    out.write(reinterpret_cast<const char*>(compression.data()),
              static_cast<std::streamsize>(compression.size()));
    out.write(zeros, static_cast<std::streamsize>(padding));
  }
  std::vector<std::uint32_t> offsets;
  const std::uint64_t begin = stub_size + record_size + padding;
  std::uint64_t at = begin;
  for (std::size_t i = 0; ok && i < entries.size(); ++i) {
    const PlannedEntry& entry = entries[i];
    if (options.progress)
      std::fprintf(stderr, "\r[%zu/%zu] %s\033[K", i + 1, entries.size(), entry.shown.c_str());
    offsets.push_back(static_cast<std::uint32_t>(at));
    char header[payload::kHeaderSize] = {};
    entry.stored.copy(header, entry.stored.size());
    out.write(header, sizeof header);
    if (entry.packed.empty()) ok = CopyFile(entry.source, entry.size, out);
    else out.write(reinterpret_cast<const char*>(entry.packed.data()),
                   static_cast<std::streamsize>(entry.packed.size()));
    if (!ok) *error = entry.shown + ": cannot be read whole (did it change while packing?)";
    at += payload::kHeaderSize + entry.StoredSize();
  }
  if (options.progress) std::fprintf(stderr, "\n");
  if (ok) {
    offsets.push_back(static_cast<std::uint32_t>(at));  // end marker: start of the table
    offsets.push_back(static_cast<std::uint32_t>(offsets.size()));  // N
    std::vector<unsigned char> tail(4 * offsets.size());
    for (std::size_t i = 0; i < offsets.size(); ++i) payload::WriteLe32(&tail[4 * i], offsets[i]);
    out.write(reinterpret_cast<const char*>(tail.data()), static_cast<std::streamsize>(tail.size()));
    out.close();
    ok = out.good() &&
         (!with_record ||
          WriteIntegrityRecord(options.out, out_path, stub_size, begin, total,
                               options.compress ? payload::kCompressedIntegrityVersion
                                                : payload::kIntegrityVersion));
    if (!ok) *error = options.out + ": cannot be written";
  }
  if (!ok) {
    out.close();
    fs::remove(out_path, ec);
  }
  return ok;
}

}  // namespace ovsetup::ovpack
