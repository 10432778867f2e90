// The failure texts an install shows, per language, as bytes of the ANSI
// code page (GBK for Chinese).
#pragma once

#include "install/language_index.h"

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
};

// Index 0: Chinese. Index 1: English, "error! please Close the Orvane!".
// Any other index, -1 (no selection) included: English, "Can't copy files,
// error!". The texts are static.
MessageSet MessageSetFor(LanguageIndex language);

// The success box after a job: "安装成功!" for index 0, else "Install OK!".
const char* SuccessText(LanguageIndex language);

}  // namespace ovsetup::install
