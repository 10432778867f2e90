// Why a walk over a payload stopped: one list for the walk, the
// extractions, the stored-path rules and the release tools.
#pragma once

namespace ovsetup::payload {

// The first block is found by the walk itself, in the order it checks
// (the stored-path rules last); the second is reported by visitors.
enum class PayloadFault {
  kNone,
  // A setup that fails its integrity record (payload/integrity_record.h),
  // found before the walk reads the offset table and before any write:
  kDamagedRecord,    // the record's tag, version or span is damaged
  kDamagedLength,    // cut short or grown: the length is not the record's
  kDamagedHash,      // the payload's bytes do not match the record's hash
  kCannotOpen,       // the payload file cannot be opened or measured
  kTooShort,         // shorter than 4 bytes
  kBadCount,         // N is 0 or above 600
  kTableTooShort,    // shorter than 4*N + 4 bytes
  kTableRead,        // the offset table could not be read
  kDamagedTable,     // offset[0] or the end marker does not fit the record
  kEndBeyondFile,    // offset[i+1] at or beyond the file length
  kDescending,       // offset[i+1] below offset[i]
  kSpanTooSmall,     // entry of 400 bytes or less
  kHeaderRead,       // the path header could not be read
  kUnsafePath,       // absolute, drive or stream ":", or a ".." step
  kDeviceName,       // a step Windows opens as a device (NUL, COM1.txt, ...)
  kDotOrSpaceEnd,    // a step ending in "." or " ", which Windows drops
  kBadCharacter,     // a byte below 0x20 or one of < > " | ? *
  kWindowsFolder,    // Windows folder lookup failed ("Contour" entry)
  // Found by an extraction before it writes anything:
  kPathTooLong,      // a path it would write passes Windows' 259 characters
  kDiskFull,         // a target volume lacks room for what it stages
  kUntrustedLink,    // a folder it writes is a link a user without rights could lay
  // While staging (the staged files are then removed):
  kCannotCreate,     // a staged file cannot be created
  kBodyRead,         // short read of a body
  kBodyWrite,        // short write of a body, or the flush or close failed
  kDamagedBody,      // a compressed body does not decode to its record's size
  // After staging, before anything is put in place:
  kTargetInUse,      // an existing target cannot be replaced (held, read-only, a folder)
  // While putting the staged files in place:
  kCommitFailed,     // a rename failed; the files already replaced got their old content back
  kVisitorStop,      // a visitor's own reason (see its message)
};

// One-line English description of `fault`, for tools and logs.
const char* DescribeFault(PayloadFault fault);

// True for the faults of a setup that failed its integrity record: the
// setup file is damaged, and nothing was written.
bool IsDamage(PayloadFault fault);

}  // namespace ovsetup::payload
