// Registry lookups over the .reg fixtures: natively the Linux stand-in reads
// them as its registry, under Wine they are imported into the test prefix.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "install/registry_lookups.h"
#include "tests/support/registry_fixture.h"

namespace ovsetup {
namespace {

using install::AcadVisit;
using install::AcadWalk;
using install::ForEachAcadLocation;
using install::kRegistryValueSize;
using install::ReadRegistryString;
using platform::RegistryRoot;

std::string Long(std::size_t length, const std::string& head) {
  return head + std::string(length - head.size(), 'x');
}

// A string value's bytes as stored: the text and its NUL.
std::string Sz(const std::string& text) { return text + '\0'; }

struct Read {
  int result;
  std::string bytes;  // the stored bytes, as many as the size says
};

Read ReadValue(const std::string& key, const std::string& value,
               std::uint32_t offered = kRegistryValueSize) {
  char buffer[kRegistryValueSize + 1];
  std::uint32_t size = offered;
  Read read;
  read.result = ReadRegistryString(RegistryRoot::LocalMachine, key, value, buffer, &size);
  if (read.result == 0) read.bytes.assign(buffer, size);
  return read;
}

const struct ValueRow {
  const char* key;
  const char* value;
  int result;
  std::string bytes;
} kRegedit4Rows[] = {
    {"SOFTWARE\\OvsetupTests\\Values", "Destination", 0,
     Sz("C:\\Program Files\\Corel\\CorelDRAW X4\\")},
    {"software\\ovsetuptests\\VALUES", "destination", 0,
     Sz("C:\\Program Files\\Corel\\CorelDRAW X4\\")},
    {"SOFTWARE\\OvsetupTests\\Values", "", 0, Sz("the default")},
    {"SOFTWARE\\OvsetupTests\\Values", "Fits", 0, Sz(Long(259, "C:\\Exactly 259\\"))},
    {"SOFTWARE\\OvsetupTests\\Values", "TooLong", 1, ""},
    {"SOFTWARE\\OvsetupTests\\Values", "Count", 0, std::string("\x10\0\0\0", 4)},
    {"SOFTWARE\\OvsetupTests\\Values", "Binary", 0, "abc"},
    {"SOFTWARE\\OvsetupTests\\Values", "Dropped", 1, ""},
    {"SOFTWARE\\OvsetupTests\\Values", "Missing", 1, ""},
    {"SOFTWARE\\OvsetupTests\\Absent", "Destination", 1, ""},
    {"SOFTWARE\\OvsetupTests\\Values", "Elsewhere", 1, ""},  // only under HKCU
};

TEST(ReadRegistryString, Regedit4Values) {
  ASSERT_TRUE(testing::UseRegistryFixture("registry_values.reg", "SOFTWARE\\OvsetupTests\\Values"));
  for (const ValueRow& row : kRegedit4Rows) {
    SCOPED_TRACE(std::string(row.key) + " / " + row.value);
    const Read read = ReadValue(row.key, row.value);
    EXPECT_EQ(row.result, read.result);
    EXPECT_EQ(row.bytes, read.bytes);
  }
  // "the default" takes 12 bytes with its NUL.
  EXPECT_EQ(1, ReadValue("SOFTWARE\\OvsetupTests\\Values", "", 11).result);
  EXPECT_EQ(0, ReadValue("SOFTWARE\\OvsetupTests\\Values", "", 12).result);
}

TEST(ReadRegistryString, Version5Values) {
  ASSERT_TRUE(testing::UseRegistryFixture("registry_values_v5.reg", "SOFTWARE\\OvsetupTests\\Wide"));
  const char kKey[] = "SOFTWARE\\OvsetupTests\\Wide\\Graphics";
  const struct {
    const char* value;
    std::string bytes;
  } rows[] = {
      {"Destination", Sz("D:\\Corel Graphics X5\\")},
      {"Expand", Sz("%ProgramFiles%\\Corel\\")},  // not expanded
      {"Later", Sz("same key, other case")},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.value);
    const Read read = ReadValue(kKey, row.value);
    EXPECT_EQ(0, read.result);
    EXPECT_EQ(row.bytes, read.bytes);
  }
}

// Every AutoCAD case in one test: they share the one AutoCAD key of the
// prefix.
TEST(ForEachAcadLocation, OutcomesAndVisits) {
  const std::string kAutoCad2010 = "C:\\AutoCAD 2010";
  const std::string kAutoCad2010Chinese = "D:\\Program Files\\AutoCAD 2010 Simplified Chinese\\";
  const std::string kAutoCad2007 = Long(259, "C:\\Program Files\\AutoCAD 2007 exactly 259\\");
  const struct {
    const char* fixture;
    std::size_t stop_at;  // the visit that answers Stop, from 1; 0 for none
    AcadWalk outcome;
    std::vector<std::string> visits;
  } rows[] = {
      {"acad_none.reg", 0, AcadWalk::NoAcadKey, {}},
      {"acad_empty.reg", 0, AcadWalk::Walked, {}},
      {"acad_products.reg", 0, AcadWalk::Walked, {kAutoCad2007, kAutoCad2010, kAutoCad2010Chinese}},
      {"acad_products.reg", 1, AcadWalk::Stopped, {kAutoCad2007}},
      {"acad_products.reg", 2, AcadWalk::Stopped, {kAutoCad2007, kAutoCad2010}},
      {"acad_products.reg", 3, AcadWalk::Stopped, {kAutoCad2007, kAutoCad2010, kAutoCad2010Chinese}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.fixture) + " stop at " + std::to_string(row.stop_at));
    ASSERT_TRUE(testing::UseRegistryFixture(row.fixture, "SOFTWARE\\Autodesk"));
    std::vector<std::string> visits;
    const AcadWalk outcome = ForEachAcadLocation([&](const std::string& location) {
      visits.push_back(location);
      return visits.size() == row.stop_at ? AcadVisit::Stop : AcadVisit::Continue;
    });
    EXPECT_EQ(row.outcome, outcome);
    EXPECT_EQ(row.visits, visits);
  }
}

}  // namespace
}  // namespace ovsetup
