// Folder helpers where Wine cannot stand for Windows: Wine running as root
// lets CopyFile replace a read-only file, which Windows refuses.
#include <gtest/gtest.h>

#include <filesystem>

#include "install/file_tree.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace ovsetup {
namespace {

using testing::ReadHostFile;
using testing::WriteHostFile;

TEST(FileTreeOnLinux, ReadOnlyTargetBlocksOnlyThatFilesCopy) {
  testing::TempFolder dir;
  WriteHostFile(dir.Host("src/a.txt"), "alpha");
  WriteHostFile(dir.Host("src/b.txt"), "beta");
  WriteHostFile(dir.Host("dst/a.txt"), "kept");
  fs::permissions(dir.Host("dst/a.txt"), fs::perms::owner_write, fs::perm_options::remove);
  install::CopyFolderFiles(dir.core() + "src", dir.core() + "dst");
  EXPECT_EQ("kept", ReadHostFile(dir.Host("dst/a.txt")));
  EXPECT_EQ("beta", ReadHostFile(dir.Host("dst/b.txt")));
}

}  // namespace
}  // namespace ovsetup
