// The checked copy and the kept old file on a real temp folder: natively
// through the Linux stand-in, under Wine through the Win32 calls.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "install/kept_copy.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace ovsetup {
namespace {

using install::Delivery;
using install::KeepOld;

// "-": nothing there; "/": a folder; anything else: a file of those bytes.
void Put(const fs::path& path, const std::string& what) {
  if (what == "/") fs::create_directories(path);
  else if (what != "-") testing::WriteHostFile(path, what);
}
std::string Got(const fs::path& path) {
  return !fs::exists(path) ? "-" : fs::is_directory(path) ? "/" : testing::ReadHostFile(path);
}

TEST(KeptCopy, DeliverFileKeepsWhatDiffersAndTellsWhyItFailed) {
  const std::string big(200 * 1024, 'x');  // several compare chunks
  const struct {
    const char* name;
    std::string source, target, bak;
    KeepOld keep;
    Delivery result;
    std::string want_target, want_bak;
  } rows[] = {
      {"new file", "new", "-", "-", KeepOld::Yes, Delivery::Delivered, "new", "-"},
      {"same bytes", "same", "same", "older", KeepOld::Yes, Delivery::Delivered, "same", "older"},
      {"differs", "new", "user", "older", KeepOld::Yes, Delivery::Delivered, "new", "user"},
      {"differs in the last chunk", big + "a", big + "b", "-", KeepOld::Yes, Delivery::Delivered,
       big + "a", big + "b"},
      {"not kept unless asked", "new", "user", "-", KeepOld::No, Delivery::Delivered, "new", "-"},
      {"folder at the target", "new", "/", "-", KeepOld::Yes, Delivery::TargetUnwritable, "/", "-"},
      {"backup impossible", "new", "user", "/", KeepOld::Yes, Delivery::TargetUnwritable, "user",
       "/"},
      {"source missing", "-", "user", "-", KeepOld::Yes, Delivery::SourceMissing, "user", "-"},
  };
  testing::TempFolder dir;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const fs::path folder = dir.Host(row.name);
    fs::create_directories(folder);
    Put(folder / "src.lsp", row.source);
    Put(folder / "acad.lsp", row.target);
    Put(folder / "acad.lsp.bak", row.bak);
    const std::string core = testing::CorePath(folder) + "\\";
    EXPECT_EQ(row.result, install::DeliverFile(core + "src.lsp", core + "acad.lsp", row.keep));
    EXPECT_EQ(row.want_target, Got(folder / "acad.lsp"));
    EXPECT_EQ(row.want_bak, Got(folder / "acad.lsp.bak"));
  }
}

}  // namespace
}  // namespace ovsetup
