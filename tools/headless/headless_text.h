// Helpers the headless subcommands share.
#pragma once

#include <string>

namespace ovsetup::headless {

// GBK text as UTF-8; bytes that do not convert are shown as \xNN.
std::string Utf8FromGbk(const std::string& text);

// A setup file named on the command line, made absolute (a relative INI
// path would be looked up in the Windows folder) and in the core's form.
std::string SetupFileFromArgument(const std::string& argument);

// Parses a whole decimal integer (sign allowed); false on anything else.
bool ParseInteger(const std::string& text, int* value);

}  // namespace ovsetup::headless
