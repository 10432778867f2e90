// The language rule in its one home: each list index, and each start-up
// value of SetupCfg.ini, against the numbers and texts the setup derives.
#include <gtest/gtest.h>

#include <climits>

#include "drivers/driver_run.h"
#include "install/language_index.h"
#include "install/message_set.h"

namespace ovsetup {
namespace {

using install::LanguageIndex;

TEST(LanguageIndex, NumbersAndTextsOfEachIndex) {
  const char* const kChineseRunning =
      "\xB0\xB2\xD7\xB0\xCA\xA7\xB0\xDC! \xB9\xD8\xB1\xD5\xD5\xFD\xD4\xDA\xD4\xCB\xD0\xD0\xB5\xC4"
      "Orvane\xBA\xF3\xD6\xD8\xCA\xD4";
  const struct {
    int index, number;
    bool chinese;
    const char* program_running;
    const char* success;
    const char* driver_caption;
  } rows[] = {
      {0, 1, true, kChineseRunning, "\xB0\xB2\xD7\xB0\xB3\xC9\xB9\xA6!",
       "\xB0\xB2\xD7\xB0\xC7\xFD\xB6\xAF..."},
      {1, 2, false, "error! please Close the Orvane!", "Install OK!", "Installing the driver..."},
      {2, 3, false, "Can't copy files, error!", "Install OK!", "Installing the driver..."},
      {3, 4, false, "Can't copy files, error!", "Install OK!", "Installing the driver..."},
      {-1, 1, false, "Can't copy files, error!", "Install OK!", "Installing the driver..."},
      {9, 1, false, "Can't copy files, error!", "Install OK!", "Installing the driver..."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.index);
    const LanguageIndex language(row.index);
    EXPECT_EQ(row.number, language.Number());
    EXPECT_EQ(row.chinese, language.IsChinese());
    EXPECT_STREQ(row.program_running, install::MessageSetFor(language).program_running);
    EXPECT_STREQ(row.success, install::SuccessText(language));
    EXPECT_STREQ(row.driver_caption, drivers::DriverWindowCaption(language));
  }
}

TEST(LanguageIndex, FromTheStartUpNumberKeepsToTheList) {
  const int cases[][2] = {{INT_MIN, 0}, {-5, 0}, {0, 0}, {1, 0}, {2, 1},
                          {3, 2},       {4, 3},  {5, 3}, {99, 3}, {INT_MAX, 3}};
  for (const auto& c : cases) EXPECT_EQ(c[1], LanguageIndex::FromNumber(c[0]).value()) << c[0];
}

}  // namespace
}  // namespace ovsetup
