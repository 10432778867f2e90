// Folder helpers where Wine cannot stand for Windows: Wine running as root
// lets CopyFile replace a read-only file, which Windows refuses, and Wine 8
// makes no links; real symbolic links play Windows' junctions here.
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

// Emptying never reaches through a link: a folder that is one is unlinked,
// and a link inside a folder is removed as a link.
TEST(FileTreeOnLinux, EmptyingRemovesLinksAndNeverWhatTheyLeadTo) {
  testing::TempFolder dir;
  for (const char* document : {"a.doc", "b.doc", "c.doc"})
    WriteHostFile(dir.Host("docs") / document, document);
  // QVTCad is a link to the documents; QVTAi a real folder holding links.
  fs::create_directories(dir.Host("Orvane/QVTAi"));
  fs::create_directory_symlink(dir.Host("docs"), dir.Host("Orvane/QVTCad"));
  fs::create_symlink(dir.Host("docs/a.doc"), dir.Host("Orvane/QVTAi/a.doc"));
  fs::create_directory_symlink(dir.Host("docs"), dir.Host("Orvane/QVTAi/docs"));
  fs::create_symlink(dir.Host("gone"), dir.Host("Orvane/QVTAi/dangling"));
  WriteHostFile(dir.Host("Orvane/QVTAi/own.aip"), "own");

  install::EmptyAndRemoveFolder(dir.core() + "Orvane\\QVTCad");
  install::EmptyFolder(dir.core() + "Orvane\\QVTAi");

  EXPECT_FALSE(fs::exists(fs::symlink_status(dir.Host("Orvane/QVTCad"))));
  for (const char* document : {"a.doc", "b.doc", "c.doc"})
    EXPECT_EQ(document, ReadHostFile(dir.Host("docs") / document));
  for (const char* gone : {"own.aip", "a.doc", "dangling"})
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir.Host("Orvane/QVTAi") / gone))) << gone;
  EXPECT_TRUE(fs::is_symlink(dir.Host("Orvane/QVTAi/docs")));  // a folder entry: passed over
}

}  // namespace
}  // namespace ovsetup
