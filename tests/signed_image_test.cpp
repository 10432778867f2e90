// Signed setups: the certificate table found through the PE headers, and the
// payload read in front of it; damaged headers read as unsigned.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "payload/payload_archive.h"
#include "payload/signed_image.h"
#include "tests/support/payload_image.h"
#include "tests/support/temp_folder.h"

namespace ovsetup {
namespace {

using testing::PayloadImage;

constexpr std::size_t kNtAt = testing::kPeAt;
constexpr std::size_t kOptionalAt = testing::kPeOptionalAt;
constexpr std::size_t kTableSize = 64;

void Put(std::string& file, std::size_t at, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) file[at + i] = static_cast<char>(value >> (8 * i));
}

// A setup whose stub has PE32 or PE32+ headers, signed.
std::string SignedSetup(bool pe32_plus) {
  PayloadImage image;
  image.Add("QVTPrograms\\a.txt", "signed");
  return testing::SignAsPe(image.Finish(), pe32_plus, kTableSize);
}

constexpr std::size_t kPe32Entry = kOptionalAt + 96 + 32;

TEST(SignedSetup, DamagedHeadersReadAsUnsigned) {
  struct Case {
    const char* name;
    bool pe32_plus;
    std::function<void(std::string&)> damage;
    bool is_signed;
  } cases[] = {
      {"PE32", false, [](std::string&) {}, true},
      {"PE32+", true, [](std::string&) {}, true},
      {"no MZ", false, [](std::string& f) { f[1] = 'X'; }, false},
      {"shorter than a DOS header", false, [](std::string& f) { f.resize(63); }, false},
      {"e_lfanew past the end", false, [](std::string& f) { Put(f, 0x3C, 0xFFFFFFF0u, 4); }, false},
      {"headers cut by the end of the file", false,
       [](std::string& f) {
         const std::size_t nt = f.size() - 40;
         Put(f, 0x3C, static_cast<std::uint32_t>(nt), 4);
         f.replace(nt, 4, std::string("PE\0\0", 4));
         Put(f, nt + 24, 0x10B, 2);
       },
       false},
      {"no PE signature", false, [](std::string& f) { f[kNtAt + 2] = 'X'; }, false},
      {"unknown optional header magic", false,
       [](std::string& f) { Put(f, kOptionalAt, 0x107, 2); }, false},
      {"optional header ends before entry 4", false,
       [](std::string& f) { Put(f, kNtAt + 20, 135, 2); }, false},
      {"optional header ends with entry 4", false,
       [](std::string& f) { Put(f, kNtAt + 20, 136, 2); }, true},
      {"four directories", false, [](std::string& f) { Put(f, kOptionalAt + 92, 4, 4); }, false},
      {"five directories", false, [](std::string& f) { Put(f, kOptionalAt + 92, 5, 4); }, true},
      {"PE32+ read with PE32 offsets", true,
       [](std::string& f) { Put(f, kOptionalAt, 0x10B, 2); }, false},
      {"empty table", false, [](std::string& f) { Put(f, kPe32Entry + 4, 0, 4); }, false},
      {"table ends before the file", false,
       [](std::string& f) { Put(f, kPe32Entry + 4, kTableSize - 1, 4); }, false},
      {"table ends past the file", false,
       [](std::string& f) { Put(f, kPe32Entry + 4, kTableSize + 1, 4); }, false},
      {"offset plus size wraps at 32 bits", false,
       [](std::string& f) {
         Put(f, kPe32Entry, 0xFFFFFFFFu, 4);
         Put(f, kPe32Entry + 4, static_cast<std::uint32_t>(f.size() + 1), 4);
       },
       false},
  };
  testing::TempFolder dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string file = SignedSetup(c.pe32_plus);
    c.damage(file);
    bool out_of_range = false;
    const payload::ReadAt read = [&](std::uint64_t position, void* buffer, std::size_t size) {
      out_of_range |= position > file.size() || size > file.size() - position;
      if (out_of_range) return false;
      std::memcpy(buffer, file.data() + position, size);
      return true;
    };
    const payload::CertificateTable table = payload::ReadSecurityDirectory(read, file.size());
    EXPECT_FALSE(out_of_range);
    EXPECT_EQ(c.is_signed, table.SignsFile(file.size()));

    // Signed, the payload in front of the table extracts; read as unsigned,
    // the table's last bytes are no offset count.
    testing::WriteHostFile(dir.Host("setup.exe"), file);
    const payload::WalkResult result = payload::PayloadArchive(dir.core() + "setup.exe")
                                           .Extract(dir.core(), payload::Selection::kAll);
    EXPECT_EQ(c.is_signed, result.ok()) << payload::DescribeFault(result.fault);
    if (c.is_signed) {
      EXPECT_EQ("signed", testing::ReadHostFile(dir.Host("QVTPrograms/a.txt")));
    }
  }
}

}  // namespace
}  // namespace ovsetup
