// Folder helpers shared by the installs. They work on one folder level: the
// files directly inside a folder, never its subfolders. Paths are in the ANSI
// code page with "\" as separator. Failures are not reported: a file that
// cannot be copied or deleted is passed over.
#pragma once

#include <functional>
#include <string>

#include "platform/file_ops.h"

namespace ovsetup::install {

// 1 when `path` (without a trailing "\") names an existing folder, else 0.
int FolderExists(std::string path);

// Non-zero when at least one file or folder matches `pattern`, a path whose
// last part may hold the wildcards "*" and "?"; else 0.
int PathExists(std::string pattern);

// Reads the file `source` and writes it into a new file beside `target`,
// then renames that over `target` (a link or second name there is replaced,
// never written through); it comes out writable whatever the source's
// attributes. The bytes go in pieces of at most 512000 bytes, each told to
// `pieces` when set. A source that cannot be read leaves the target
// untouched. True when the copy was made.
bool CopyFileByContent(const std::string& source, const std::string& target,
                       const platform::CopyPieces& pieces = {});

// As CopyFileByContent into a scratch file the caller names (ending with
// ".new") and removes: `*scratch` is created new, never through a link
// (platform::UnderFreeName: a random form of it when the name is taken) and
// names the file made; a failed copy leaves none.
bool CopyFileByContentToNew(const std::string& source, std::string* scratch,
                            const platform::CopyPieces& pieces = {});

// Copies every file directly inside `source` into `target` (an existing
// folder that platform::MayWriteInto, else nothing is copied) with the
// platform copy, passing over a source file that is a link or has more than
// one name (platform::IsSingleNamedFile): an existing target file is
// replaced unless it is read-only, and the copy keeps the source's
// attributes. An empty `source` or `target` does nothing. A trailing "\" is
// optional on both.
// `pieces`, when set, is told each piece of each copy as it goes
// (platform::CopyOneFile) and once after every file.
void CopyFolderFiles(std::string source, std::string target,
                     const platform::CopyPieces& pieces = {});

// As CopyFolderFiles, but each file is read and written into a new or
// truncated target file (CopyFileByContent), which comes out writable
// whatever the source's attributes.
void CopyFolderFilesByContent(std::string source, std::string target,
                              const platform::CopyPieces& pieces = {});

// Asked before a copy replaces `target` with `source`; false passes the file
// over and leaves `target` as it is.
using MayReplace = std::function<bool(const std::string& source, const std::string& target)>;

// CopyFolderFilesByContent, asking `may_replace` first for each file.
void CopyFolderFilesByContentIf(std::string source, std::string target,
                                const MayReplace& may_replace,
                                const platform::CopyPieces& pieces = {});

// Deletes every file directly inside `folder`; subfolders and their contents
// stay, and a file that is a link is removed as a link. A `folder` that is
// itself a link (junction, symbolic link, mount point) is not emptied: the
// link is removed and what it leads to stays untouched. An empty `folder`
// does nothing. The folder is held while its files are deleted
// (platform::HeldFolder), so that swapping it for a link midway deletes
// nothing elsewhere. `ticks`, when set, is told (no bytes) after every file.
void EmptyFolder(std::string folder, const platform::CopyPieces& ticks = {});

// EmptyFolder, then removes the folder itself; a folder that still holds
// anything (a subfolder) stays, and a link is never followed. Nothing is
// reported.
void EmptyAndRemoveFolder(const std::string& folder, const platform::CopyPieces& ticks = {});

}  // namespace ovsetup::install
