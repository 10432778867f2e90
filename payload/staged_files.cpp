#include "payload/staged_files.h"

#include <utility>

#include "platform/file_io.h"
#include "platform/file_ops.h"
#include "platform/free_name.h"

namespace ovsetup::payload {
namespace {

constexpr char kPrefix[] = "~ovsetup-";
constexpr std::size_t kPrefixLength = sizeof kPrefix - 1;
constexpr std::size_t kIndexDigits = 3;  // entries 0..598
constexpr std::size_t kKindLength = 4;  // ".new", ".old"

static_assert(kPrefixLength + kIndexDigits + 4 == kTemporaryNameLength,
              "prefix, three digits and the kind make a temporary name");

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f'); }

// The size of the file `path`; 0 when it cannot be read.
std::uint64_t SizeOf(const std::string& path) {
  platform::InputFile file;
  std::uint64_t size = 0;
  return file.Open(path) && file.Length(&size) ? size : 0;
}

// Keeps the content of `file.target`, if there is one, under `file.old`;
// a copy (no second names on the volume) counts its bytes in `count`.
// False only when a target that exists could not be kept.
// The old name is made new (a second name, or a copy that fails on an
// existing name), never written through a link laid there.
bool KeepOld(StagedFile& file, ProgressCount& count) {
  std::uint32_t error = 0;
  bool counted = false;  // a copy's bytes join the total once
  const bool kept = platform::UnderFreeName(&file.old, kKindLength, [&](const std::string& old) {
    if (platform::MakeHardLink(file.target, old)) return true;
    error = platform::LastFileError();
    if (error == platform::kErrorFileNotFound || error == platform::kErrorPathNotFound)
      return false;
    if (!std::exchange(counted, true)) count.total += SizeOf(file.target);
    return platform::CopyOneFile(file.target, old, true,
                                 [&count](std::uint64_t bytes) { count.Add(bytes); });
  });
  if (kept) {
    file.kept_old = true;
    return true;
  }
  return error == platform::kErrorFileNotFound || error == platform::kErrorPathNotFound;
}

// Gives `file.target` back what it held before the commit.
void Restore(const StagedFile& file) {
  if (file.kept_old) (void)platform::RenameReplacing(file.old, file.target);
  else (void)platform::DeleteOneFile(file.target);
}

void RemoveTemporaries(const std::vector<StagedFile>& files, ProgressCount& count) {
  for (const StagedFile& file : files) {
    (void)platform::DeleteOneFile(file.staged);
    if (file.kept_old) (void)platform::DeleteOneFile(file.old);
    count.Add(0);
  }
}

}  // namespace

std::string TemporaryName(const std::string& folder, std::uint32_t index, bool old) {
  std::string name = folder + kPrefix;
  for (std::uint32_t scale = 100; scale > 0; scale /= 10)
    name += static_cast<char>('0' + index / scale % 10);
  return name + (old ? ".old" : ".new");
}

bool IsTemporaryName(const std::string& name) {
  const bool random = name.size() == kTemporaryNameLength + platform::kRandomPartLength;
  if ((name.size() != kTemporaryNameLength && !random) ||
      name.compare(0, kPrefixLength, kPrefix) != 0)
    return false;
  std::size_t at = kPrefixLength;
  for (; at < kPrefixLength + kIndexDigits; ++at)
    if (!IsDigit(name[at])) return false;
  if (random) {
    if (name[at++] != '-') return false;
    for (const std::size_t end = at + platform::kRandomPartLength - 1; at < end; ++at)
      if (!IsHexDigit(name[at])) return false;
  }
  const std::string kind = name.substr(at);
  return kind == ".new" || kind == ".old";
}

void RemoveLeftovers(const std::string& folder, ProgressCount& count) {
  platform::FileSearch search;
  platform::FoundEntry entry;
  for (bool more = search.First(folder + kPrefix + "*", &entry); more; more = search.Next(&entry)) {
    if (!IsTemporaryName(entry.name)) continue;
    const std::string path = folder + entry.name;
    if (platform::IsLink(path)) (void)platform::RemoveLink(path);
    else if (!entry.is_folder) (void)platform::DeleteOneFile(path);
    count.Add(0);
  }
}

bool CreateStagedFile(const std::string& folder, std::uint32_t index, platform::OutputFile* out,
                      std::string* name) {
  *name = TemporaryName(folder, index, false);
  return platform::UnderFreeName(name, kKindLength,
                                 [out](const std::string& path) { return out->CreateNew(path); });
}

bool CommitStaged(std::vector<StagedFile>& files, ProgressCount& count, CommitFailure* failure) {
  std::size_t placed = 0;
  bool ok = true;
  for (StagedFile& file : files) {
    if (!KeepOld(file, count)) {
      ok = false;
      failure->target = file.target;
      failure->system_error = platform::LastFileError();
      break;
    }
    count.Add(0);
  }
  for (; ok && placed < files.size(); ++placed) {
    StagedFile& file = files[placed];
    if (!platform::RenameReplacing(file.staged, file.target)) {
      failure->target = file.target;
      failure->system_error = platform::LastFileError();
      ok = false;
      break;
    }
    count.Add(0);
  }
  if (!ok) {
    // Newest first, so that a target named twice ends with what it held.
    while (placed > 0) Restore(files[--placed]);
  }
  RemoveTemporaries(files, count);
  return ok;
}

void RemoveStaged(const std::vector<StagedFile>& files, ProgressCount& count) {
  for (const StagedFile& file : files) {
    (void)platform::DeleteOneFile(file.staged);
    count.Add(0);
  }
}

}  // namespace ovsetup::payload
