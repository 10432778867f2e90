// Helpers the headless subcommands share.
#pragma once

#include <string>

#include "payload/payload_walk.h"

namespace ovsetup::headless {

// GBK text as UTF-8; bytes that do not convert are shown as \xNN.
std::string Utf8FromGbk(const std::string& text);

// A setup file named on the command line, made absolute (a relative INI
// path would be looked up in the Windows folder) and in the core's form.
std::string SetupFileFromArgument(const std::string& argument);

// Prints why an extraction stopped to stderr, for support: one line with
// the cause, the entry and the file concerned, and the Windows error code.
void PrintExtractionStop(const payload::WalkResult& result);

// Parses a whole decimal integer (sign allowed); false on anything else.
bool ParseInteger(const std::string& text, int* value);

}  // namespace ovsetup::headless
