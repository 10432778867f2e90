// The files an extraction stages and then puts in place, under the setup's
// own temporary names in each target's folder: "~ovsetup-NNN.new" for entry
// NNN's new content while it is written, "~ovsetup-NNN.old" for the old
// content of the file it replaces while the commit runs. Each is created
// new, never through a link; when its name is taken (a file or link laid
// there), the name with a random part, "~ovsetup-NNN-XXXXXXXX.new", is taken
// instead. A stopped run leaves only such names behind, and every target
// whole (old or new content); the next extraction removes them, in both
// forms, from the folders it writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "payload/extraction_progress.h"
#include "platform/file_io.h"

namespace ovsetup::payload {

// Length of a temporary name, in characters ("~ovsetup-012.new").
constexpr std::size_t kTemporaryNameLength = 16;

// The temporary name of entry `index` in `folder` (ending with "\"), for its
// staged content (`old` false) or the old content it replaces.
std::string TemporaryName(const std::string& folder, std::uint32_t index, bool old);

// True for a file name of the temporary pattern (any index, either kind,
// with or without the random part).
bool IsTemporaryName(const std::string& name);

struct ProgressCount;

// Deletes the names of the temporary pattern directly inside `folder`
// (ending with "\"), which a stopped run left (a link as a link, never what
// it leads to); nothing else. Results ignored. Tells `count` (none of its
// work) after each.
void RemoveLeftovers(const std::string& folder, ProgressCount& count);

// Creates entry `index`'s staged file in `folder` (ending with "\") new, as
// `out` (OutputFile::CreateNew: never an existing file, never through a
// link), under its temporary name or, when that is taken, a random form of
// it. `name` gets the name tried last. False with LastFileError() when no
// name could be created.
bool CreateStagedFile(const std::string& folder, std::uint32_t index, platform::OutputFile* out,
                      std::string* name);

// One staged file and where it goes.
struct StagedFile {
  std::string staged;  // its temporary name, written whole
  std::string target;  // the real name it replaces or takes
  std::string old;     // where the old content stays while the commit runs
  std::uint64_t size = 0;
  bool kept_old = false;  // the target existed and `old` holds its content
};

// Bytes done of a total, told to `progress` after each step (Add(0) for a
// step that costs next to nothing).
struct ProgressCount {
  ExtractionProgress* progress = nullptr;
  std::uint64_t done = 0, total = 0;
  void Add(std::uint64_t bytes) {
    done += bytes;
    if (progress != nullptr) progress->Advance(done, total);
  }
};

// Why a commit failed: which file and the Windows error code.
struct CommitFailure {
  std::string target;
  std::uint32_t system_error = 0;
};

// Puts `files` in place in order: first keeps each existing target's content
// under its old name (a second name where the volume has them, else a copy,
// which adds its bytes to `count`'s total and tells them as they are
// copied), then renames each staged file over its target
// (platform::RenameReplacing), telling `count` after each file (no bytes: a
// rename costs next to nothing). When any step fails, every target
// already replaced gets its old content back (a new one is deleted), the
// staged and old files are removed, `failure` says why, and the result is
// false. On success no temporary file is left.
bool CommitStaged(std::vector<StagedFile>& files, ProgressCount& count, CommitFailure* failure);

// Deletes the staged files (an extraction that stops before its commit),
// telling `count` (none of its work) after each file.
void RemoveStaged(const std::vector<StagedFile>& files, ProgressCount& count);

}  // namespace ovsetup::payload
