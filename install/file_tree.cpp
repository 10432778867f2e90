#include "install/file_tree.h"

#include <utility>

#include "platform/file_io.h"
#include "platform/file_ops.h"
#include "platform/free_name.h"
#include "platform/path_text.h"
#include "platform/whole_file.h"

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

bool CopyFileByContent(const std::string& source, const std::string& target) {
  // Written under a new name beside it, then renamed over it: a target that
  // is a link, or has another name, is replaced, never written through.
  std::string scratch = target + ".new";
  if (!CopyFileByContentToNew(source, &scratch)) return false;
  if (platform::RenameReplacing(scratch, target)) return true;
  (void)platform::DeleteOneFile(scratch);
  return false;
}

bool CopyFileByContentToNew(const std::string& source, std::string* scratch) {
  std::size_t size = 0;
  const std::unique_ptr<char[]> buffer = platform::ReadWholeFile(source, &size);
  platform::OutputFile out;
  if (!buffer || !platform::UnderFreeName(scratch, 4, [&out](const std::string& path) {
        return out.CreateNew(path);
      }))
    return false;
  if (out.Write(buffer.get(), size) && out.Close()) return true;
  (void)out.Close();
  (void)platform::DeleteOneFile(*scratch);
  return false;
}

bool MayWriteInto(const std::string& folder) {
  return !platform::IsLink(folder) || platform::IsTrustedLink(folder);
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

void CopyFolderFiles(std::string source, std::string target) {
  if (source.empty() || target.empty() || !MayWriteInto(target)) return;
  source = platform::WithTrailingSlash(source);
  target = platform::WithTrailingSlash(target);
  ForEachFile(source, [&target](const std::string& path, const std::string& name) {
    if (platform::IsSingleNamedFile(path)) (void)platform::CopyOneFile(path, target + name, false);
  });
}

void CopyFolderFilesByContentIf(std::string source, std::string target,
                                const MayReplace& may_replace) {
  if (source.empty() || target.empty() || !MayWriteInto(target)) return;
  source = platform::WithTrailingSlash(source);
  target = platform::WithTrailingSlash(target);
  ForEachFile(source, [&target, &may_replace](const std::string& path, const std::string& name) {
    if (platform::IsSingleNamedFile(path) && may_replace(path, target + name))
      (void)CopyFileByContent(path, target + name);
  });
}

void CopyFolderFilesByContent(std::string source, std::string target) {
  CopyFolderFilesByContentIf(std::move(source), std::move(target),
                             [](const std::string&, const std::string&) { return true; });
}

void EmptyFolder(std::string folder, const std::function<void()>& after_each) {
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
  ForEachFile(folder, [&held, &after_each](const std::string&, const std::string& name) {
    (void)held.DeleteFileIn(name);
    if (after_each) after_each();
  });
}

void EmptyAndRemoveFolder(const std::string& folder) {
  EmptyFolder(folder);
  platform::RemoveOneFolder(folder);
}

}  // namespace ovsetup::install
