#include "payload/signed_image.h"

#include "payload/payload_format.h"

namespace ovsetup::payload {
namespace {

// On-disk layout of the headers read, as byte offsets.
constexpr std::size_t kDosHeaderSize = 64;
constexpr std::size_t kLfanewAt = 0x3C;          // e_lfanew: file offset of "PE\0\0"
constexpr std::size_t kPeSignatureSize = 4;
constexpr std::size_t kCoffHeaderSize = 20;
constexpr std::size_t kSectionCountAt = kPeSignatureSize + 2;   // NumberOfSections
constexpr std::size_t kOptionalSizeAt = kPeSignatureSize + 16;  // SizeOfOptionalHeader
constexpr std::size_t kOptionalAt = kPeSignatureSize + kCoffHeaderSize;
constexpr std::size_t kDirectoryEntrySize = 8;   // VirtualAddress, Size
constexpr std::size_t kSecurityEntry = 4;
constexpr std::size_t kStandardDirectories = 16;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kRawSizeAt = 16, kRawPointerAt = 20;  // SizeOfRawData, PointerToRawData
constexpr std::size_t kMaxSections = 96;                    // the most the loader takes

// Where the two optional header kinds keep NumberOfRvaAndSizes and the
// directories, from the start of the optional header.
struct OptionalLayout {
  std::uint16_t magic;
  std::size_t count_at;
  std::size_t directories_at;
  constexpr std::size_t SecurityEnd() const {
    return directories_at + (kSecurityEntry + 1) * kDirectoryEntrySize;
  }
};
constexpr OptionalLayout kPe32{0x10B, 92, 96};
constexpr OptionalLayout kPe32Plus{0x20B, 108, 112};

// The bytes from "PE\0\0" up to the end of the security entry of PE32+,
// the longer of the two.
constexpr std::size_t kNtWindow = kOptionalAt + kPe32Plus.SecurityEnd();

static_assert(kLfanewAt + 4 <= kDosHeaderSize, "e_lfanew lies in the DOS header");
static_assert(kSectionCountAt == 6 && kRawPointerAt + 4 <= kSectionHeaderSize,
              "NumberOfSections follows Machine; PointerToRawData lies in its section header");
static_assert(kOptionalAt == 24, "the optional header follows the signature and COFF header");
static_assert(kPe32.directories_at + kStandardDirectories * kDirectoryEntrySize == 224,
              "a PE32 optional header with 16 directories is 224 bytes");
static_assert(kPe32Plus.directories_at + kStandardDirectories * kDirectoryEntrySize == 240,
              "a PE32+ optional header with 16 directories is 240 bytes");
static_assert(kOptionalAt + kPe32.SecurityEnd() <= kNtWindow, "the window holds both kinds");
static_assert(kPe32.count_at + 4 == kPe32.directories_at &&
                  kPe32Plus.count_at + 4 == kPe32Plus.directories_at,
              "the directory count comes right before the directories");

std::uint16_t ReadLe16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

// Reads the bytes from "PE\0\0" on into `nt`, as far as the file holds them
// (at most kNtWindow); `nt_at` is their file offset, `have` their count.
// False unless the DOS and PE signatures are there and the COFF header and
// the optional header's magic lie inside the file.
bool ReadNtWindow(const ReadAt& read, std::uint64_t file_length, std::uint32_t* nt_at,
                  unsigned char (&nt)[kNtWindow], std::size_t* have) {
  unsigned char dos[kDosHeaderSize];
  if (file_length < sizeof dos || !read(0, dos, sizeof dos)) return false;
  if (dos[0] != 'M' || dos[1] != 'Z') return false;
  *nt_at = ReadLe32(dos + kLfanewAt);
  if (*nt_at >= file_length) return false;
  const std::uint64_t left = file_length - *nt_at;
  *have = left < kNtWindow ? static_cast<std::size_t>(left) : kNtWindow;
  if (*have < kOptionalAt + 2 || !read(*nt_at, nt, *have)) return false;
  return nt[0] == 'P' && nt[1] == 'E' && nt[2] == 0 && nt[3] == 0;
}

}  // namespace

CertificateTable ReadSecurityDirectory(const ReadAt& read, std::uint64_t file_length) {
  const CertificateTable none;
  // The window from "PE\0\0" on, cut at the end of the file; each field
  // below is checked to lie inside the bytes read.
  std::uint32_t nt_at = 0;
  unsigned char nt[kNtWindow];
  std::size_t have = 0;
  if (!ReadNtWindow(read, file_length, &nt_at, nt, &have)) return none;

  const std::uint16_t magic = ReadLe16(nt + kOptionalAt);
  const OptionalLayout* layout = magic == kPe32.magic       ? &kPe32
                                 : magic == kPe32Plus.magic ? &kPe32Plus
                                                            : nullptr;
  if (layout == nullptr) return none;
  // Entry 4 must lie inside the optional header as declared, inside the
  // file, and among the directories the header counts.
  if (ReadLe16(nt + kOptionalSizeAt) < layout->SecurityEnd()) return none;
  if (have < kOptionalAt + layout->SecurityEnd()) return none;
  const unsigned char* optional = nt + kOptionalAt;
  if (ReadLe32(optional + layout->count_at) <= kSecurityEntry) return none;

  const unsigned char* entry = optional + layout->directories_at + kSecurityEntry * kDirectoryEntrySize;
  CertificateTable table;
  table.offset = ReadLe32(entry);
  table.size = ReadLe32(entry + 4);
  return table;
}

CertificateTable ReadSecurityDirectory(platform::InputFile& file, std::uint64_t file_length) {
  return ReadSecurityDirectory(
      [&file](std::uint64_t position, void* buffer, std::size_t size) {
        return file.Seek(position) && file.Read(buffer, size);
      },
      file_length);
}

std::uint64_t ReadImageEnd(const ReadAt& read, std::uint64_t file_length) {
  std::uint32_t nt_at = 0;
  unsigned char nt[kNtWindow];
  std::size_t have = 0;
  if (!ReadNtWindow(read, file_length, &nt_at, nt, &have)) return 0;
  const std::size_t sections = ReadLe16(nt + kSectionCountAt);
  if (sections == 0 || sections > kMaxSections) return 0;
  // The section table follows the optional header as declared.
  const std::uint64_t table_at =
      std::uint64_t{nt_at} + kOptionalAt + ReadLe16(nt + kOptionalSizeAt);
  unsigned char table[kMaxSections * kSectionHeaderSize];
  const std::size_t table_size = sections * kSectionHeaderSize;
  if (table_at > file_length || file_length - table_at < table_size ||
      !read(table_at, table, table_size))
    return 0;
  std::uint64_t end = 0;
  for (std::size_t i = 0; i < sections; ++i) {
    const unsigned char* section = table + i * kSectionHeaderSize;
    const std::uint32_t size = ReadLe32(section + kRawSizeAt);
    const std::uint64_t section_end = std::uint64_t{ReadLe32(section + kRawPointerAt)} + size;
    if (size != 0 && section_end > end) end = section_end;
  }
  return end <= file_length ? end : 0;
}

std::uint64_t ReadImageEnd(platform::InputFile& file, std::uint64_t file_length) {
  return ReadImageEnd(
      [&file](std::uint64_t position, void* buffer, std::size_t size) {
        return file.Seek(position) && file.Read(buffer, size);
      },
      file_length);
}

std::uint64_t PayloadLength(platform::InputFile& file, std::uint64_t file_length) {
  const CertificateTable table = ReadSecurityDirectory(file, file_length);
  return table.SignsFile(file_length) ? table.offset : file_length;
}

}  // namespace ovsetup::payload
