// The install job: settles the language, texts and source folder, then runs
// the chosen install. The dialogs gather the choices; this does the work.
#pragma once

#include <string>
#include <vector>

#include "install/job_progress.h"
#include "install/message_set.h"
#include "payload/extraction_progress.h"
#include "payload/payload_walk.h"
#include "platform/written_folders.h"

namespace ovsetup::install {

// What the welcome window and the path dialog hold when the job starts.
struct InstallChoices {
  int language_index = -1;   // language list selection; -1: none
  int install_type = 0;      // 0 program, 1 CorelDRAW, 2 AutoCAD, 3/4 Illustrator 32/64-bit
  std::string install_path;  // m_strInstallPath
  int auto_install = 0;      // m_bAutoInstall
  int corel_version = 0;     // m_nCorelVersion: CorelDRAW version row 0..8
  std::string product_name;  // m_strProductName
};

// Where the job's message boxes go: one modal OK box per call.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // Shows `text` (ANSI code page) and returns when the box is closed.
  virtual void ShowMessage(const char* text) = 0;
  // Told why an extraction stopped, right before its text is shown: what a
  // message box does not say (the cause, the file, the Windows error).
  virtual void OnExtractionStopped(const payload::WalkResult& /*result*/) {}
};

// What one run of the job settles before it dispatches.
struct JobContext {
  const InstallChoices& choices;
  int language_number;         // 1..4, written into SoftCfg.ini
  std::string source_folder;   // the setup's folder, ending with "\"
  const platform::SetupFile& setup_file;  // the setup executable, open for the run
  MessageSet messages;
  MessageSink& sink;
  int& succeeded;              // m_bInstallSucceeded: set to 1 at an install's end
  JobProgress& progress;       // told how far the job is, step by step
  std::uint64_t settings_on_disk = 0;  // what the settings folders take on the target's volume
  platform::WrittenFolders& written;   // the folders the job writes, held to its end

  // Shows `text` once; an install ends right after.
  void Fail(const char* text) const { sink.ShowMessage(text); }
  // Extracts the whole payload (ExtractAll) into `target`, all or nothing;
  // `deliverables` are the files the install copies into the host's folders
  // afterwards, checked replaceable with the targets before anything is put
  // in place; `target`'s volume is checked for the settings folders' room
  // too (settings_on_disk). On failure tells the sink why, shows one text
  // (ExtractionStopText with `failure_text`, the install's own) and returns
  // false; every existing file is then as it was.
  bool ExtractAll(const std::string& target, const char* failure_text,
                  const std::vector<std::string>& deliverables = {}) const;
  // Checks each of `folders`, which the install writes, before its first
  // byte, and holds them to the job's end (platform::WrittenFolders). On a
  // link a user without rights could have laid, shows untrusted_link and
  // returns false: the install then ends, having written nothing.
  bool HoldFolders(const std::vector<std::string>& folders) const;
  // The language the job installs in.
  LanguageIndex language() const { return LanguageIndex(choices.language_index); }
};

// Runs one job for `choices` from the setup executable `setup_file`, held
// open for the run (its payload, read through that one open file, and the
// settings folders beside its path). Clears `succeeded`, which
// the install sets to 1 when it reaches its end; an install type outside
// 0..4 sets it without installing. A failing install shows exactly one text
// of the language's MessageSet through `sink`. `progress`, when given, is
// told how far the whole job is (job_progress.h): done == total only when
// it succeeds.
void RunInstallJob(const InstallChoices& choices, const platform::SetupFile& setup_file,
                   MessageSink& sink, int& succeeded,
                   payload::ExtractionProgress* progress = nullptr);

}  // namespace ovsetup::install
