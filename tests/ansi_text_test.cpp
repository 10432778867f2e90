// The one trim, with each set of blanks its callers hand it.
#include <gtest/gtest.h>

#include "platform/ansi_text.h"

namespace ovsetup {
namespace {

using platform::Trim;
using platform::TrimEnds;

TEST(Trim, TakesTheListedBytesFromTheEnds) {
  const struct {
    const char* text;
    const char* blanks;
    TrimEnds ends;
    const char* trimmed;
  } cases[] = {
      {" \t key name \r\n", " \t\r\n", TrimEnds::kBoth, "key name"},
      {"key", " \t\r\n", TrimEnds::kBoth, "key"},
      {" \t\r\n", " \t\r\n", TrimEnds::kBoth, ""},
      {"", " \t", TrimEnds::kBoth, ""},
      {"\vkey\f", " \t\r\n", TrimEnds::kBoth, "\vkey\f"},
      {"\vkey\f", " \t\v\f\r\n", TrimEnds::kBoth, "key"},
      {"  REGEDIT4 \t", " \t", TrimEnds::kEndOnly, "  REGEDIT4"},
      {" \t ", " \t", TrimEnds::kEndOnly, ""},
      {"\xD6\xD0 ", " ", TrimEnds::kBoth, "\xD6\xD0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.trimmed, Trim(c.text, c.blanks, c.ends));
  }
}

}  // namespace
}  // namespace ovsetup
