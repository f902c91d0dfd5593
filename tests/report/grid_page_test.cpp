#include "report/grid_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <utility>

#include "support/entry_builder.h"
#include "support/grid_on_page_orders.h"
#include "support/test_support.h"

namespace korvo {
namespace {

std::size_t CountOf(const std::string& text, const std::string& piece) {
  std::size_t count = 0;
  for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
    ++count;
  }
  return count;
}

constexpr LanguageFlag en = LanguageFlag::english;
constexpr LanguageFlag ru = LanguageFlag::russian;

TEST(SymbolOf, KnownNamesWithoutCaseInTheRunsCodePageOthersByTheirFirstBytes) {
  struct Row {
    std::string name;
    std::string symbol;  // a drawing's id, or the text
    std::string_view tone;
    LanguageFlag language = ru;
  };
  const Row rows[] = {
      {"Conjunction", "conjunction", kConjunctionTone},
      {test::Cp1251("СОЕДИНЕНИЕ"), "conjunction", kConjunctionTone},
      {"opposition", "opposition", kTenseTone},
      {test::Cp1251("Оппозиция"), "opposition", kTenseTone},
      {"TRINE", "trine", kHarmoniousTone},
      {test::Cp1251("Трин"), "trine", kHarmoniousTone},
      {test::Cp1251("Тригон"), "trine", kHarmoniousTone},
      {"Square", "square", kTenseTone},
      {test::Cp1251("Квадрат"), "square", kTenseTone},
      {test::Cp1251("Квадратура"), "square", kTenseTone},
      {"Sextile", "sextile", kHarmoniousTone},
      {test::Cp1251("Секстиль"), "sextile", kHarmoniousTone},
      {"Quincunx", "quincunx", kOtherTone},
      {"Inconjunct", "quincunx", kOtherTone},
      {test::Cp1251("Квинконс"), "quincunx", kOtherTone},
      {"Semisextile", "semisextile", kOtherTone},
      {"Semi-Sextile", "semisextile", kOtherTone},
      {test::Cp1251("Полусекстиль"), "semisextile", kOtherTone},
      {"Semisquare", "semisquare", kTenseTone},
      {"semi-square", "semisquare", kTenseTone},
      {"Octile", "semisquare", kTenseTone},
      {test::Cp1251("Полуквадрат"), "semisquare", kTenseTone},
      {"Sesquiquadrate", "sesquiquadrate", kTenseTone},
      {"Sesquisquare", "sesquiquadrate", kTenseTone},
      {test::Cp1251("Полутораквадрат"), "sesquiquadrate", kTenseTone},
      {test::Cp1251("Сесквиквадрат"), "sesquiquadrate", kTenseTone},
      {"Quintile", "Q", kOtherTone},
      {test::Cp1251("КВИНТИЛЬ"), "Q", kOtherTone},
      {"BiQuintile", "bQ", kOtherTone},
      {test::Cp1251("Биквинтиль"), "bQ", kOtherTone},
      // Not a known name: its first three bytes.
      {"Trines", "Tri", kOtherTone},
      {"Semi", "Sem", kOtherTone},
      {"Q", "Q", kOtherTone},
      {"", "", kOtherTone},
      {"Conjunction ", "Con", kOtherTone},
      // English names in English runs; Windows-1252 bytes are no Russian name there ("ÒÐÈÍ").
      {"TRINE", "trine", kHarmoniousTone, en},
      {test::Cp1251("ТРИН"), test::Cp1251("ТРИ"), kOtherTone, en},
      {test::Cp1251("трин"), test::Cp1251("три"), kOtherTone, en},
  };
  for (const Row& row : rows) {
    const AspectSymbol symbol = SymbolOf(row.name, row.language);
    EXPECT_EQ(symbol.drawingId.empty() ? symbol.text : symbol.drawingId, row.symbol) << row.name;
    EXPECT_EQ(symbol.tone, row.tone) << row.name;
  }
}

TEST(PointLabel, GlyphsNumeralsOrTheFirstThreeBytesEscaped) {
  struct Row {
    GridPoint point;
    std::string label;
    LanguageFlag language = ru;
  };
  const Row rows[] = {
      {{"Sun"}, "&#9737;"},
      {{"MOON"}, "&#9789;"},
      {{test::Cp1251("Солнце")}, "&#9737;"},
      {{test::Cp1251("ЛУНА")}, "&#9789;"},
      {{"North Node"}, "&#9738;"},
      {{test::Cp1251("Сев. узел")}, "&#9738;"},
      {{test::Cp1251("Юж. узел")}, "&#9739;"},
      {{"Chiron"}, "&#9911;"},
      {{test::Cp1251("Лилит")}, "&#9912;"},
      {{"Pluto"}, "&#9799;"},
      {{"XII House", true}, "XII"},
      {{test::Cp1251("VIII дом"), true}, "VIII"},
      {{"XII House", false}, "XII"},  // not a house of the run: its first three bytes
      {{"I House", false}, "I H"},
      {{"ASC"}, "ASC"},
      {{"Sun "}, "Sun"},
      {{"A&B"}, "A&amp;B"},
      {{"<!--"}, "&lt;!-"},
      {{""}, ""},
      {{"Mars"}, "&#9794;", en},
      {{test::Cp1251("МАРС")}, test::Cp1251("МАР"), en},  // "ÌÀÐÑ" in Windows-1252
  };
  for (const Row& row : rows) {
    EXPECT_EQ(PointLabel(row.point, row.language), row.label) << row.point.name;
  }
}

// A text with each 'd' as the degree sign, 0xB0.
std::string Degrees(std::string text) {
  std::replace(text.begin(), text.end(), 'd', kDegreeSign);
  return text;
}

// A text with each 'd' as the degree sign in UTF-8, as the grid page writes it.
std::string Utf8Degrees(const std::string& text) {
  std::string utf8;
  for (const char byte : text) utf8.append(byte == 'd' ? "°" : std::string(1, byte));
  return utf8;
}

TEST(OrbToMinutes, DegreesAndMinutesWhenTheirMarksFollow) {
  const std::pair<std::string, std::string> rows[] = {
      {"2d15'30\"", "2d15'"}, {"0d25'", "0d25'"}, {"2d", "2d"},
      {"1d30", "1d"},  // minutes without their mark are cut off
      {"1d 15'", "1d"},       {"1d'", "1d"},      {"d5'", "d5'"},
  };
  for (const auto& [orb, cut] : rows) EXPECT_EQ(OrbToMinutes(Degrees(orb)), Degrees(cut)) << orb;
}

TEST(GridPageName, GridBeforeTheExtension) {
  EXPECT_EQ(GridPageName("/w/Wrk/Aspects.html"), "/w/Wrk/Aspects-grid.html");
  EXPECT_EQ(GridPageName("C:\\w\\a.b.html"), "C:\\w\\a.b-grid.html");
}

std::string GridPageOf(const test::ListBuilder& b, ChartMode mode, LanguageFlag language) {
  const AspectGrid grid = test::GridOnPageOrders(b.list, {"Trine", "Quintile", "Conjunction", "Sq"},
                                                 NameList{"Sun", "Moon"}, language, mode);
  std::ostringstream page;
  WriteGridPage(page, b.list, grid, {"Chart <A & B>", "\xE9\x81", "", ""}, language);
  return page.str();
}

TEST(WriteGridPage, HeadHeaderGridAndLegend) {
  test::ListBuilder b;
  b.Add("Trine", "Sun", "Moon", 8130, Degrees("2d15'30\""), '+');
  b.Add("Quintile", "Moon", "Moon", 60, Degrees("0d"), '<');
  b.Add("Sq", "Sun", "A\"B", 60, Degrees("1d"));
  const std::string natal = GridPageOf(b, ChartMode::natal, LanguageFlag::english);
  EXPECT_TRUE(
      natal.starts_with("<!DOCTYPE html>\r\n<html lang=\"en\">\r\n<head>\r\n  <meta "
                        "charset=\"utf-8\">\r\n  <title>VEXA - Aspect Grid</title>\r\n"));
  EXPECT_NE(natal.find("@page { size: A4;"), std::string::npos);
  // Only the drawn symbols the grid shows are defined, each once.
  EXPECT_NE(natal.find("<symbol id=\"trine\" viewBox=\"0 0 20 20\">"), std::string::npos);
  EXPECT_EQ(CountOf(natal, "<symbol "), 1u);
  EXPECT_NE(natal.find("<h3>Chart &lt;A &amp; B&gt;<br>é?<br><br><br></h3>\r\n"),
            std::string::npos);
  const std::string trine = Utf8Degrees(
      "<span class=\"aspect harmonious\" title=\"Trine Sun-Moon +2d15'30&quot;\"><svg "
      "class=\"symbol\"><use href=\"#trine\"/></svg><span class=\"orb\">+2d15'</span></span>");
  const std::string quintile = Utf8Degrees(
      "<span class=\"aspect other\" title=\"Quintile Moon-Moon &lt;0d\"><span class=\"symbol\">"
      "Q</span><span class=\"orb\">&lt;0d</span></span>");
  const std::string square = Utf8Degrees(
      "<span class=\"aspect other\" title=\"Sq Sun-A&quot;B 1d\"><span class=\"symbol\">Sq"
      "</span><span class=\"orb\">1d</span></span>");
  const std::string rows =
      "<table id=\"aspect-grid\">\r\n"
      "<tr><td class=\"corner\"></td><th title=\"Sun\">&#9737;</th><th title=\"Moon\">&#9789;</th>"
      "<th title=\"A&quot;B\">A\"B</th></tr>\r\n"
      "<tr><th>Sun</th><td class=\"point\">&#9737;</td><td class=\"above\"></td>"
      "<td class=\"above\"></td></tr>\r\n"
      "<tr><th>Moon</th><td>" +
      trine + "</td><td class=\"point\">&#9789;" + quintile +
      "</td><td class=\"above\"></td></tr>\r\n"
      "<tr><th>A\"B</th><td>" +
      square +
      "</td><td></td><td class=\"point\">A\"B</td></tr>\r\n"
      "</table>\r\n"
      "<p class=\"legend\"><span class=\"entry\"><span class=\"harmonious\"><svg class=\"symbol\">"
      "<use href=\"#trine\"/></svg></span> Trine</span><span class=\"entry\"><span class=\"other\">"
      "<span class=\"symbol\">Q</span></span> Quintile</span><span class=\"entry\"><span "
      "class=\"other\"><span class=\"symbol\">Sq</span></span> Sq</span></p>\r\n"
      "</body>\r\n</html>\r\n";
  EXPECT_TRUE(natal.ends_with(rows)) << natal;

  // A transit grid has no diagonal and no empty half; a Russian one is in Russian, in UTF-8.
  const std::string transit = GridPageOf(b, ChartMode::transit, LanguageFlag::russian);
  EXPECT_TRUE(
      transit.starts_with("<!DOCTYPE html>\r\n<html lang=\"ru\">\r\n<head>\r\n  <meta "
                          "charset=\"utf-8\">\r\n  <title>VEXA - Сетка аспектов</title>"));
  EXPECT_NE(
      transit.find("<tr><th>Moon</th><td>" + trine + "</td><td>" + quintile + "</td></tr>\r\n"),
      std::string::npos);
  EXPECT_EQ(transit.find("class=\"point\""), std::string::npos);
  EXPECT_EQ(transit.find("class=\"above\""), std::string::npos);
}

}  // namespace
}  // namespace korvo
