#include "install/file_tree.h"

#include <cstdint>
#include <memory>
#include <utility>

#include "platform/file_io.h"
#include "platform/file_ops.h"
#include "platform/free_name.h"
#include "platform/path_text.h"
#include "platform/written_folders.h"

namespace ovsetup::install {
namespace {

using platform::FileSearch;
using platform::FoundEntry;

// Calls `action(path, name)` for every file directly inside `folder` (which
// ends with "\"), in the order the search delivers them.
template <typename Action>
void ForEachFile(const std::string& folder, Action action) {
  FileSearch search;
  FoundEntry entry;
  for (bool found = search.First(folder + "*.*", &entry); found; found = search.Next(&entry)) {
    if (entry.name == "." || entry.name == ".." || entry.is_folder) continue;
    action(folder + entry.name, entry.name);
  }
}

}  // namespace

bool CopyFileByContent(const std::string& source, const std::string& target,
                       const platform::CopyPieces& pieces) {
  // Written under a new name beside it, then renamed over it: a target that
  // is a link, or has another name, is replaced, never written through.
  std::string scratch = target + ".new";
  if (!CopyFileByContentToNew(source, &scratch, pieces)) return false;
  if (platform::RenameReplacing(scratch, target)) return true;
  (void)platform::DeleteOneFile(scratch);
  return false;
}

bool CopyFileByContentToNew(const std::string& source, std::string* scratch,
                            const platform::CopyPieces& pieces) {
  constexpr std::size_t kPiece = platform::kCopyPieceSize;
  platform::InputFile in;
  std::uint64_t left = 0;
  if (!in.Open(source) || !in.Length(&left)) return false;
  const std::unique_ptr<char[]> buffer(new char[kPiece]);
  platform::OutputFile out;
  if (!platform::UnderFreeName(scratch, 4,
                               [&out](const std::string& path) { return out.CreateNew(path); }))
    return false;
  while (left > 0) {
    const std::size_t piece = left < kPiece ? static_cast<std::size_t>(left) : kPiece;
    if (!in.Read(buffer.get(), piece) || !out.Write(buffer.get(), piece)) break;
    left -= piece;
    if (pieces) pieces(piece);
  }
  if (left == 0 && out.Close()) return true;
  (void)out.Close();
  (void)platform::DeleteOneFile(*scratch);
  return false;
}

int FolderExists(std::string path) {
  FileSearch search;
  FoundEntry entry;
  return search.First(path, &entry) && entry.is_folder ? 1 : 0;
}

int PathExists(std::string pattern) {
  FileSearch search;
  FoundEntry entry;
  return search.First(pattern, &entry) ? 1 : 0;
}

void CopyFolderFiles(std::string source, std::string target, const platform::CopyPieces& pieces) {
  if (source.empty() || target.empty() || !platform::MayWriteInto(target)) return;
  source = platform::WithTrailingSlash(source);
  target = platform::WithTrailingSlash(target);
  ForEachFile(source, [&target, &pieces](const std::string& path, const std::string& name) {
    if (platform::IsSingleNamedFile(path))
      (void)platform::CopyOneFile(path, target + name, false, pieces);
    if (pieces) pieces(0);
  });
}

void CopyFolderFilesByContentIf(std::string source, std::string target,
                                const MayReplace& may_replace, const platform::CopyPieces& pieces) {
  if (source.empty() || target.empty() || !platform::MayWriteInto(target)) return;
  source = platform::WithTrailingSlash(source);
  target = platform::WithTrailingSlash(target);
  ForEachFile(source, [&](const std::string& path, const std::string& name) {
    if (platform::IsSingleNamedFile(path) && may_replace(path, target + name))
      (void)CopyFileByContent(path, target + name, pieces);
    if (pieces) pieces(0);
  });
}

void CopyFolderFilesByContent(std::string source, std::string target,
                              const platform::CopyPieces& pieces) {
  CopyFolderFilesByContentIf(std::move(source), std::move(target),
                             [](const std::string&, const std::string&) { return true; }, pieces);
}

void EmptyFolder(std::string folder, const platform::CopyPieces& ticks) {
  if (folder.empty()) return;
  folder = platform::WithTrailingSlash(folder);
  // A link may lead into anyone's folder (a junction laid in C:\ by a user
  // without rights, say): the link goes, its target stays as it is.
  if (platform::IsLink(folder)) {
    (void)platform::RemoveLink(folder);
    return;
  }
  platform::HeldFolder held;
  if (!held.Open(folder)) return;
  ForEachFile(folder, [&held, &ticks](const std::string&, const std::string& name) {
    (void)held.DeleteFileIn(name);
    if (ticks) ticks(0);
  });
}

void EmptyAndRemoveFolder(const std::string& folder, const platform::CopyPieces& ticks) {
  EmptyFolder(folder, ticks);
  platform::RemoveOneFolder(folder);
}

}  // namespace ovsetup::install
