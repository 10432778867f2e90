#include "payload/payload_archive.h"

#include <memory>

#include "payload/folder_names.h"
#include "payload/payload_format.h"
#include "platform/file_io.h"
#include "platform/path_text.h"

namespace ovsetup::payload {
namespace {

bool IsDriverKitFolder(const std::string& folder) {
  return folder == kUsbDriverFolder || folder == kUsbDriverAmd64Folder ||
         folder == kUsbDriverX86Folder;
}

class ExtractVisitor : public EntryVisitor {
 public:
  ExtractVisitor(const std::string& target, Selection selection, ExtractionProgress* progress)
      : target_(target), selection_(selection), progress_(progress) {}

  void OnTable(std::uint64_t /*length*/, const std::uint32_t* offsets,
               std::uint32_t count) override {
    total_ = offsets[count - 1] - offsets[0];
  }

  PayloadFault OnEntry(const PayloadEntry& entry, platform::InputFile& file) override {
    std::string output;
    switch (Route(entry.folder, selection_)) {
      case Destination::kSkip:
        return PayloadFault::kNone;
      case Destination::kUnderTarget: {
        output = target_ + entry.path;
        // Only the last folder level is made: the archive lists a folder's
        // entries before its subfolders'.
        platform::CreateOneFolder(output.substr(0, output.rfind('\\') + 1));
        break;
      }
      case Destination::kWindowsFolder: {
        if (!platform::GetWindowsFolder(&output)) return PayloadFault::kWindowsFolder;
        output = platform::WithTrailingSlash(output) + entry.file_name;
        break;
      }
    }
    platform::OutputFile out;
    if (!out.Create(output)) return PayloadFault::kCannotCreate;
    return CopyBody(entry, file, out);
  }

 private:
  // Through the one 512000-byte buffer, made for the first body: a body up
  // to that size in one read and one write, a larger one in pieces of that
  // size, so that memory stays the same whatever the body's size.
  PayloadFault CopyBody(const PayloadEntry& entry, platform::InputFile& file,
                        platform::OutputFile& out) {
    if (!buffer_) buffer_.reset(new char[kCopyBufferSize]);
    if (!file.Seek(entry.BodyOffset())) return PayloadFault::kBodyRead;
    for (std::size_t left = entry.BodySize(); left > 0;) {
      const std::size_t piece = left < kCopyBufferSize ? left : kCopyBufferSize;
      if (!file.Read(buffer_.get(), piece)) return PayloadFault::kBodyRead;
      if (!out.Write(buffer_.get(), piece)) return PayloadFault::kBodyWrite;
      left -= piece;
      done_ += piece;
      if (progress_ != nullptr) progress_->Advance(done_, total_);
    }
    return out.Close() ? PayloadFault::kNone : PayloadFault::kBodyWrite;
  }

  const std::string& target_;
  const Selection selection_;
  ExtractionProgress* const progress_;
  std::uint64_t done_ = 0, total_ = 0;
  std::unique_ptr<char[]> buffer_;
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

WalkResult PayloadArchive::Extract(const std::string& target, Selection selection,
                                   ExtractionProgress* progress) const {
  ExtractVisitor visitor(target, selection, progress);
  return WalkPayload(payload_file_, visitor);
}

int PayloadArchive::ExtractAll(const std::string& target) const {
  return Extract(target, Selection::kAll).ok() ? 1 : 0;
}

int PayloadArchive::ExtractDriverSubset(const std::string& target) const {
  return Extract(target, Selection::kDriverSubset).ok() ? 1 : 0;
}

}  // namespace ovsetup::payload
