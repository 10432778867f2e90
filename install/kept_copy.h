// Copies into folders the user owns: a file the user had is kept beside its
// replacement, and the copies an install stands or falls by are checked.
// Paths are in the ANSI code page with "\" as separator.
//
// Keeping an old file: before a copy replaces `target`, a file there is kept
// as a backup unless it holds the source's bytes or is the setup's own: what
// an install put there and nobody changed since, by the folder's record
// (own_files_record.h). The backup is `target` + ".bak", or ".bak2",
// ".bak3", ... when that name is taken by other content: the first free
// name, unless a taken one before it holds the same bytes already (then
// that one keeps the file). No backup is ever replaced. A missing target or
// a folder makes no backup. When the backup fails, `target` is left as it
// is. After each copy the folder's record lists the installed file.
// Contents are compared in chunks.
#pragma once

#include <string>

#include "install/install_job.h"
#include "platform/file_ops.h"

namespace ovsetup::install {

// Copies every file directly inside the settings folder `source` by content
// into `target` (as CopyFolderFilesByContent), keeping each old file, then
// writes `language` into target's SoftCfg.ini (WriteLanguageSetting). That
// file also counts as the same when it holds the shipped one with
// `language` written (made and compared as SoftCfg.ini.new beside it), and
// the record lists it as the language leaves it. A `target` that fails
// platform::MayWriteInto gets nothing. Failures are not reported. `copied`,
// when set, is told each piece the copies write; `ticks` after every piece
// of the comparisons and backups.
void CopySettingsFilesKeepingOld(const std::string& source, const std::string& target,
                                 int language, const platform::CopyPieces& copied = {},
                                 const platform::CopyPieces& ticks = {});

// Whether an existing target is kept as a backup first (see above).
enum class KeepOld { No, Yes };

// How a checked copy ended.
enum class Delivery {
  Delivered,         // `target` now holds `source`'s bytes
  SourceMissing,     // `source` is no file: the payload did not carry it
  TargetUnwritable,  // the copy or the backup failed (a host holds the file)
  UntrustedFolder,   // `target`'s folder fails platform::MayWriteInto
};

// Copies the file `source` to `target` with the platform copy, replacing an
// existing file; with KeepOld::Yes the old file is kept first. `target` is
// left as it was unless the result is Delivered.
Delivery DeliverFile(const std::string& source, const std::string& target, KeepOld keep);

// DeliverFile for a file the install must put in place. On failure it shows
// the job's setup_damaged text (source missing), untrusted_link (a folder
// that is a link it cannot trust) or `close_host` (target unwritable) and
// returns false; the install then ends without success.
bool DeliverOrFail(const JobContext& job, const std::string& source, const std::string& target,
                   KeepOld keep, const char* close_host);

}  // namespace ovsetup::install
