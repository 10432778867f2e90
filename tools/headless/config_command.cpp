// config: the start-up values of the welcome dialog.
#include <cstdio>

#include "config/setup_config.h"
#include "tools/headless/commands.h"
#include "tools/headless/headless_text.h"

namespace ovsetup::headless {

int RunConfig(const std::vector<std::string>& args) {
  std::string setup_file;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--setup" && i + 1 < args.size()) setup_file = args[++i];
    else return Usage("config: unexpected argument \"" + args[i] + "\"");
  }
  if (setup_file.empty()) return Usage("config: --setup FILE is required");
  const config::StartupValues values = config::ReadStartupValues(SetupFileFromArgument(setup_file));
  std::printf("product: %s\nlanguage: %d\n", Utf8FromGbk(values.product_name).c_str(),
              values.language.Number());
  return kExitOk;
}

}  // namespace ovsetup::headless
