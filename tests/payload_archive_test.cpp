// Extraction of real payload files into real temp folders.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "payload/integrity_record.h"
#include "payload/payload_archive.h"
#include "payload/payload_hash.h"
#include "payload/stored_path_rules.h"
#include "platform/file_io.h"
#include "tests/support/payload_image.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace ovsetup {
namespace {

using payload::PayloadArchive;
using payload::PayloadFault;
using payload::Selection;
using testing::PayloadImage;
using testing::ReadHostFile;
using testing::TempFolder;
using testing::WriteHostFile;

// A temp folder holding "setup.exe" and an empty "out\" target.
class Extraction : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(dir_.Host("out")); }

  PayloadArchive Archive(const std::string& bytes) {
    WriteHostFile(dir_.Host("setup.exe"), bytes);
    return PayloadArchive(dir_.core() + "setup.exe");
  }
  std::string Target() const { return dir_.core() + "out\\"; }
  fs::path Out(const std::string& relative) const { return dir_.Host("out/" + relative); }
  std::size_t FilesWritten() const {
    std::size_t n = 0;
    for (auto& e : fs::recursive_directory_iterator(dir_.Host("out"))) n += e.is_regular_file();
    return n;
  }

  TempFolder dir_;
};

TEST_F(Extraction, RejectsMalformedTablesWithoutWriting) {
  PayloadImage one;
  one.Add("QVTPrograms\\a.txt", "abc");
  const std::string good = one.Finish();
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"three-byte file", "abc"},
      {"N = 0", PayloadImage().Finish(0)},
      {"N = 601", PayloadImage().Finish(601)},
      {"shorter than 4N+4", std::string("\x05\0\0\0", 4)},
      {"N larger than the table", one.Finish(600)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PayloadArchive archive = Archive(c.bytes);
    EXPECT_EQ(0, archive.ExtractAll(Target()));
    EXPECT_EQ(0, archive.ExtractDriverSubset(Target()));
    EXPECT_EQ(0u, FilesWritten());
  }
  EXPECT_EQ(1, Archive(good).ExtractAll(Target()));
  EXPECT_EQ("abc", ReadHostFile(Out("QVTPrograms/a.txt")));
}

// A setup with an integrity record fails both extractions before the first
// write when any byte of its payload or record is damaged, when it is cut
// short or has grown, or when its table does not fit the record; intact, or
// signed, it extracts. Without a record, a cut-short setup fails as before.
TEST_F(Extraction, DamagedRecordedSetupsWriteNothing) {
  PayloadImage image;
  image.Add("QVTDriver\\usb.inf", "usb");
  image.Add("QVTPrograms\\big.bin", std::string(600000, 'b'));
  const std::string plain = image.Finish();
  const std::string good = testing::WithIntegrityRecord(plain);
  const std::size_t record = testing::kRecordedImageEnd;
  const std::uint32_t second = image.offsets()[1];
  auto flip = [](std::string bytes, std::size_t at) {
    bytes[at] ^= 0x20;
    return bytes;
  };
  // The record of a payload that begins 400 bytes later (entry 1), hash and all.
  std::string moved = good;
  payload::IntegrityRecord shifted{payload::kIntegrityVersion, second,
                                   static_cast<std::uint32_t>(good.size()), 0};
  shifted.hash = payload::HashBytes(good.data() + second, good.size() - second);
  payload::EncodeIntegrityRecord(shifted, reinterpret_cast<unsigned char*>(&moved[record]));

  using F = PayloadFault;
  struct Case {
    const char* name;
    std::string bytes;
    PayloadFault fault;
  } cases[] = {
      {"intact", good, F::kNone},
      {"signed", testing::SignAsPe(good, false, 64), F::kNone},
      {"body byte", flip(good, second + 400 + 300000), F::kDamagedHash},
      {"path header byte", flip(good, second + 3), F::kDamagedHash},
      {"offset table byte", flip(good, good.size() - 8), F::kDamagedHash},
      {"record tag byte", flip(good, record + 1), F::kDamagedRecord},
      {"record version", flip(good, record + 8), F::kDamagedRecord},
      {"record length", flip(good, record + 16), F::kDamagedLength},
      {"record hash", flip(good, record + 27), F::kDamagedHash},
      {"table does not fit", moved, F::kDamagedTable},
      {"cut after the record", good.substr(0, record + 40), F::kDamagedLength},
      {"cut in a body", good.substr(0, second + 1000), F::kDamagedLength},
      {"cut by one byte", good.substr(0, good.size() - 1), F::kDamagedLength},
      {"one byte more", good + "x", F::kDamagedLength},
      {"signed, payload byte", flip(testing::SignAsPe(good, false, 64), second + 500),
       F::kDamagedHash},
      {"signed, table cut", testing::SignAsPe(good, false, 64).substr(0, good.size() + 8),
       F::kDamagedLength},
      {"no record, cut by one byte", plain.substr(0, plain.size() - 1), F::kBadCount},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (Selection selection : {Selection::kAll, Selection::kDriverSubset}) {
      TempFolder out;
      const payload::WalkResult result = Archive(c.bytes).Extract(out.core(), selection);
      EXPECT_EQ(c.fault, result.fault);
      EXPECT_EQ(c.bytes != plain.substr(0, plain.size() - 1), result.has_record);
      if (c.fault != F::kNone) {
        EXPECT_TRUE(fs::is_empty(out.host()));
      }
    }
  }
}

TEST_F(Extraction, MissingPayloadFileFails) {
  EXPECT_EQ(0, PayloadArchive(dir_.core() + "absent.exe").ExtractAll(Target()));
}

TEST_F(Extraction, SingleOffsetMeansNoEntriesAndSuccess) {
  PayloadArchive archive = Archive(PayloadImage().Finish());
  EXPECT_EQ(1, archive.ExtractAll(Target()));
  EXPECT_EQ(1, archive.ExtractDriverSubset(Target()));
  EXPECT_EQ(0u, FilesWritten());
}

// Where each folder's entry lands: under the target, or nowhere.
TEST_F(Extraction, FiltersCompareFoldersByteForByte) {
  struct Row {
    const char* path;
    bool by_all;
    bool by_drivers;
  } rows[] = {
      {"top.txt", true, false},
      {"QVTPrograms\\p.exe", true, false},
      {"QVTCad\\c.arx", true, false},
      {"MXDriver\\m.inf", false, true},
      {"mxdriver\\lower.inf", true, false},
      {"QVTDriver\\q.inf", true, true},
      {"QVTDriver\\amd64\\q64.dll", true, true},
      {"QVTDriver\\x86\\q32.dll", true, true},
      {"QVTDriver\\X86\\upper.dll", true, false},
  };
  PayloadImage image;
  for (const Row& row : rows) image.Add(row.path, std::string("body of ") + row.path);
  const std::string bytes = image.Finish();

  for (Selection selection : {Selection::kAll, Selection::kDriverSubset}) {
    TempFolder out;
    ASSERT_TRUE(Archive(bytes).Extract(out.core(), selection).ok());
    for (const Row& row : rows) {
      std::string relative = row.path;
      for (char& c : relative) c = c == '\\' ? '/' : c;
      const bool expected = selection == Selection::kAll ? row.by_all : row.by_drivers;
      EXPECT_EQ(expected, fs::exists(out.Host(relative))) << row.path;
      if (expected) {
        EXPECT_EQ(std::string("body of ") + row.path, ReadHostFile(out.Host(relative)));
      }
    }
  }
}

TEST_F(Extraction, SpanOfFourHundredFailsAndFourHundredOneWritesOneByte) {
  PayloadImage image;
  image.Add("QVTPrograms\\one.bin", "x");
  const std::string one = image.Finish();
  image.Add("QVTPrograms\\empty.bin", "");
  image.Add("QVTPrograms\\after.bin", "y");
  EXPECT_EQ(0, Archive(image.Finish()).ExtractAll(Target()));
  EXPECT_EQ(0u, FilesWritten());
  EXPECT_EQ(1, Archive(one).ExtractAll(Target()));
  EXPECT_EQ("x", ReadHostFile(Out("QVTPrograms/one.bin")));
}

// A bad span stops both extractions at that entry, even one the filter
// skips, before anything is written.
TEST_F(Extraction, BadSpanWritesNothing) {
  PayloadImage image;
  for (int i = 0; i < 5; ++i) image.Add("QVTDriver\\f" + std::to_string(i), "data");
  image.Add("MXDriver\\bad.inf", "z");
  image.Add("QVTDriver\\late", "late");
  image.offsets()[6] = image.offsets()[5] + 300;  // entry 5 spans 300 bytes
  const std::string bytes = image.Finish();
  for (Selection selection : {Selection::kAll, Selection::kDriverSubset}) {
    TempFolder out;
    const payload::WalkResult result = Archive(bytes).Extract(out.core(), selection);
    EXPECT_EQ(PayloadFault::kSpanTooSmall, result.fault);
    EXPECT_EQ(5u, result.entry);
    EXPECT_TRUE(fs::is_empty(out.host()));
  }
}

TEST_F(Extraction, EntryEndingAtFileLengthFails) {
  PayloadImage image;
  image.Add("a.txt", "a");
  std::string bytes = image.Finish();
  bytes[bytes.size() - 8] = '\x7f';  // end marker far past the end
  bytes[bytes.size() - 7] = '\x7f';
  EXPECT_EQ(PayloadFault::kEndBeyondFile, Archive(bytes).Extract(Target(), Selection::kAll).fault);
}

TEST_F(Extraction, DescendingOffsetsFailAtThatEntry) {
  PayloadImage image;
  image.Add("first.txt", "1");
  image.Add("second.txt", "2");
  image.Add("third.txt", "3");
  image.offsets()[2] = image.offsets()[0] - 1;  // entry 1 ends before it begins
  const payload::WalkResult result = Archive(image.Finish()).Extract(Target(), Selection::kAll);
  EXPECT_EQ(PayloadFault::kDescending, result.fault);
  EXPECT_EQ(1u, result.entry);
  EXPECT_EQ(0u, FilesWritten());
}

TEST_F(Extraction, BodiesAroundTheSharedBufferSizeAreExact) {
  std::string small(512000, '\0'), large(512001, '\0');
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 131 + 7);
  small.assign(large, 1, 512000);
  PayloadImage image;
  image.Add("QVTPrograms\\small.bin", small);
  image.Add("QVTPrograms\\large.bin", large);
  image.Add("QVTPrograms\\tail.bin", "t");
  ASSERT_EQ(1, Archive(image.Finish()).ExtractAll(Target()));
  EXPECT_EQ(small, ReadHostFile(Out("QVTPrograms/small.bin")));
  EXPECT_EQ(large, ReadHostFile(Out("QVTPrograms/large.bin")));
  EXPECT_EQ("t", ReadHostFile(Out("QVTPrograms/tail.bin")));
}

TEST_F(Extraction, PathHeaderRules) {
  // No NUL in the first 399 bytes: the path is those 399 bytes, the 400th is
  // ignored. Windows takes no path that long: refused before any write.
  const std::string name(399, 'n');
  PayloadImage unterminated;
  unterminated.AddRawHeader(name + "X", "long");
  const payload::WalkResult result =
      Archive(unterminated.Finish()).Extract(Target(), Selection::kAll);
  EXPECT_EQ(PayloadFault::kPathTooLong, result.fault);
  EXPECT_EQ(name, result.path);

  // Left-over text after the NUL changes nothing.
  PayloadImage leftovers;
  leftovers.Add("QVTPrograms\\b.txt", "b", 'Q');
  leftovers.AddRawHeader(std::string("QVTPrograms\\c.txt\0old\\longer\\path.txt", 37) +
                             std::string(400 - 37, 'z'),
                         "c");
  ASSERT_EQ(1, Archive(leftovers.Finish()).ExtractAll(Target()));
  EXPECT_EQ("b", ReadHostFile(Out("QVTPrograms/b.txt")));
  EXPECT_EQ("c", ReadHostFile(Out("QVTPrograms/c.txt")));
  EXPECT_EQ(2u, FilesWritten());
}

TEST_F(Extraction, OnlyTheLastFolderLevelIsCreated) {
  PayloadImage image;
  image.Add("QVTDriver\\amd64\\deep\\x.sys", "deep");
  const std::string bytes = image.Finish();
  EXPECT_EQ(1, Archive(bytes).ExtractDriverSubset(Target()));  // skipped: no such folder name
  EXPECT_EQ(0u, FilesWritten());
  EXPECT_EQ(PayloadFault::kCannotCreate, Archive(bytes).Extract(Target(), Selection::kAll).fault);
  fs::create_directories(Out("QVTDriver/amd64"));
  EXPECT_EQ(1, Archive(bytes).ExtractAll(Target()));
  EXPECT_EQ("deep", ReadHostFile(Out("QVTDriver/amd64/deep/x.sys")));
}

TEST_F(Extraction, ExistingOutputIsTruncatedAndRewritten) {
  WriteHostFile(Out("QVTPrograms/a.txt"), std::string(5000, 'o'));
  PayloadImage image;
  image.Add("QVTPrograms\\a.txt", "new");
  ASSERT_EQ(1, Archive(image.Finish()).ExtractAll(Target()));
  EXPECT_EQ("new", ReadHostFile(Out("QVTPrograms/a.txt")));
}

TEST_F(Extraction, SixHundredOffsetsHoldFiveHundredNinetyNineEntries) {
  PayloadImage image;
  for (int i = 0; i < 599; ++i) image.Add("QVTPrograms\\f" + std::to_string(i), std::to_string(i));
  ASSERT_EQ(1, Archive(image.Finish()).ExtractAll(Target()));
  EXPECT_EQ(599u, FilesWritten());
  EXPECT_EQ("598", ReadHostFile(Out("QVTPrograms/f598")));
}

// A stored path that would leave the target, or that Windows would take for
// a device or for another name, fails both extractions at that entry, even
// one the filter skips: nothing is written, and no device is opened.
TEST_F(Extraction, StoredPathRulesFailAtThatEntry) {
  struct Row {
    const char* path;
    PayloadFault fault;
  } rows[] = {
      {"\\rooted.txt", PayloadFault::kUnsafePath},
      {"/rooted.txt", PayloadFault::kUnsafePath},
      {"C:escape.txt", PayloadFault::kUnsafePath},
      {"a.txt:stream", PayloadFault::kUnsafePath},
      {"..\\up.txt", PayloadFault::kUnsafePath},
      {"QVTPrograms\\..\\..\\up.txt", PayloadFault::kUnsafePath},
      {"Contour\\..", PayloadFault::kUnsafePath},
      {"QVTPrograms\\...\\up.txt", PayloadFault::kUnsafePath},
      {"QVTPrograms/../../up.txt", PayloadFault::kUnsafePath},
      {"MXDriver\\..\\..\\up.inf", PayloadFault::kUnsafePath},
      {"QVTPrograms\\NUL", PayloadFault::kDeviceName},
      {"QVTPrograms\\COM1.txt", PayloadFault::kDeviceName},
      {"QVTPrograms\\Com3.log", PayloadFault::kDeviceName},
      {"QVTPrograms\\nul.tar.gz", PayloadFault::kDeviceName},
      {"QVTPrograms\\aux .txt", PayloadFault::kDeviceName},
      {"QVTPrograms\\lpt9", PayloadFault::kDeviceName},
      {"QVTPrograms\\CONIN$", PayloadFault::kDeviceName},
      {"QVTPrograms\\conout$.log", PayloadFault::kDeviceName},
      {"Prn\\a.txt", PayloadFault::kDeviceName},
      {"MXDriver\\con.inf", PayloadFault::kDeviceName},
      {"Contour\\CON.dat", PayloadFault::kDeviceName},
      {"QVTPrograms\\a.txt.", PayloadFault::kDotOrSpaceEnd},
      {"QVTPrograms\\a.txt ", PayloadFault::kDotOrSpaceEnd},
      {"QVTPrograms\\dir.\\a.txt", PayloadFault::kDotOrSpaceEnd},
      {"QVTPrograms\\.\\a.txt", PayloadFault::kDotOrSpaceEnd},
      {"Contour\\c.dat.", PayloadFault::kDotOrSpaceEnd},
      {"QVTPrograms\\a<b", PayloadFault::kBadCharacter},
      {"QVTPrograms\\a>b", PayloadFault::kBadCharacter},
      {"QVTPrograms\\a\"b", PayloadFault::kBadCharacter},
      {"QVTPrograms\\a|b", PayloadFault::kBadCharacter},
      {"QVTPrograms\\a?b", PayloadFault::kBadCharacter},
      {"QVTPrograms\\*.txt", PayloadFault::kBadCharacter},
      {"QVTPrograms\\tab\there", PayloadFault::kBadCharacter},
      {"QVTPrograms\\\x1f.txt", PayloadFault::kBadCharacter},
      {"Contour\\c\x01.dat", PayloadFault::kBadCharacter},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    PayloadImage image;
    image.Add("QVTDriver\\before.txt", "ok");
    image.Add(row.path, "bad");
    image.Add("QVTDriver\\after.txt", "late");
    const std::string bytes = image.Finish();
    for (Selection selection : {Selection::kAll, Selection::kDriverSubset}) {
      const payload::WalkResult result = Archive(bytes).Extract(Target(), selection);
      EXPECT_EQ(row.fault, result.fault);
      EXPECT_EQ(1u, result.entry);
      EXPECT_EQ(0u, FilesWritten());
    }
    EXPECT_FALSE(fs::exists(dir_.Host("up.txt")));
    EXPECT_FALSE(fs::exists(dir_.host().parent_path() / "up.txt"));
  }
  // Dots and blanks inside names are fine.
  for (const char* path : {"QVTPrograms\\a..b.txt", ".profile", "QVTPrograms\\.x",
                           "QVTPrograms\\nullify.txt", "QVTPrograms\\COM10", "QVTPrograms\\my con.txt"}) {
    PayloadImage image;
    image.Add("QVTPrograms\\before.txt", "ok");
    image.Add(path, "fine");
    EXPECT_EQ(1, Archive(image.Finish()).ExtractAll(Target())) << path;
  }
}

// Paths that differ only in letter case are one file on Windows: both are
// written, and the later one stays ("ovpack verify" reports them).
TEST_F(Extraction, CaseTwinsAreWrittenAndTheLaterStays) {
  PayloadImage image;
  image.Add("QVTPrograms\\Readme.txt", "first");
  image.Add("QVTPrograms\\README.TXT", "second");
  ASSERT_EQ(1, Archive(image.Finish()).ExtractAll(Target()));
  EXPECT_EQ("second", ReadHostFile(Out("QVTPrograms/README.TXT")));
#ifdef _WIN32
  EXPECT_EQ("second", ReadHostFile(Out("QVTPrograms/Readme.txt")));
  EXPECT_EQ(1u, FilesWritten());
#endif
}

// A GBK trail byte belongs to its character: one of 0x7C ("|") is no bad
// character, and one of an ASCII letter's value does not fold.
TEST(StoredPathRules, DoubleByteCharactersStayWhole) {
  EXPECT_EQ(PayloadFault::kNone, payload::CheckStoredPath("QVTPrograms\\\x81|.txt"));  // 亅.txt
  EXPECT_EQ(PayloadFault::kBadCharacter, payload::CheckStoredPath("QVTPrograms\\a|.txt"));
  EXPECT_EQ("QVTPROGRAMS\\\x81" "a" "B.TXT", payload::FoldStoredCase("QVTPrograms\\\x81" "ab.txt"));
}

// One file name (a shortcut's; the headless install test has the rest): a
// GBK trail byte 0x5C is no separator, a real one is.
TEST(StoredPathRules, FileNames) {
  EXPECT_EQ(PayloadFault::kNone, payload::CheckFileName("\x81\\.lnk"));  // 乗.lnk
  EXPECT_EQ(PayloadFault::kUnsafePath, payload::CheckFileName("a\\.lnk"));
}

TEST_F(Extraction, ContourEntriesGoIntoTheWindowsFolderByName) {
  std::string windows;
  ASSERT_TRUE(platform::GetWindowsFolder(&windows)) << "the test environment sets the Windows folder";
  const std::string name = "ovsetup-contour-" + std::to_string(std::rand()) + ".dat";
  PayloadImage image;
  image.Add("Contour\\" + name, "contour");
  image.Add("QVTPrograms\\p.txt", "p");
  const std::string bytes = image.Finish();

  EXPECT_EQ(1, Archive(bytes).ExtractDriverSubset(Target()));
  EXPECT_EQ(0u, FilesWritten());

  ASSERT_EQ(1, Archive(bytes).ExtractAll(Target()));
  std::string host_windows = windows;
#ifndef _WIN32
  for (char& c : host_windows) c = c == '\\' ? '/' : c;
#endif
  const fs::path landed = fs::path(host_windows) / name;
  EXPECT_EQ("contour", ReadHostFile(landed));
  fs::remove(landed);
  EXPECT_FALSE(fs::exists(Out("Contour")));
  EXPECT_EQ("p", ReadHostFile(Out("QVTPrograms/p.txt")));
}

// A folder in a file's place cannot be replaced: nothing is put in place.
TEST_F(Extraction, OutputThatCannotBeCreatedFails) {
  PayloadImage image;
  image.Add("QVTPrograms\\a.txt", "a");
  image.Add("QVTPrograms", "clashes with the folder");
  const payload::WalkResult result = Archive(image.Finish()).Extract(Target(), Selection::kAll);
  EXPECT_EQ(PayloadFault::kTargetInUse, result.fault);
  EXPECT_EQ(1u, result.entry);
  EXPECT_EQ(0u, FilesWritten());
}

}  // namespace
}  // namespace ovsetup
