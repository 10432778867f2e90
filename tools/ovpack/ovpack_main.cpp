// ovpack: the release engineer's tool to build, list, verify and extract
// setups (a stub executable with a payload appended).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "payload/entry_decoder.h"
#include "payload/payload_archive.h"
#include "payload/payload_format.h"
#include "payload/signed_image.h"
#include "platform/file_io.h"
#include "platform/path_text.h"
#include "platform/text_codec.h"
#include "tools/ovpack/pack_builder.h"
#include "tools/ovpack/pack_checks.h"
#include "tools/ovpack/release_checks.h"
#include "tools/shown_text.h"

namespace {

using namespace ovsetup;

constexpr int kOk = 0, kFailed = 1, kUsage = 2;

const char kHelp[] =
    "usage:\n"
    "  ovpack build --stub STUB --from DIR -o OUT [--codepage CP] [--strict] [--compress]\n"
    "      append a payload of every regular file under DIR to STUB, as OUT\n"
    "      (paths stored with \"\\\" in code page CP, default 936); --compress\n"
    "      stores each file that shrinks LZMA-compressed (setups it builds\n"
    "      read only with this version of the setup and ovpack)\n"
    "  ovpack list [--codepage CP] FILE\n"
    "      one line per entry: size, then path; for a compressed setup the\n"
    "      stored size, the file's size, then path\n"
    "  ovpack verify [--codepage CP] [--strict] FILE\n"
    "      check the payload as the setup reads it, plus ascending offsets,\n"
    "      the end marker, the folder-before-subfolder order and paths that\n"
    "      differ only in letter case, and that each compressed body decodes;\n"
    "      say whether it is signed (the signature's trust is the signing\n"
    "      tool's to check) and whether its\n"
    "      integrity record holds (\"integrity: ok\", \"integrity: damaged\",\n"
    "      \"no integrity record\"); list and extract refuse a damaged setup\n"
    "  ovpack extract [--drivers] FILE TARGET\n"
    "      extract as the setup does: everything but MXDriver (\"Contour\" into\n"
    "      the Windows folder), or with --drivers only the driver kits\n"
    "  build and verify warn when an install would miss a file it names or a\n"
    "  stored path would pass 259 characters in an install's folder;\n"
    "  --strict makes those warnings errors\n"
    "exit status: 0 success, 1 failure, 2 usage error\n";

int Usage(const char* problem) {
  std::fprintf(stderr, "ovpack: %s\n%s", problem, kHelp);
  return kUsage;
}

void ReportFault(const std::string& file, const payload::WalkResult& result, unsigned code_page) {
  const char* why = payload::DescribeFault(result.fault);
  if (payload::IsDamage(result.fault))
    std::fprintf(stderr, "ovpack: %s: integrity: damaged — %s\n", file.c_str(), why);
  else if (!result.at_entry)
    std::fprintf(stderr, "ovpack: %s: %s\n", file.c_str(), why);
  else if (result.path.empty())
    std::fprintf(stderr, "ovpack: %s: entry %u: %s\n", file.c_str(), result.entry, why);
  else
    std::fprintf(stderr, "ovpack: %s: entry %u \"%s\": %s\n", file.c_str(), result.entry,
                 tools::ShownText(result.path, code_page).c_str(), why);
  if (!result.target.empty())
    std::fprintf(stderr, "ovpack: %s: file \"%s\", Windows error %u\n", file.c_str(),
                 tools::ShownText(result.target, code_page).c_str(), result.system_error);
}

class ListVisitor : public payload::EntryVisitor {
 public:
  explicit ListVisitor(unsigned code_page) : code_page_(code_page) {}
  void OnCompression(bool compressed) override { compressed_ = compressed; }
  payload::PayloadFault OnEntry(const payload::PayloadEntry& entry,
                                platform::InputFile&) override {
    const std::string shown = tools::ShownText(entry.path, code_page_);
    if (compressed_) std::printf("%10u %10u  %s\n", entry.BodySize(), entry.decoded_size, shown.c_str());
    else std::printf("%10u  %s\n", entry.BodySize(), shown.c_str());
    return payload::PayloadFault::kNone;
  }

 private:
  unsigned code_page_;
  bool compressed_ = false;
};

// Counts what a body decodes to, and keeps nothing.
class DecodedCount : public payload::DecodedSink {
 public:
  bool Take(const unsigned char*, std::size_t) override { return true; }
};

// Decodes the compressed body of `entry` to nowhere: kNone, kBodyRead or
// kDamagedBody.
payload::PayloadFault CheckDecodes(const payload::PayloadEntry& entry, platform::InputFile& file) {
  if (!entry.compressed) return payload::PayloadFault::kNone;
  DecodedCount sink;
  payload::EntryDecoder decoder(entry.decoded_size, sink);
  std::vector<unsigned char> piece(payload::kCopyBufferSize);
  if (!file.Seek(entry.BodyOffset())) return payload::PayloadFault::kBodyRead;
  for (std::size_t left = entry.BodySize(); left > 0;) {
    const std::size_t size = left < piece.size() ? left : piece.size();
    if (!file.Read(piece.data(), size)) return payload::PayloadFault::kBodyRead;
    if (const payload::PayloadFault fault = decoder.Feed(piece.data(), size);
        fault != payload::PayloadFault::kNone)
      return fault;
    left -= size;
  }
  return decoder.Finish();
}

// Collects what the extractor would accept but a well-built payload never
// holds.
class VerifyVisitor : public payload::EntryVisitor {
 public:
  explicit VerifyVisitor(unsigned code_page) : code_page_(code_page), twins_(code_page) {}

  void OnTable(std::uint64_t length, const std::uint32_t* offsets,
               std::uint32_t count) override {
    const std::uint64_t table = length - 4 - 4ull * count;
    if (offsets[count - 1] != table)
      problems_.push_back("end marker " + std::to_string(offsets[count - 1]) +
                          " is not the start of the offset table (" + std::to_string(table) + ")");
  }

  payload::PayloadFault OnEntry(const payload::PayloadEntry& entry,
                                platform::InputFile& file) override {
    if (const payload::PayloadFault fault = CheckDecodes(entry, file);
        fault != payload::PayloadFault::kNone)
      return fault;
    for (const std::string& problem : {order_.Next(entry.folder), twins_.Next(entry.path)})
      if (!problem.empty())
        problems_.push_back("entry " + std::to_string(entry.index) + " \"" +
                            tools::ShownText(entry.path, code_page_) + "\": " + problem);
    return payload::PayloadFault::kNone;
  }

  const std::vector<std::string>& problems() const { return problems_; }

 private:
  unsigned code_page_;
  ovpack::FolderOrderCheck order_;
  ovpack::CaseTwinCheck twins_;
  std::vector<std::string> problems_;
};

// Prints whether `path` (shown as `file`) is signed, and the size of its
// certificate table.
void ReportSignature(const std::string& file, const std::string& path) {
  platform::InputFile in;
  std::uint64_t length = 0;
  if (!in.Open(path) || !in.Length(&length)) return;  // the walk reports it
  const payload::CertificateTable table = payload::ReadSecurityDirectory(in, length);
  if (table.SignsFile(length))
    std::printf("%s: signed, certificate table of %u bytes at offset %u\n", file.c_str(),
                table.size, table.offset);
  else
    std::printf("%s: not signed\n", file.c_str());
}

// Parses "--codepage CP" at args[*i]; false on a bad value.
bool TakeCodePage(const std::vector<std::string>& args, std::size_t* i, unsigned* code_page) {
  if (*i + 1 >= args.size()) return false;
  char* end = nullptr;
  const unsigned long value = std::strtoul(args[*i + 1].c_str(), &end, 10);
  if (*end != '\0' || value == 0 || value > 65535) return false;
  *code_page = static_cast<unsigned>(value);
  ++*i;
  return true;
}

int Build(const std::vector<std::string>& args) {
  ovpack::BuildOptions options;
  bool strict = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool has_value = i + 1 < args.size();
    if (a == "--stub" && has_value) options.stub = args[++i];
    else if (a == "--from" && has_value) options.from = args[++i];
    else if ((a == "-o" || a == "--out") && has_value) options.out = args[++i];
    else if (a == "--strict") strict = true;
    else if (a == "--compress") options.compress = true;
    else if (a == "--codepage") {
      if (!TakeCodePage(args, &i, &options.code_page)) return Usage("--codepage wants a code page number");
    } else return Usage(("build: unexpected argument " + a).c_str());
  }
  if (options.stub.empty() || options.from.empty() || options.out.empty())
    return Usage("build needs --stub, --from and -o");
  options.progress = isatty(2) != 0;
  std::string error;
  if (!ovpack::BuildSetup(options, &error)) {
    std::fprintf(stderr, "ovpack: %s\n", error.c_str());
    return kFailed;
  }
  if (ovpack::ReportReleaseChecks(options.out, platform::PathFromHost(options.out),
                                  options.code_page, strict))
    return kOk;
  std::remove(options.out.c_str());
  return kFailed;
}

int ListOrVerify(const std::vector<std::string>& args, bool verify) {
  unsigned code_page = platform::kCodePageGbk;
  std::string file;
  bool strict = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--codepage") {
      if (!TakeCodePage(args, &i, &code_page)) return Usage("--codepage wants a code page number");
    } else if (verify && args[i] == "--strict") strict = true;
    else if (file.empty()) file = args[i];
    else return Usage(("unexpected argument " + args[i]).c_str());
  }
  if (file.empty()) return Usage("which setup file?");
  const std::string path = platform::PathFromHost(file);
  if (!verify) {
    ListVisitor visitor(code_page);
    const payload::WalkResult result = payload::WalkPayload(path, visitor);
    if (result.ok()) return kOk;
    std::fflush(stdout);
    ReportFault(file, result, code_page);
    return kFailed;
  }
  ReportSignature(file, path);
  VerifyVisitor visitor(code_page);
  const payload::WalkResult result = payload::WalkPayload(path, visitor);
  if (result.fault != payload::PayloadFault::kCannotOpen && !payload::IsDamage(result.fault))
    std::printf(result.has_record ? "%s: integrity: ok\n" : "%s: no integrity record\n",
                file.c_str());
  for (const std::string& problem : visitor.problems())
    std::fprintf(stderr, "ovpack: %s: %s\n", file.c_str(), problem.c_str());
  if (!result.ok()) ReportFault(file, result, code_page);
  if (!result.ok() || !visitor.problems().empty()) return kFailed;
  if (!ovpack::ReportReleaseChecks(file, path, code_page, strict)) return kFailed;
  std::printf("%s: %u entries, well formed\n", file.c_str(), result.entry);
  return kOk;
}

int Extract(const std::vector<std::string>& args) {
  payload::Selection selection = payload::Selection::kAll;
  std::vector<std::string> rest;
  for (const std::string& a : args) {
    if (a == "--drivers") selection = payload::Selection::kDriverSubset;
    else rest.push_back(a);
  }
  if (rest.size() != 2) return Usage("extract needs FILE and TARGET");
  const std::string target = platform::WithTrailingSlash(platform::PathFromHost(rest[1]));
  platform::CreateOneFolder(target);
  const payload::PayloadArchive archive(platform::PathFromHost(rest[0]));
  const payload::WalkResult result = archive.Extract(target, selection);
  if (result.ok()) return kOk;
  ReportFault(rest[0], result, platform::kCodePageGbk);
  return kFailed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage("which command?");
  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kHelp, stdout);
    return kOk;
  }
  if (command == "build") return Build(args);
  if (command == "list") return ListOrVerify(args, false);
  if (command == "verify") return ListOrVerify(args, true);
  if (command == "extract") return Extract(args);
  return Usage(("unknown command " + command).c_str());
}
