// Subcommands of ovsetup-headless. Each takes the arguments after its name
// and returns the process exit status.
#pragma once

#include <string>
#include <vector>

namespace ovsetup::headless {

constexpr int kExitOk = 0, kExitFailed = 1, kExitUsage = 2;

// Prints "ovsetup-headless: PROBLEM" and the usage text to stderr; kExitUsage.
int Usage(const std::string& problem);

// config --setup FILE: prints the welcome dialog's start-up values from the
// "SetupCfg.ini" beside FILE as UTF-8 lines "product: NAME", "language: N".
int RunConfig(const std::vector<std::string>& args);

}  // namespace ovsetup::headless
