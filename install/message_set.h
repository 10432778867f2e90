// The failure texts an install shows, per language, as bytes of the ANSI
// code page (GBK for Chinese).
#pragma once

#include <string>

#include "install/language_index.h"
#include "payload/payload_walk.h"

namespace ovsetup::install {

struct MessageSet {
  const char* program_running;  // the program's payload cannot be extracted
  const char* path_error;       // the given host folder fails its test
  const char* close_corel;      // extraction for CorelDRAW or Illustrator fails
  const char* corel_not_found;  // no registry key gives CorelDRAW's folder
  const char* close_acad;       // extraction for AutoCAD fails
  const char* acad_not_found;   // AutoCAD's registry root cannot be opened
  const char* setup_damaged;    // the setup file fails its integrity check, or
                                // lacks a file an install must put in place
  const char* disk_full;        // a target volume lacks room: %1 the megabytes
                                // needed, %2 the volume ("D:")
  const char* path_too_long;    // a path the extraction writes is too long
  const char* untrusted_link;   // a folder it writes is a link it cannot trust
                                // (one text, in both languages)
};

// Index 0: Chinese. Index 1: English, "error! please Close the Orvane!".
// Any other index, -1 (no selection) included: English, "Can't copy files,
// error!". The texts are static.
MessageSet MessageSetFor(LanguageIndex language);

// The text for an extraction that stopped with `result`: setup_damaged for
// a setup that failed its integrity record, disk_full filled in (megabytes
// rounded up), path_too_long or untrusted_link for what was checked before
// writing, else
// `otherwise`, the caller's own text (a file in use, a write that failed).
std::string ExtractionStopText(const MessageSet& messages, const payload::WalkResult& result,
                               const char* otherwise);

// The success box after a job: "安装成功!" for index 0, else "Install OK!".
const char* SuccessText(LanguageIndex language);

}  // namespace ovsetup::install
