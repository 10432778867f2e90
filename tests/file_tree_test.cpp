// The folder helpers on real temp folders: natively through the Linux
// stand-in, under Wine through the Win32 calls.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "install/file_tree.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace ovsetup {
namespace {

using install::CopyFolderFiles;
using install::CopyFolderFilesByContent;
using install::EmptyFolder;
using install::FolderExists;
using install::PathExists;
using testing::ReadHostFile;
using testing::TempFolder;
using testing::WriteHostFile;

bool ReadOnly(const fs::path& path) {
  return (fs::status(path).permissions() & fs::perms::owner_write) == fs::perms::none;
}

void SetReadOnly(const fs::path& path) {
  fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
}

// "src\" with two files (one without a dot) and a subfolder with a file;
// "dst\" empty.
class FileTree : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteHostFile(dir_.Host("src/a.txt"), "alpha");
    WriteHostFile(dir_.Host("src/README"), "no dot");
    WriteHostFile(dir_.Host("src/sub/inner.txt"), "inner");
    fs::create_directories(dir_.Host("dst"));
  }
  // Read-only files would outlive the folder on Windows.
  void TearDown() override {
    for (auto& entry : fs::recursive_directory_iterator(dir_.host()))
      fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add);
  }

  std::string Core(const std::string& relative) const {
    std::string path = dir_.core() + relative;
    for (char& c : path)
      if (c == '/') c = '\\';
    return path;
  }
  fs::path Host(const std::string& relative) const { return dir_.Host(relative); }

  TempFolder dir_;
};

using CopyHelper = void (*)(std::string, std::string, const platform::CopyPieces&);

const struct {
  const char* name;
  CopyHelper copy;
} kCopies[] = {
    {"CopyFolderFiles", CopyFolderFiles},
    {"CopyFolderFilesByContent", CopyFolderFilesByContent},
};

TEST_F(FileTree, CopiesTheFilesOfOneLevelOverExistingOnes) {
  for (const auto& helper : kCopies) {
    for (const char* separator : {"", "\\"}) {
      SCOPED_TRACE(std::string(helper.name) + " separator '" + separator + "'");
      fs::remove_all(Host("dst"));
      WriteHostFile(Host("dst/a.txt"), "an older and longer alpha");
      helper.copy(Core("src") + separator, Core("dst") + separator, {});
      EXPECT_EQ("alpha", ReadHostFile(Host("dst/a.txt")));
      EXPECT_EQ("no dot", ReadHostFile(Host("dst/README")));
      EXPECT_FALSE(fs::exists(Host("dst/sub")));
      EXPECT_EQ("inner", ReadHostFile(Host("src/sub/inner.txt")));
    }
  }
}

TEST_F(FileTree, ReadOnlySourceCopiesReadOnlyOnlyByPlatformCopy) {
  WriteHostFile(Host("ro/locked.ini"), "[BaseCfg]");
  SetReadOnly(Host("ro/locked.ini"));
  const struct {
    CopyHelper copy;
    bool read_only_copy;
  } rows[] = {{CopyFolderFiles, true}, {CopyFolderFilesByContent, false}};
  for (const auto& row : rows) {
    fs::create_directories(Host("out"));
    row.copy(Core("ro"), Core("out"), {});
    EXPECT_EQ("[BaseCfg]", ReadHostFile(Host("out/locked.ini")));
    EXPECT_EQ(row.read_only_copy, ReadOnly(Host("out/locked.ini")));
    fs::permissions(Host("out/locked.ini"), fs::perms::owner_write, fs::perm_options::add);
    fs::remove_all(Host("out"));
  }
}

TEST_F(FileTree, MissingSourceOrEmptyPathsTouchNothing) {
  CopyFolderFiles(Core("absent"), Core("dst"));
  CopyFolderFilesByContent(Core("absent"), Core("dst"));
  CopyFolderFiles("", Core("dst"));
  CopyFolderFilesByContent("", Core("dst"));
  EXPECT_TRUE(fs::is_empty(Host("dst")));

  // An empty target would otherwise mean the root of the current drive.
  const fs::path root_file = fs::current_path().root_path() / "a.txt";
  const bool was_there = fs::exists(root_file);
  CopyFolderFiles(Core("src"), "");
  CopyFolderFilesByContent(Core("src"), "");
  EXPECT_EQ(was_there, fs::exists(root_file));

  EmptyFolder("");
  EmptyFolder(Core("absent"));
  EXPECT_EQ("alpha", ReadHostFile(Host("src/a.txt")));
}

TEST_F(FileTree, EmptyFolderDeletesFilesButNotSubfoldersOrReadOnlyFiles) {
  WriteHostFile(Host("src/locked.txt"), "locked");
  SetReadOnly(Host("src/locked.txt"));
  EmptyFolder(Core("src"));
  EXPECT_FALSE(fs::exists(Host("src/a.txt")));
  EXPECT_FALSE(fs::exists(Host("src/README")));
  EXPECT_TRUE(fs::exists(Host("src/locked.txt")));
  EXPECT_EQ("inner", ReadHostFile(Host("src/sub/inner.txt")));
}

TEST_F(FileTree, ByContentCopiesEmptyAndLargeFilesExactly) {
  std::string large(3 * 1024 * 1024 + 7, '\0');
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 251 + 3);
  WriteHostFile(Host("big/large.bin"), large);
  WriteHostFile(Host("big/empty.bin"), "");
  fs::create_directories(Host("out"));
  CopyFolderFilesByContent(Core("big"), Core("out"));
  EXPECT_EQ(large, ReadHostFile(Host("out/large.bin")));
  EXPECT_TRUE(fs::exists(Host("out/empty.bin")));
  EXPECT_EQ(0u, fs::file_size(Host("out/empty.bin")));
}

TEST_F(FileTree, FolderAndPathQueries) {
  const struct {
    const char* path;
    int folder_exists;
    int path_exists;
  } rows[] = {
      {"src", 1, 1},
      {"src/sub", 1, 1},
      {"src/a.txt", 0, 1},
      {"src/A.TXT", 0, 1},  // names match regardless of case
      {"src/missing", 0, 0},
      {"absent/a.txt", 0, 0},
      {"src/", 0, 0},  // the search takes no trailing separator
      {"src/*.txt", 0, 1},
      {"src/*.ini", 0, 0},
      {"src/?.txt", 0, 1},
      {"src/?.tx", 0, 0},
      {"src/readme", 0, 1},
      {"src/READ*", 0, 1},
      {"src/sub/*.*", 1, 1},  // the folder's own "." entry comes first
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    EXPECT_EQ(row.folder_exists, FolderExists(Core(row.path)));
    EXPECT_EQ(row.path_exists, PathExists(Core(row.path)) != 0);
  }
}

TEST_F(FileTree, StarDotStarMatchesNamesWithoutADot) {
  WriteHostFile(Host("plain/acad"), "x");
  EXPECT_NE(0, PathExists(Core("plain/*.*")));
  EXPECT_NE(0, PathExists(Core("plain/ac*.*")));
  EXPECT_EQ(0, PathExists(Core("plain/b*.*")));
  fs::create_directories(Host("out"));
  CopyFolderFiles(Core("plain"), Core("out"));
  EXPECT_EQ("x", ReadHostFile(Host("out/acad")));
  EmptyFolder(Core("plain"));
  EXPECT_FALSE(fs::exists(Host("plain/acad")));
}

}  // namespace
}  // namespace ovsetup
