#include "order/aspect_type_order.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "support/entry_builder.h"
#include "support/test_support.h"

namespace korvo {
namespace {

using test::Describe;

const std::string kSeparator(1, kPathSeparator);

TEST(AppendMissingTypes, AddsUnlistedAspectNamesInListOrder) {
  test::ListBuilder b;
  for (const char* aspect : {"Sextile", "Trine", "Conj", "Sextile", "trine", ""}) {
    b.Add(aspect, "a", "b");
  }
  struct Row {
    NameList before;
    NameList after;
  };
  const Row rows[] = {
      {{}, {"Sextile", "Trine", "Conj", "trine", ""}},
      {{"Trine", "Square"}, {"Trine", "Square", "Sextile", "Conj", "trine", ""}},
      {{"Trine ", ""}, {"Trine ", "", "Sextile", "Trine", "Conj", "trine"}},
      {{"Conj", "Conj"}, {"Conj", "Conj", "Sextile", "Trine", "trine", ""}},
  };
  for (const Row& row : rows) {
    NameList names = row.before;
    AppendMissingTypes(b.list, b.Order(), names);
    EXPECT_EQ(names, row.after) << ::testing::PrintToString(row.before);
  }
  // The order decides which name comes first.
  NameList reversed;
  AppendMissingTypes(b.list, {5, 4, 3, 2, 1, 0}, reversed);
  EXPECT_EQ(reversed, (NameList{"", "trine", "Sextile", "Conj", "Trine"}));
  NameList names = {"Trine"};
  EXPECT_TRUE(AppendMissingTypes(b.list, {}, names).empty());
  EXPECT_EQ(names, NameList{"Trine"});
}

TEST(GroupByAspectType, GroupsInNameOrder) {
  test::ListBuilder b;
  b.Add("Trine", "t1", "x");
  b.Add("Square", "s1", "x");
  b.Add("Trine", "t2", "x");
  b.Add("Sextile", "x1", "x");
  b.Add("Square", "s2", "x");
  b.Add("trine", "lower", "x");
  b.Add("", "empty", "x");
  struct Row {
    NameList names;
    std::vector<std::string> grouped;
  };
  const Row rows[] = {
      {{"Square", "Trine", "Opposition", "Sextile", "trine", ""},
       {"Square s1-x", "Square s2-x", "Trine t1-x", "Trine t2-x", "Sextile x1-x", "trine lower-x",
        " empty-x"}},
      // A type listed twice collects its entries twice.
      {{"Trine", "Square", "Trine", "Sextile", "trine", ""},
       {"Trine t1-x", "Trine t2-x", "Square s1-x", "Square s2-x", "Trine t1-x", "Trine t2-x",
        "Sextile x1-x", "trine lower-x", " empty-x"}},
      // Case and trailing blanks count; an unlisted entry is left out.
      {{"TRINE", "Trine ", "Square"}, {"Square s1-x", "Square s2-x"}},
      {{}, {}},
  };
  for (const Row& row : rows) {
    EntryOrder grouped = b.Order();
    GroupByAspectType(b.list, grouped, row.names);
    EXPECT_EQ(Describe(b.list, grouped), row.grouped) << ::testing::PrintToString(row.names);
  }
  EntryOrder empty;
  GroupByAspectType(b.list, empty, {"Trine"});
  EXPECT_TRUE(empty.empty());
}

}  // namespace
}  // namespace korvo
