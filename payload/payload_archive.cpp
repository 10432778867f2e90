#include "payload/payload_archive.h"

#include <memory>

#include "payload/body_output.h"
#include "payload/decode_worker.h"
#include "payload/folder_names.h"
#include "payload/payload_format.h"
#include "payload/payload_hash.h"
#include "payload/piece_reader.h"
#include "payload/staged_files.h"
#include "platform/ansi_text.h"
#include "platform/file_io.h"
#include "platform/file_ops.h"
#include "platform/path_text.h"
#include "platform/written_folders.h"

namespace ovsetup::payload {
namespace {

constexpr std::size_t kMaxPathCharacters = 259;  // what Windows' ANSI file calls take
constexpr std::uint64_t kClusterSize = 4096;      // a file takes whole clusters
constexpr std::uint64_t kSpaceMargin = 1 << 20;   // folders, the file system's own records
constexpr unsigned kAnswerEveryMs = 50;           // the windows answer while a wait lasts

bool IsDriverKitFolder(const std::string& folder) {
  return folder == kUsbDriverFolder || folder == kUsbDriverAmd64Folder ||
         folder == kUsbDriverX86Folder;
}

// One entry as the plan settles it, before anything is written.
struct PlannedEntry {
  PayloadEntry entry;
  std::string header;  // the 400 bytes as stored, hashed in file order
  std::string output;  // where it goes; empty when the selection skips it
  std::string folder;  // the output's folder, ending with "\"
  int volume = 0;      // 0: below the target; 1: the Windows folder (when on another volume)
};

// A volume the extraction writes to: a folder on it and what it stages there
// (the margin counted once anything is).
struct Volume {
  std::string folder;
  std::uint64_t needed = 0;
  void Take(std::uint64_t bytes) {
    if (needed == 0) needed = kSpaceMargin;
    needed += bytes;
  }
};

WalkResult Stop(WalkResult result, PayloadFault fault, const std::string& target = "",
                std::uint32_t system_error = 0) {
  result.fault = fault;
  result.target = target;
  result.system_error = system_error;
  return result;
}

WalkResult StopAt(WalkResult result, const PlannedEntry& planned, PayloadFault fault,
                  const std::string& target, std::uint32_t system_error = 0) {
  result.entry = planned.entry.index;
  result.at_entry = true;
  result.path = planned.entry.path;
  return Stop(result, fault, target, system_error);
}

// A setup whose payload does not match its record's hash.
WalkResult Damaged(WalkResult result) {
  result.at_entry = false;
  result.path.clear();
  return Stop(result, PayloadFault::kDamagedHash);
}

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
  for (const std::string& t : texts)
    if (t == text) return true;
  return false;
}

// The extraction of one call: plan from the headers, check, stage in one
// pass over the payload while hashing it, verify, check the targets, commit.
class StagedExtraction {
 public:
  StagedExtraction(const std::string& target, Selection selection, ExtractionProgress* progress,
                   const std::vector<std::string>& also_replaced, std::uint64_t also_written)
      : target_(target), selection_(selection), also_replaced_(also_replaced) {
    count_.progress = progress;
    volumes_[0].folder = target;
    if (also_written > 0) volumes_[0].Take(also_written);
  }

  WalkResult Run(const platform::SetupFile& setup) {
    WalkResult result = OpenPayload(setup, false, &payload_);
    if (result.ok()) result = Plan(result);
    // A setup that fails its record's hash is damaged, whatever its table
    // says (a record found damaged by itself has no hash to compare).
    if (!result.ok() && result.has_record && result.fault != PayloadFault::kDamagedRecord &&
        result.fault != PayloadFault::kDamagedLength && !HashMatches())
      return Damaged(result);
    if (result.ok()) result = CheckBeforeWriting(result);
    if (!result.ok()) return result;
    std::vector<std::string> cleaned;
    for (const PlannedEntry& planned : plan_) {
      if (planned.output.empty() || Contains(cleaned, planned.folder)) continue;
      RemoveLeftovers(planned.folder, count_);
      cleaned.push_back(planned.folder);
    }

    result = Stage(result);
    if (result.ok()) result = CheckTargets(result);
    if (!result.ok()) {
      RemoveStaged(staged_, count_);
      RemoveMadeFolders();
      return result;
    }
    CommitFailure failure;
    if (!CommitStaged(staged_, count_, &failure)) {
      RemoveMadeFolders();
      return Stop(result, PayloadFault::kCommitFailed, failure.target, failure.system_error);
    }
    return result;
  }

 private:
  // Reads every header, checks each entry as the walk does and settles where
  // it goes; the progress total follows.
  WalkResult Plan(WalkResult result) {
    const std::uint32_t count = static_cast<std::uint32_t>(payload_.offsets.size());
    plan_.reserve(count - 1);
    char header[kHeaderSize];
    for (std::uint32_t i = 0; i + 1 < count; ++i) {
      PlannedEntry planned;
      planned.entry.index = i;
      const PayloadFault fault = ReadEntry(payload_, i, header, &planned.entry);
      planned.header.assign(header, kHeaderSize);
      if (fault != PayloadFault::kNone) return StopAt(result, planned, fault, "");
      const PayloadEntry& entry = planned.entry;
      switch (Route(entry.folder, selection_)) {
        case Destination::kSkip: break;
        case Destination::kUnderTarget: planned.output = target_ + entry.path; break;
        case Destination::kWindowsFolder:
          if (volumes_[1].folder.empty()) {
            std::string windows;
            if (!platform::GetWindowsFolder(&windows))
              return StopAt(result, planned, PayloadFault::kWindowsFolder, "");
            volumes_[1].folder = platform::WithTrailingSlash(windows);
          }
          planned.output = volumes_[1].folder + entry.file_name;
          planned.volume = 1;
          break;
      }
      if (!planned.output.empty()) {
        planned.folder = platform::FolderOf(planned.output);
        const std::uint64_t clusters = (entry.decoded_size + kClusterSize - 1) / kClusterSize;
        volumes_[planned.volume].Take(clusters * kClusterSize);
        if (entry.compressed) count_.total += entry.decoded_size;  // decoded while staged
      }
      // Read (or, without a record, passed over when skipped).
      count_.total += entry.end - entry.begin;
      plan_.push_back(std::move(planned));
    }
    result.entry = count - 1;
    return result;
  }

  // The hash of the payload read whole (a plan that failed on a setup with
  // a record: damage or a faulty table?).
  bool HashMatches() {
    std::uint64_t hash = 0;
    const IntegrityRecord& record = payload_.integrity.record;
    return HashFileRange(payload_.file, record.begin, record.end, &hash,
                         [this](std::uint64_t) { count_.Add(0); }) &&
           hash == record.hash;
  }

  // Every path fits Windows' limit, temporary names included, and every
  // volume has room for what is staged there.
  WalkResult CheckBeforeWriting(WalkResult result) {
    for (const PlannedEntry& planned : plan_) {
      if (planned.output.empty()) continue;
      if (platform::WideLength(planned.output) > kMaxPathCharacters ||
          platform::WideLength(planned.folder) + kTemporaryNameLength > kMaxPathCharacters)
        return StopAt(result, planned, PayloadFault::kPathTooLong, planned.output);
    }
    for (const std::string& path : also_replaced_)
      if (platform::WideLength(path) > kMaxPathCharacters)
        return Stop(result, PayloadFault::kPathTooLong, path);
    if (const std::string link = UntrustedLink(); !link.empty())
      return Stop(result, PayloadFault::kUntrustedLink, link);
    if (!volumes_[1].folder.empty() &&
        platform::VolumeName(volumes_[1].folder) == platform::VolumeName(volumes_[0].folder)) {
      if (volumes_[1].needed > 0) volumes_[0].Take(volumes_[1].needed - kSpaceMargin);
      volumes_[1].folder.clear();
      for (PlannedEntry& planned : plan_) planned.volume = 0;
    }
    for (const Volume& volume : volumes_) {
      std::uint64_t free = 0;
      // A volume that cannot be asked is left to the writes to find out; one
      // that is not written to is not asked.
      if (volume.folder.empty() || volume.needed == 0 ||
          !platform::GetFreeBytes(volume.folder, &free))
        continue;
      if (free < volume.needed) return ShortOf(result, volume);
    }
    return result;
  }

  // The first folder the extraction writes that is a link an administrator
  // alone could not have laid: the target itself, every folder below it that
  // an entry goes to, and the Windows folder; empty when none. The base path
  // above the target is the user's choice and is not looked at. Each such
  // folder that exists and is no link is held from here to the end of the
  // extraction, so that it cannot be swapped for a link in between.
  std::string UntrustedLink() {
    if (!written_.Check(target_)) return target_;
    if (!volumes_[1].folder.empty() && !written_.Check(volumes_[1].folder))
      return volumes_[1].folder;
    for (const PlannedEntry& planned : plan_) {
      if (planned.output.empty() || planned.folder.compare(0, target_.size(), target_) != 0)
        continue;
      for (std::string folder = planned.folder; folder.size() > target_.size();
           folder = platform::FolderOf(platform::WithoutTrailingSlash(folder)))
        if (!written_.Check(folder)) return folder;
    }
    return "";
  }

  WalkResult ShortOf(WalkResult result, const Volume& volume) {
    result = Stop(result, PayloadFault::kDiskFull, volume.folder, platform::kErrorDiskFull);
    result.bytes_needed = volume.needed;
    return result;
  }

  // One pass over the payload in file order: every byte of it hashed when
  // the setup has a record, each written entry staged under its temporary
  // name. Nothing under a real name is touched. Compressed bodies of one
  // piece go to the second decoder while it has room for them.
  WalkResult Stage(WalkResult result) {
    const bool hashing = payload_.integrity.has_record;
    StreamHash hash;
    buffer_.reset(new char[kCopyBufferSize]);
    const WalkResult staged = StageEntries(result, hashing ? &hash : nullptr);
    if (!staged.ok()) decoder_.Drop();
    // The second decoder's bodies come before any the loop stopped at.
    while (decoder_.busy() || decoder_.pending())
      if (const WalkResult decoded = Decoded(result, true); !decoded.ok()) return decoded;
    if (!staged.ok()) return staged;
    if (hashing) {
      hash.Update(payload_.tail.data(), payload_.tail.size());
      if (hash.Digest() != payload_.integrity.record.hash) return Damaged(result);
    }
    return result;
  }

  WalkResult StageEntries(WalkResult result, StreamHash* hash) {
    for (std::size_t i = 0; i < plan_.size(); ++i) {
      const PlannedEntry& planned = plan_[i];
      const PayloadEntry& entry = planned.entry;
      if (const WalkResult decoded = Decoded(result, false); !decoded.ok()) return decoded;
      if (hash != nullptr) hash->Update(planned.header.data(), planned.header.size());
      if (planned.output.empty() && hash == nullptr) {
        count_.Add(entry.end - entry.begin);
        continue;
      }
      count_.Add(kHeaderSize);
      const bool writing = !planned.output.empty();
      DecodeWorker::Body* body = nullptr;
      if (writing && entry.compressed && entry.BodySize() <= kCopyBufferSize &&
          decoder_.CanTake(entry.BodySize()))
        body = &decoder_.Add(entry, i, entry.BodySize());
      platform::OutputFile own;
      platform::OutputFile& out = body != nullptr ? body->out : own;
      if (writing) {
        if (platform::CreateOneFolder(planned.folder)) made_folders_.push_back(planned.folder);
        StagedFile file;
        file.old = TemporaryName(planned.folder, entry.index, true);
        file.target = planned.output;
        file.size = entry.decoded_size;
        if (!CreateStagedFile(planned.folder, entry.index, &out, &file.staged))
          return StopAt(result, planned, PayloadFault::kCannotCreate, file.staged,
                        platform::LastFileError());
        staged_.push_back(file);
        if (body != nullptr) body->staged = file.staged;
      }
      const PayloadFault fault = body != nullptr ? ReadWhole(entry, body->stored.get(), hash)
                                                 : CopyBody(entry, out, writing, hash);
      if (fault != PayloadFault::kNone)
        return EntryFailed(result, planned, fault, platform::LastFileError(),
                           writing ? staged_.back().staged : "");
    }
    return result;
  }

  // Collects the second decoder's batch when it is done (waiting for it,
  // the windows answering, when `wait`) and hands it the bodies waiting
  // for it: `result`, or how a body failed. Bodies that wait when a batch
  // failed are dropped (their files closed).
  WalkResult Decoded(WalkResult result, bool wait) {
    if (decoder_.busy()) {
      if (!wait && !decoder_.Wait(0)) return result;
      while (!decoder_.Wait(kAnswerEveryMs)) count_.Add(0);
      const DecodeWorker::Result done = decoder_.Collect();
      if (done.fault != PayloadFault::kNone) {
        decoder_.Drop();
        return EntryFailed(result, plan_[done.tag], done.fault, done.system_error, done.staged);
      }
      count_.Add(done.written);
    }
    if (decoder_.pending() && !decoder_.busy()) decoder_.Hand();
    return result;
  }

  // The result of a body that failed to stage into `staged`.
  WalkResult EntryFailed(WalkResult result, const PlannedEntry& planned, PayloadFault fault,
                         std::uint32_t error, const std::string& staged) {
    if (fault == PayloadFault::kDamagedBody)  // damaged bytes, or damaged when packed?
      return HashMatches() ? StopAt(result, planned, fault, "") : Damaged(result);
    if (fault == PayloadFault::kBodyWrite && !staged.empty() && error == platform::kErrorDiskFull)
      return ShortOf(result, volumes_[planned.volume]);
    return StopAt(result, planned, fault, staged, error);
  }

  // Reads the body of `entry` whole into `stored`, hashing it into `hash`
  // when given.
  PayloadFault ReadWhole(const PayloadEntry& entry, char* stored, StreamHash* hash) {
    if (!payload_.file.Seek(entry.BodyOffset()) || !payload_.file.Read(stored, entry.BodySize()))
      return PayloadFault::kBodyRead;
    if (hash != nullptr) hash->Update(stored, entry.BodySize());
    count_.Add(entry.BodySize());
    return PayloadFault::kNone;
  }

  // Reads the body of `entry` in pieces of the one 512000-byte buffer, so
  // that memory stays the same whatever its size, into `hash` when given
  // and into `out` when `writing` (decoded when compressed); then flushes
  // and closes `out`.
  PayloadFault CopyBody(const PayloadEntry& entry, platform::OutputFile& out, bool writing,
                        StreamHash* hash) {
    if (!payload_.file.Seek(entry.BodyOffset())) return PayloadFault::kBodyRead;
    BodyOutput body(writing ? entry : PayloadEntry(), out, &count_);
    // A body that is decoded is read ahead while the last piece decodes.
    PieceReader pieces(payload_.file, entry.BodySize(), buffer_.get(), writing && entry.compressed);
    const char* data = nullptr;
    for (std::size_t piece = 0; pieces.Next(&data, &piece);) {
      if (hash != nullptr) hash->Update(data, piece);
      if (writing) {
        const PayloadFault put = body.Put(data, piece);
        if (put != PayloadFault::kNone) return put;
      }
      count_.Add(piece);
    }
    if (pieces.failed()) return PayloadFault::kBodyRead;
    if (!writing) return PayloadFault::kNone;
    if (const PayloadFault end = body.Finish(); end != PayloadFault::kNone) return end;
    return out.Flush() && out.Close() ? PayloadFault::kNone : PayloadFault::kBodyWrite;
  }

  // Every target that exists, and every file the caller replaces afterwards,
  // can be replaced now.
  WalkResult CheckTargets(WalkResult result) {
    for (const PlannedEntry& planned : plan_)
      if (!planned.output.empty() && !platform::CanReplaceFile(planned.output))
        return StopAt(result, planned, PayloadFault::kTargetInUse, planned.output,
                      platform::LastFileError());
    for (const std::string& path : also_replaced_)
      if (!platform::CanReplaceFile(path))
        return Stop(result, PayloadFault::kTargetInUse, path, platform::LastFileError());
    return result;
  }

  // Folders the staging made, deepest last made first (each only if empty).
  void RemoveMadeFolders() {
    for (auto folder = made_folders_.rbegin(); folder != made_folders_.rend(); ++folder)
      platform::RemoveOneFolder(*folder);
  }

  const std::string& target_;
  const Selection selection_;
  const std::vector<std::string>& also_replaced_;
  OpenedPayload payload_;
  std::vector<PlannedEntry> plan_;
  Volume volumes_[2];
  std::vector<StagedFile> staged_;
  std::vector<std::string> made_folders_;
  platform::WrittenFolders written_;  // checked and held until the extraction ends
  ProgressCount count_;
  std::unique_ptr<char[]> buffer_;
  DecodeWorker decoder_;  // last: its destructor waits for a batch in flight
};

}  // namespace

// Folder names compare byte for byte, case-sensitive.
Destination Route(const std::string& folder, Selection selection) {
  if (selection == Selection::kAll) {
    if (folder == kContourFolder) return Destination::kWindowsFolder;
    if (folder == kSerialDriverFolder) return Destination::kSkip;
    return Destination::kUnderTarget;
  }
  if (folder == kSerialDriverFolder || IsDriverKitFolder(folder)) return Destination::kUnderTarget;
  return Destination::kSkip;
}

PayloadArchive::PayloadArchive(const std::string& payload_file)
    : owned_(new platform::SetupFile), setup_(*owned_) {
  (void)owned_->Open(payload_file);
}

WalkResult PayloadArchive::Extract(const std::string& target, Selection selection,
                                   ExtractionProgress* progress,
                                   const std::vector<std::string>& also_replaced,
                                   std::uint64_t also_written) const {
  return StagedExtraction(target, selection, progress, also_replaced, also_written).Run(setup_);
}

int PayloadArchive::ExtractAll(const std::string& target) const {
  return Extract(target, Selection::kAll).ok() ? 1 : 0;
}

int PayloadArchive::ExtractDriverSubset(const std::string& target) const {
  return Extract(target, Selection::kDriverSubset).ok() ? 1 : 0;
}

}  // namespace ovsetup::payload
