// The device-install log scan, over real log files.
#include <gtest/gtest.h>

#include <string>

#include "drivers/mdmcpq_store.h"
#include "tests/support/temp_folder.h"

namespace ovsetup {
namespace {

TEST(FindMdmcpqStoreFolder, RunBoundsAndDelimiters) {
  const std::string prefix = "mdmcpq.inf_";
  const std::string run20 = prefix + std::string(9, 'a');   // 20 bytes
  const std::string run58 = prefix + std::string(47, 'b');  // 58 bytes
  struct Case {
    const char* name;
    std::string log;
    bool found;
    std::string folder;
  } cases[] = {
      {"real log line",
       ">>> C:\\Windows\\System32\\DriverStore\\FileRepository\\"
       "mdmcpq.inf_amd64_neutral_0123456789abcdef\\mdmcpq.inf\r\n",
       true, "mdmcpq.inf_amd64_neutral_0123456789abcdef"},
      {"19 bytes", "x\\" + prefix + "12345678\\y", false, ""},
      {"20 bytes", "x\\" + run20 + "\\y", true, run20},
      {"58 bytes", "x\\" + run58 + "\\y", true, run58},
      {"59 bytes", "x\\" + run58 + "c\\y", false, ""},
      {"ends at an apostrophe", "path 'C:\\x\\" + run20 + "' done", true, run20},
      {"an apostrophe starts nothing", "x\\ab'" + run20 + "\\", false, ""},
      {"upper case", "x\\" + std::string("MDMCPQ.INF_") + "123456789\\", false, ""},
      {"first match wins", "\\" + run20 + "\\" + run58 + "\\", true, run20},
      // The first byte counts as the start, whatever it is.
      {"run from the first byte", "#" + run20 + "\\", true, run20},
      {"no delimiter after the run", "x\\" + run20, false, ""},
      {"empty log", "", false, ""},
  };
  testing::TempFolder dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::WriteHostFile(dir.Host("setupapi.dev.log"), c.log);
    std::string folder = "untouched";
    const int found = drivers::FindMdmcpqStoreFolder(dir.core() + "setupapi.dev.log", &folder);
    EXPECT_EQ(c.found, found != 0);
    EXPECT_EQ(c.found ? c.folder : "untouched", folder);
  }
}

TEST(FindMdmcpqStoreFolder, MissingLogLeavesOutputAlone) {
  testing::TempFolder dir;
  std::string folder = "untouched";
  EXPECT_EQ(0, drivers::FindMdmcpqStoreFolder(dir.core() + "absent.log", &folder));
  EXPECT_EQ("untouched", folder);
}

}  // namespace
}  // namespace ovsetup
