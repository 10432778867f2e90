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

// install --setup FILE --type N --language L [--path P] [--auto]
// [--corel-version V]: one install job. Each message box text, and the
// success text when the job succeeded, on its own UTF-8 line. kExitOk when
// the success flag is set, kExitFailed when not. --language -1: no selection.
int RunInstall(const std::vector<std::string>& args);

// drivers --setup FILE --language L: the USB driver run. Prints the window
// caption, "progress N" per bar position and the message text; kExitOk after
// "Install OK!", kExitFailed after "error!".
int RunDrivers(const std::vector<std::string>& args);

// windows: prints the Windows version and bitness the driver run acts on,
// "version MAJOR.MINOR, 32-bit" or "..., 64-bit"; kExitFailed when the
// version query fails.
int RunWindows(const std::vector<std::string>& args);

}  // namespace ovsetup::headless
