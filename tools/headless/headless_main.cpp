// ovsetup-headless: runs parts of the setup without its windows.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/dll_search.h"
#include "tools/headless/commands.h"

namespace ovsetup::headless {
namespace {

const char kHelp[] =
    "usage:\n"
    "  ovsetup-headless config --setup FILE\n"
    "      the product name and start-up language (1..4) the welcome dialog\n"
    "      starts with, from the SetupCfg.ini beside the setup executable FILE\n"
    "  ovsetup-headless install --setup FILE --type N --language L [--path P]\n"
    "                           [--auto] [--corel-version V]\n"
    "      one install job (type 0 program, 1 CorelDRAW, 2 AutoCAD, 3/4\n"
    "      Illustrator 32/64-bit; language index 0..3, -1 for none); prints each\n"
    "      message box text, then the success text when the job succeeded\n"
    "  ovsetup-headless drivers --setup FILE --language L\n"
    "      the USB driver run: the window caption, each bar position as\n"
    "      \"progress N\", then the outcome text\n"
    "  ovsetup-headless windows\n"
    "      the Windows version and bitness the driver run acts on\n"
    "exit status: 0 success, 1 failure, 2 usage error\n";

struct Command {
  const char* name;
  int (*run)(const std::vector<std::string>& args);
};

const Command kCommands[] = {
    {"config", RunConfig},
    {"install", RunInstall},
    {"drivers", RunDrivers},
    {"windows", RunWindows},
};

}  // namespace

int Usage(const std::string& problem) {
  std::fprintf(stderr, "ovsetup-headless: %s\n%s", problem.c_str(), kHelp);
  return kExitUsage;
}

}  // namespace ovsetup::headless

int main(int argc, char** argv) {
  ovsetup::platform::LoadDllsFromSystemFolderOnly();
  using namespace ovsetup::headless;
  if (argc < 2) return Usage("which command?");
  const std::string name = argv[1];
  if (name == "--help" || name == "-h") {
    std::fputs(kHelp, stdout);
    return kExitOk;
  }
  for (const Command& command : kCommands)
    if (name == command.name) return command.run(std::vector<std::string>(argv + 2, argv + argc));
  return Usage("unknown command \"" + name + "\"");
}
