#include "inputs/input_names.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/file_system.h"
#include "support/test_support.h"

namespace korvo {
namespace {

const std::string kSeparator(1, kPathSeparator);

TEST(DefaultInputName, IsWrkAspectsTxt) {
  EXPECT_EQ(DefaultInputName(), "Wrk" + kSeparator + "Aspects.txt");
}

TEST(DefaultAspectTypesName, ByLanguageAndMode) {
  struct Row {
    LanguageFlag language;
    ChartMode mode;
    std::string name;
  };
  const Row rows[] = {
      {LanguageFlag::english, ChartMode::natal, "aspects" + kSeparator + "Natal.asp"},
      {LanguageFlag::english, ChartMode::transit, "aspects" + kSeparator + "Transit.asp"},
      {LanguageFlag::russian, ChartMode::natal,
       "aspects" + kSeparator + "\xEC\xE1\xD4\xE1\xBD" + ".asp"},
      {LanguageFlag::russian, ChartMode::transit,
       "aspects" + kSeparator + test::Cp1251("Транзит") + ".asp"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(DefaultAspectTypesName(row.language, row.mode), row.name);
  }
  EXPECT_EQ(DefaultAspectTypesName(LanguageFlag::russian, ChartMode::natal).size(), 17u);
  EXPECT_EQ(DefaultAspectTypesName(LanguageFlag::russian, ChartMode::transit).size(), 19u);
}

TEST(PlanetsFileName, ByLanguage) {
  const std::string s(1, kPathSeparator);
  EXPECT_EQ(PlanetsFileName(LanguageFlag::english), "Language" + s + "English" + s + "Planets.txt");
  EXPECT_EQ(PlanetsFileName(LanguageFlag::russian), "Language" + s + "Russian" + s + "Planets.txt");
}

}  // namespace
}  // namespace korvo
