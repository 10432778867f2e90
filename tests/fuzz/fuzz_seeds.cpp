// Writes the fuzzers' seed corpus: small well-formed setups and the malformed
// shapes the tests build, for the payload targets, and device-install log
// lines for the driver-store scan.
//   fuzz_seeds OUT   ->  OUT/payload_walk, OUT/payload_extract, OUT/mdmcpq_store,
//                        OUT/signed_image, OUT/entry_decoder
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/payload_image.h"
#include "tools/ovpack/entry_encoder.h"

namespace fs = std::filesystem;
using ovsetup::testing::PayloadImage;
using ovsetup::testing::SignAsPe;
using ovsetup::testing::WithIntegrityRecord;

namespace {

// A setup with a small stub and one body per path.
PayloadImage Setup(const std::vector<std::string>& paths) {
  PayloadImage image(16);
  for (const std::string& path : paths) image.Add(path, "body of " + path);
  return image;
}

// Compressed bodies as the packer writes them, behind the target's 5 bytes
// (piece size, decoded size, spare): whole, cut, with a wrong size.
std::vector<std::pair<std::string, std::string>> EntrySeeds() {
  std::string code;
  for (unsigned i = 0; code.size() < 6000; ++i) {
    const unsigned rel = 0x2000 - static_cast<unsigned>(code.size()) - 5 * (i % 3);
    code += std::string("\x55\x8B\xEC\xE8") + static_cast<char>(rel) + static_cast<char>(rel >> 8) +
            std::string("\0\0\xE9\x10\0\0\0\x5D\xC3", 9);
  }
  std::vector<std::pair<std::string, std::string>> seeds;
  for (const std::string& file : {code, std::string(3000, 'a') + "body of QVTPrograms\\a.txt"}) {
    std::vector<unsigned char> body;
    ovsetup::ovpack::CompressEntry(std::vector<unsigned char>(file.begin(), file.end()), &body);
    const std::string packed(body.begin(), body.end());
    const std::size_t size = file.size();
    const std::string head = {'\x10', static_cast<char>(size), static_cast<char>(size >> 8), '\0', '\0'};
    const std::string longer = {'\0', static_cast<char>(size + 1), static_cast<char>((size + 1) >> 8), '\0', '\0'};
    const std::string n = std::to_string(seeds.size());
    seeds.insert(seeds.end(), {{"whole-" + n, head + packed},
                               {"cut-" + n, head + packed.substr(0, packed.size() / 2)},
                               {"longer-" + n, longer + packed}});
  }
  return seeds;
}

std::vector<std::pair<std::string, std::string>> PayloadSeeds() {
  const std::string gbk_folder = "\xD3\xEF\xD1\xD4";                   // 语言
  const std::string gbk_file = "\xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4.ini";  // 简体中文.ini
  std::vector<std::pair<std::string, std::string>> seeds = {
      {"empty", PayloadImage(16).Finish()},
      {"one", Setup({"QVTPrograms\\a.txt"}).Finish()},
      {"release", Setup({"readme.txt", "Contour\\contour.dat", "MXDriver\\mdmcpq.inf",
                         "QVTDriver\\usb.inf", "QVTDriver\\amd64\\co.dll", "QVTDriver\\x86\\co.dll",
                         "QVTPrograms\\Orvane.exe", "QVTPrograms\\" + gbk_folder + "\\" + gbk_file,
                         "QVTCad\\acad.dvb", "QVTFonts\\txt.shx"})
                      .Finish()},
      {"filters", Setup({"mxdriver\\lower.inf", "QVTDriver\\X86\\upper.dll", "QVTDriver\\q.inf",
                         "QVTDriver\\amd64\\deep\\x.sys"})
                      .Finish()},
      {"count-0", Setup({"a.txt"}).Finish(0)},
      {"count-601", Setup({"a.txt"}).Finish(601)},
      {"three-bytes", "abc"},
      {"table-too-short", std::string("\x05\0\0\0", 4)},
      {"twins", Setup({"QVTPrograms\\Readme.txt", "QVTPrograms\\README.TXT", "qvtprograms\\b.txt"})
                    .Finish()},
      {"clash", Setup({"QVTPrograms\\a.txt", "QVTPrograms"}).Finish()},
      // A "/" after "Contour\\": the name is joined to the Windows folder as text.
      {"contour-slash", Setup({"readme.txt", "Contour\\/contour.dat"}).Finish()},
  };
  // One good entry, then a name the extraction refuses.
  for (const char* bad : {"..\\up.txt", "\\rooted.txt", "C:drive.txt", "QVTPrograms/../../up.txt",
                          "QVTPrograms\\NUL", "QVTPrograms\\Com3.log", "Contour\\conout$",
                          "QVTPrograms\\a.txt.", "QVTPrograms\\dir \\a.txt", "QVTPrograms\\a|b",
                          "MXDriver\\tab\there", "QVTPrograms\\\x81|.txt"}) {
    PayloadImage image = Setup({"QVTPrograms\\before.txt", bad, "QVTPrograms\\after.txt"});
    seeds.emplace_back("name-" + std::to_string(seeds.size()), image.Finish());
  }
  {
    PayloadImage image = Setup({"QVTPrograms\\one.bin"});
    image.Add("QVTPrograms\\empty.bin", "");  // spans exactly 400 bytes
    image.Add("QVTPrograms\\after.bin", "y");
    seeds.emplace_back("span-400", image.Finish());
  }
  {
    PayloadImage image = Setup({"first.txt", "second.txt", "third.txt"});
    image.offsets()[2] = image.offsets()[0] - 1;
    seeds.emplace_back("descending", image.Finish());
  }
  {
    PayloadImage image = Setup({"QVTDriver\\f0", "MXDriver\\bad.inf", "QVTDriver\\late"});
    image.offsets()[2] = image.offsets()[1] + 300;
    seeds.emplace_back("span-300", image.Finish());
  }
  {
    std::string bytes = Setup({"a.txt"}).Finish();
    bytes[bytes.size() - 8] = '\x7f';  // the end marker past the end of the file
    seeds.emplace_back("end-beyond-file", bytes);
  }
  {
    PayloadImage image(16);
    image.AddRawHeader(std::string(399, 'n') + "X", "long");
    image.Add("QVTPrograms\\b.txt", "b", 'Q');  // left-overs after the NUL
    seeds.emplace_back("headers", image.Finish());
  }
  return seeds;
}

std::vector<std::pair<std::string, std::string>> LogSeeds() {
  const std::string prefix = "mdmcpq.inf_";
  return {
      {"real", ">>>  [Device Install (Hardware initiated) - USB\\VID_0483&PID_5740\\6&2a]\r\n"
               ">>>  Section start 2020/01/01 10:00:00.000\r\n"
               "     sto: {Setup Import Driver Package: C:\\Windows\\System32\\DriverStore\\"
               "FileRepository\\mdmcpq.inf_amd64_neutral_0123456789abcdef\\mdmcpq.inf}\r\n"
               "     inf: Opened INF: 'C:\\Windows\\inf\\" + prefix + "x86_neutral_00'\r\n"},
      {"19", "x\\" + prefix + "12345678\\y"},
      {"20", "x\\" + prefix + std::string(9, 'a') + "\\y"},
      {"58", "x\\" + prefix + std::string(47, 'b') + "\\y"},
      {"59", "x\\" + prefix + std::string(48, 'c') + "\\y"},
      {"apostrophe", "path 'C:\\x\\" + prefix + "123456789' done"},
      {"first-byte", "#" + prefix + "123456789\\"},
      {"upper", "x\\MDMCPQ.INF_123456789\\"},
      {"open-end", "x\\" + prefix + "123456789"},
  };
}

bool WriteAll(const fs::path& folder, const std::vector<std::pair<std::string, std::string>>& seeds) {
  fs::create_directories(folder);
  for (const auto& [name, bytes] : seeds) {
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seeds OUT\n");
    return 2;
  }
  const fs::path out = argv[1];
  auto payloads = PayloadSeeds();
  // Signed setups, PE32 and PE32+, once and with a second signature's worth
  // of table: the walk reads them in front of the table.
  std::vector<std::pair<std::string, std::string>> signed_setups;
  for (bool pe32_plus : {false, true}) {
    PayloadImage image(0x200);
    image.Add("QVTPrograms\\a.txt", "signed");
    const std::string kind = pe32_plus ? "pe32plus" : "pe32";
    signed_setups.emplace_back("signed-" + kind, SignAsPe(image.Finish(), pe32_plus, 64));
    signed_setups.emplace_back("nested-" + kind, SignAsPe(image.Finish(), pe32_plus, 1200));
  }
  // Setups with an integrity record: intact, signed, with a damaged tag, cut
  // short; the PE reader gets them too.
  PayloadImage recorded;
  recorded.Add("QVTPrograms\\a.txt", "recorded");
  std::string intact = WithIntegrityRecord(recorded.Finish()), tag = intact;
  tag[ovsetup::testing::kRecordedImageEnd + 2] ^= 1;
  signed_setups.insert(signed_setups.end(), {{"recorded", intact},
                                             {"recorded-signed", SignAsPe(intact, false, 64)},
                                             {"recorded-tag", tag},
                                             {"recorded-cut", intact.substr(0, intact.size() - 3)}});
  payloads.insert(payloads.end(), signed_setups.begin(), signed_setups.end());
  const bool ok = WriteAll(out / "payload_walk", payloads) &&
                  WriteAll(out / "payload_extract", payloads) &&
                  WriteAll(out / "mdmcpq_store", LogSeeds()) &&
                  WriteAll(out / "signed_image", signed_setups) &&
                  WriteAll(out / "entry_decoder", EntrySeeds());
  if (!ok) std::fprintf(stderr, "fuzz_seeds: cannot write into %s\n", argv[1]);
  return ok ? 0 : 1;
}
