// The compressed entry's parts in memory: the branch filter, the packer's
// coder against the setup's decoder fed in pieces, and the record.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <random>
#include <thread>
#include <vector>

#include "payload/branch_filter.h"
#include "payload/compression_record.h"
#include "payload/entry_decoder.h"
#include "payload/payload_archive.h"
#include "payload/payload_format.h"
#include "payload/piece_reader.h"
#include "platform/file_io.h"
#include "tests/support/payload_image.h"
#include "tests/support/temp_folder.h"
#include "tools/ovpack/entry_encoder.h"

namespace ovsetup {
namespace {

using payload::PayloadFault;
using Bytes = std::vector<unsigned char>;

// Code-like bytes: calls and jumps to a few targets, E8/E9 bytes as data
// next to each other, and an E8 whose operand would pass the end.
Bytes CodeLike(std::size_t size) {
  std::mt19937 random(7);
  Bytes bytes;
  while (bytes.size() + 5 < size) {
    const int kind = random() % 4;
    const std::uint32_t target = 0x1000 * (random() % 8);
    const std::uint32_t rel = target - static_cast<std::uint32_t>(bytes.size() + 5);
    if (kind == 0) bytes.insert(bytes.end(), {0xE8, 0xE9, 0xE8});
    bytes.push_back(kind == 1 ? 0xE9 : 0xE8);
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<unsigned char>(rel >> (8 * i)));
    for (int i = random() % 6; i > 0; --i) bytes.push_back(static_cast<unsigned char>(random()));
  }
  bytes.resize(size - 2);
  bytes.insert(bytes.end(), {0xE8, 0x00});
  return bytes;
}

// Hands the decoded bytes to a vector.
struct Collect : payload::DecodedSink {
  bool Take(const unsigned char* data, std::size_t size) override {
    got.insert(got.end(), data, data + size);
    return true;
  }
  Bytes got;
};

// Decodes `body` to `size` bytes, fed in pieces of `piece` bytes.
PayloadFault Decode(const Bytes& body, std::uint32_t size, std::size_t piece, Bytes* got) {
  Collect sink;
  PayloadFault fault = PayloadFault::kNone;
  {
    payload::EntryDecoder decoder(size, sink);
    for (std::size_t at = 0; at < body.size() && fault == PayloadFault::kNone; at += piece)
      fault = decoder.Feed(body.data() + at, std::min(piece, body.size() - at));
    if (fault == PayloadFault::kNone) fault = decoder.Finish();
  }
  *got = sink.got;
  return fault;
}

TEST(BranchFilter, TurnsACallAbsoluteAndBackInAnyPieces) {
  const Bytes call = {0x90, 0xE8, 0x0B, 0x00, 0x00, 0x00};  // call to 0x11 at 1
  Bytes encoded = call;
  payload::BranchFilter(true).Apply(encoded.data(), encoded.size(), true);
  EXPECT_EQ(encoded, (Bytes{0x90, 0xE8, 0x11, 0x00, 0x00, 0x00}));

  const Bytes code = CodeLike(5000);
  encoded = code;
  payload::BranchFilter(true).Apply(encoded.data(), encoded.size(), true);
  for (std::size_t piece : {1, 3, 5, 8, 4999}) {
    payload::BranchFilter filter(false);
    Bytes decoded, carry;
    for (std::size_t at = 0; at < encoded.size(); at += piece) {
      carry.insert(carry.end(), encoded.begin() + at,
                   encoded.begin() + std::min(at + piece, encoded.size()));
      const bool last = at + piece >= encoded.size();
      const std::size_t done = filter.Apply(carry.data(), carry.size(), last);
      decoded.insert(decoded.end(), carry.begin(), carry.begin() + done);
      carry.erase(carry.begin(), carry.begin() + done);
      EXPECT_LE(carry.size(), 4u);
    }
    EXPECT_EQ(decoded, code) << "pieces of " << piece;
  }
}

TEST(EntryDecoder, DecodesWhatThePackerCompressesInAnyPieces) {
  const Bytes code = CodeLike(300000);
  Bytes body, got;
  ASSERT_TRUE(ovpack::CompressEntry(code, &body));
  EXPECT_LT(body.size(), code.size());
  for (std::size_t piece : {1, 4, 5, 6, 4096, 512000}) {
    EXPECT_EQ(Decode(body, code.size(), piece, &got), PayloadFault::kNone) << piece;
    EXPECT_EQ(got, code) << "pieces of " << piece;
  }
  Bytes noise(5000);
  std::mt19937 random(3);
  for (unsigned char& c : noise) c = static_cast<unsigned char>(random());
  EXPECT_FALSE(ovpack::CompressEntry(noise, &body)) << "noise does not shrink";
  EXPECT_TRUE(body.empty());
}

TEST(EntryDecoder, BodiesThatDoNotDecodeToTheirSizeAreDamaged) {
  const Bytes code = CodeLike(100000);
  Bytes body, got;
  ASSERT_TRUE(ovpack::CompressEntry(code, &body));
  const std::uint32_t size = static_cast<std::uint32_t>(code.size());
  Bytes big_window = body, longer = body;
  big_window[4] = 0x08;      // a 128 MiB window
  longer.push_back(0);
  const struct {
    const char* name;
    Bytes body;
    std::uint32_t size;
  } rows[] = {
      {"cut short", Bytes(body.begin(), body.end() - 1), size},
      {"a byte to spare", longer, size},
      {"a byte more decoded", body, size + 1},
      {"a byte less decoded", body, size - 1},
      {"a window over 4 MiB", big_window, size},
      {"no properties", Bytes(body.begin(), body.begin() + 4), size},
  };
  for (const auto& row : rows)
    EXPECT_EQ(Decode(row.body, row.size, 4096, &got), PayloadFault::kDamagedBody) << row.name;
}

TEST(PieceReader, ReadsEveryByteInOrderAheadOrNot) {
  std::string bytes(3 * payload::kCopyBufferSize + 7, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 / 3);
  testing::TempFolder dir;
  testing::WriteHostFile(dir.Host("f"), bytes);
  std::vector<char> buffer(payload::kCopyBufferSize);
  for (bool ahead : {false, true}) {
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, payload::kCopyBufferSize,
                             payload::kCopyBufferSize + 1, bytes.size(), bytes.size() + 1}) {
      platform::InputFile file;
      ASSERT_TRUE(file.Open(dir.core() + "f") && file.Seek(0));
      payload::PieceReader reader(file, size, buffer.data(), ahead);
      std::string got;
      const char* data = nullptr;
      for (std::size_t piece = 0; reader.Next(&data, &piece);) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));  // decoding, while it reads on
        got.append(data, piece);
      }
      const bool past_end = size > bytes.size();
      EXPECT_EQ(reader.failed(), past_end) << ahead << " " << size;
      if (!past_end) EXPECT_TRUE(got == bytes.substr(0, size)) << ahead << " " << size;
    }
  }
}

// Remembers the last step and whether any went back.
struct Steps : payload::ExtractionProgress {
  void Advance(std::uint64_t d, std::uint64_t t) override {
    fell = fell || d < done;
    done = d;
    total = t;
  }
  std::uint64_t done = 0, total = 0;
  bool fell = false;
};

// A compressed setup through the whole staged extraction: 150 small bodies,
// which the second decoder takes in batches, one of several pieces decoded
// by the caller's thread, one stored as it is. A body that does not decode
// (its properties damaged when packed, so the hash holds) stops the
// extraction at its entry, with nothing left behind, wherever it decodes.
TEST(CompressedExtraction, StagesEveryBodyAndStopsAtOneThatDoesNotDecode) {
  std::vector<Bytes> files;
  for (int i = 0; i < 150; ++i) {
    std::string text;
    for (int line = 0; line < 40 + i; ++line) text += "line " + std::to_string(line * i) + "\n";
    files.emplace_back(text.begin(), text.end());
  }
  files.push_back(CodeLike(3 * payload::kCopyBufferSize));
  files.push_back(Bytes(5000));
  std::mt19937 random(5);
  for (unsigned char& c : files.back()) c = static_cast<unsigned char>(random());
  std::vector<Bytes> bodies(files.size());
  std::vector<payload::EntryCoding> codings(files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    codings[i].decoded_size = static_cast<std::uint32_t>(files[i].size());
    if (ovpack::CompressEntry(files[i], &bodies[i]))
      codings[i].coding = payload::Coding::kLzmaBranch;
    else
      bodies[i] = files[i];
  }
  ASSERT_GT(bodies[150].size(), payload::kCopyBufferSize);
  ASSERT_EQ(codings[151].coding, payload::Coding::kStored);

  for (int damaged : {-1, 0, 120, 150}) {
    testing::PayloadImage image(0x800);
    for (std::size_t i = 0; i < files.size(); ++i) {
      std::string body(bodies[i].begin(), bodies[i].end());
      if (static_cast<int>(i) == damaged) body[0] = static_cast<char>(0xFF);  // no properties
      image.Add("QVTPrograms\\f" + std::to_string(i), body);
    }
    testing::TempFolder dir;
    testing::WriteHostFile(dir.Host("setup.exe"), testing::WithIntegrityRecord(image.Finish(), codings));
    std::filesystem::create_directories(dir.Host("out"));
    Steps steps;
    const payload::WalkResult result =
        payload::PayloadArchive(dir.core() + "setup.exe")
            .Extract(dir.core() + "out\\", payload::Selection::kAll, &steps);
    EXPECT_FALSE(steps.fell) << damaged;
    if (damaged < 0) {
      ASSERT_TRUE(result.ok()) << static_cast<int>(result.fault);
      EXPECT_EQ(steps.done, steps.total);
      for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string got = testing::ReadHostFile(dir.Host("out/QVTPrograms/f" + std::to_string(i)));
        EXPECT_TRUE(got == std::string(files[i].begin(), files[i].end())) << i;
      }
      continue;
    }
    EXPECT_EQ(result.fault, PayloadFault::kDamagedBody) << damaged;
    EXPECT_TRUE(result.at_entry && result.entry == static_cast<std::uint32_t>(damaged)) << result.entry;
    EXPECT_FALSE(std::filesystem::exists(dir.Host("out/QVTPrograms"))) << damaged << ": files left";
  }
}

TEST(CompressionRecord, ReadsWhatItWritesAndRefusesAnyDamage) {
  const std::vector<payload::EntryCoding> codings = {{payload::Coding::kLzmaBranch, 70000},
                                                     {payload::Coding::kStored, 12}};
  Bytes record(payload::CompressionRecordSize(2) + 4);
  payload::EncodeCompressionRecord(codings, record.data() + 4);
  testing::TempFolder dir;
  std::vector<payload::EntryCoding> read;
  // Each row: the byte flipped (none: -1), the entries asked for, the begin.
  const struct {
    int flip;
    std::uint32_t count;
    std::uint64_t begin;
    PayloadFault want;
  } rows[] = {
      {-1, 2, record.size(), PayloadFault::kNone},
      {4 + 1, 2, record.size(), PayloadFault::kDamagedRecord},   // tag
      {4 + 8, 2, record.size(), PayloadFault::kDamagedRecord},   // count
      {4 + 20, 2, record.size(), PayloadFault::kDamagedRecord},  // a size, against the hash
      {-1, 1, record.size(), PayloadFault::kDamagedRecord},      // another count
      {-1, 2, record.size() - 1, PayloadFault::kDamagedRecord},  // past offset[0]
  };
  for (const auto& row : rows) {
    Bytes bytes = record;
    if (row.flip >= 0) bytes[row.flip] ^= 1;
    testing::WriteHostFile(dir.Host("r"), std::string(bytes.begin(), bytes.end()));
    platform::InputFile file;
    ASSERT_TRUE(file.Open(dir.core() + "r"));
    EXPECT_EQ(payload::ReadCompressionRecord(file, 4, row.begin, row.count, &read), row.want)
        << row.flip << " " << row.count;
  }
  EXPECT_EQ(read.size(), 2u);
}

}  // namespace
}  // namespace ovsetup
