#include "report/grid_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
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

// The label of a point that shows the drawn glyph `id`.
std::string Glyph(const std::string& id) {
  return "<svg class=\"glyph\"><use href=\"#" + id + "\"/></svg>";
}

TEST(PointLabel, GlyphsNumeralsOrTheFirstThreeBytesEscaped) {
  struct Row {
    GridPoint point;
    std::string label;
    LanguageFlag language = ru;
  };
  const Row rows[] = {
      {{"Sun"}, Glyph("sun")},
      {{"MOON"}, Glyph("moon")},
      {{test::Cp1251("Солнце")}, Glyph("sun")},
      {{test::Cp1251("ЛУНА")}, Glyph("moon")},
      {{"North Node"}, Glyph("north-node")},
      {{test::Cp1251("Сев. узел")}, Glyph("north-node")},
      {{test::Cp1251("Юж. узел")}, Glyph("south-node")},
      {{"Chiron"}, Glyph("chiron")},
      {{test::Cp1251("Лилит")}, Glyph("lilith")},
      {{"Pluto"}, Glyph("pluto")},
      {{"XII House", true}, "XII"},
      {{test::Cp1251("VIII дом"), true}, "VIII"},
      {{"XII House", false}, "XII"},  // not a house of the run: its first three bytes
      {{"I House", false}, "I H"},
      {{"ASC"}, "ASC"},
      {{"Sun "}, "Sun"},
      {{"A&B"}, "A&amp;B"},
      {{"<!--"}, "&lt;!-"},
      {{""}, ""},
      {{"Mars"}, Glyph("mars"), en},
      {{test::Cp1251("МАРС")}, test::Cp1251("МАР"), en},  // "ÌÀÐÑ" in Windows-1252
  };
  for (const Row& row : rows) {
    EXPECT_EQ(PointLabel(row.point, row.language), row.label) << row.point.name;
  }
}

using Rgb = std::array<double, 3>;
using Matrix = std::array<Rgb, 3>;

// "#rrggbb" in linear light, each channel from 0 to 1.
Rgb LinearRgb(std::string_view colour) {
  Rgb rgb{};
  for (std::size_t channel = 0; channel < 3; ++channel) {
    const double value =
        std::stoi(std::string(colour.substr(1 + 2 * channel, 2)), nullptr, 16) / 255.0;
    rgb[channel] = value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
  }
  return rgb;
}

double Luminance(const Rgb& rgb) {
  return 0.2126729 * rgb[0] + 0.7151522 * rgb[1] + 0.0721750 * rgb[2];
}

// CIELAB under D65 of a colour in linear light, as seen through `vision` (clamped to the gamut).
Rgb Lab(const Matrix& vision, const Rgb& linear) {
  Rgb seen{};
  for (std::size_t row = 0; row < 3; ++row) {
    for (std::size_t column = 0; column < 3; ++column)
      seen[row] += vision[row][column] * linear[column];
    seen[row] = std::clamp(seen[row], 0.0, 1.0);
  }
  const auto f = [](double t) {
    return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116;
  };
  const double x = f((0.4124564 * seen[0] + 0.3575761 * seen[1] + 0.1804375 * seen[2]) / 0.95047);
  const double y = f(Luminance(seen));
  const double z = f((0.0193339 * seen[0] + 0.1191920 * seen[1] + 0.9503041 * seen[2]) / 1.08883);
  return {116 * y - 16, 500 * (x - y), 200 * (y - z)};
}

// The least CIE76 difference of two of the colours, to normal vision and under the Machado
// (2009) simulations of deuteranopia and protanopia at severity 1.
double LeastDifference(const std::vector<std::string_view>& colours) {
  const Matrix visions[] = {
      {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}},
      {{{0.367322, 0.860646, -0.227968},
        {0.280085, 0.672501, 0.047413},
        {-0.011820, 0.042940, 0.968881}}},
      {{{0.152286, 1.052583, -0.204868},
        {0.114503, 0.786281, 0.099216},
        {-0.003882, -0.048116, 1.051998}}},
  };
  double least = 1e9;
  for (const Matrix& vision : visions) {
    for (std::size_t first = 0; first < colours.size(); ++first) {
      for (std::size_t second = first + 1; second < colours.size(); ++second) {
        const Rgb a = Lab(vision, LinearRgb(colours[first]));
        const Rgb b = Lab(vision, LinearRgb(colours[second]));
        least = std::min(least, std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]));
      }
    }
  }
  return least;
}

TEST(ToneColours, ApartToEveryVisionReadableOnWhiteRedOrangeAndBlue) {
  std::vector<std::string_view> colours;
  for (const ToneColour& tone : kToneColours) {
    colours.push_back(tone.colour);
    EXPECT_GE(1.05 / (Luminance(LinearRgb(tone.colour)) + 0.05), 4.5) << tone.tone;
  }
  EXPECT_GE(LeastDifference(colours), 20.0);
  // The colours of 1.2.0: red and green turned two olive browns under deuteranopia.
  EXPECT_NEAR(LeastDifference({"#b00000", "#0040a0", "#000000", "#006400"}), 12.6, 0.1);
  const Rgb tense = LinearRgb(kToneColours[0].colour);
  const Rgb harmonious = LinearRgb(kToneColours[1].colour);
  EXPECT_EQ(kToneColours[0].tone, kTenseTone);
  EXPECT_TRUE(tense[0] > tense[1] && tense[1] > tense[2]) << "red-orange: red over green over blue";
  EXPECT_EQ(kToneColours[1].tone, kHarmoniousTone);
  EXPECT_TRUE(harmonious[2] > 2 * (harmonious[0] + harmonious[1])) << "blue";
}

// A text with each 'd' as the degree sign, 0xB0.
std::string Degrees(std::string text) {
  std::replace(text.begin(), text.end(), 'd', kDegreeSign);
  return text;
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
  EXPECT_NE(natal.find("<title>VEXA - Aspect Grid</title>\r\n  <meta name=\"viewport\""),
            std::string::npos);
  // Three columns print at 8 pt: 7 + 3 * 3.7 + 3 em wide.
  EXPECT_NE(natal.find("@media print { #aspect-grid { font-size: 8.00pt; width: 168.80pt; } }"),
            std::string::npos);
  // Only the drawn symbols and glyphs the grid shows are defined, each once.
  EXPECT_NE(natal.find("<symbol id=\"trine\" viewBox=\"0 0 20 20\">"), std::string::npos);
  EXPECT_NE(natal.find("<symbol id=\"sun\" viewBox=\"0 0 20 20\">"), std::string::npos);
  EXPECT_EQ(CountOf(natal, "<symbol "), 3u);
  EXPECT_NE(natal.find("<h3>Chart &lt;A &amp; B&gt;<br>é?<br><br><br></h3>\r\n"),
            std::string::npos);
  // Orbs under 1 degree are tight; each aspect can be focused and is labelled with its text.
  const std::string trine =
      ("<span class=\"aspect harmonious\" tabindex=\"0\" role=\"img\" title=\"Trine Sun-Moon "
       "+2°15'30&quot;\" aria-label=\"Trine Sun-Moon +2°15'30&quot;\"><svg class=\"symbol\"><use "
       "href=\"#trine\"/></svg><span class=\"orb\">+2°15'</span></span>");
  const std::string quintile =
      ("<span class=\"aspect other tight\" tabindex=\"0\" role=\"img\" title=\"Quintile Moon-Moon "
       "&lt;0°\" aria-label=\"Quintile Moon-Moon &lt;0°\"><span class=\"symbol\">Q</span><span "
       "class=\"orb\">&lt;0°</span></span>");
  const std::string square =
      ("<span class=\"aspect other tight\" tabindex=\"0\" role=\"img\" title=\"Sq Sun-A&quot;B "
       "1°\" aria-label=\"Sq Sun-A&quot;B 1°\"><span class=\"symbol\">Sq</span><span "
       "class=\"orb\">1°</span></span>");
  // Natal totals count a point's row and its column, an aspect of a point with itself once.
  const std::string rows =
      "<div class=\"grid-box\">\r\n<table id=\"aspect-grid\">\r\n<thead>\r\n"
      "<tr><td class=\"corner\"></td><th title=\"Sun\">" +
      Glyph("sun") + "</th><th title=\"Moon\">" + Glyph("moon") +
      "</th><th title=\"A&quot;B\">A\"B</th><td class=\"total\">Total</td></tr>\r\n"
      "</thead>\r\n<tbody>\r\n"
      "<tr><th>Sun</th><td class=\"point\">" +
      Glyph("sun") +
      "</td><td class=\"above\"></td><td class=\"above\"></td><td class=\"total\">2</td>"
      "</tr>\r\n<tr><th>Moon</th><td>" +
      trine + "</td><td class=\"point\">" + Glyph("moon") + quintile +
      "</td><td class=\"above\"></td><td class=\"total\">2</td></tr>\r\n"
      "<tr><th>A\"B</th><td>" +
      square +
      "</td><td></td><td class=\"point\">A\"B</td>"
      "<td class=\"total\">1</td></tr>\r\n</tbody>\r\n</table>\r\n</div>\r\n"
      "<p class=\"legend\"><span class=\"entry\"><span class=\"harmonious\"><svg class=\"symbol\">"
      "<use href=\"#trine\"/></svg></span> Trine <span class=\"count\">(1)</span></span><span "
      "class=\"entry\"><span class=\"other\"><span class=\"symbol\">Q</span></span> Quintile "
      "<span class=\"count\">(1)</span></span><span class=\"entry\"><span class=\"other\"><span "
      "class=\"symbol\">Sq</span></span> Sq <span class=\"count\">(1)</span></span><span "
      "class=\"entry tight-legend\">bold: orb under 1°</span></p>\r\n</body>\r\n</html>\r\n";
  EXPECT_TRUE(natal.ends_with(rows)) << natal;

  // A transit grid has no diagonal and no empty half; a Russian one is in Russian, in UTF-8.
  const std::string transit = GridPageOf(b, ChartMode::transit, LanguageFlag::russian);
  EXPECT_TRUE(
      transit.starts_with("<!DOCTYPE html>\r\n<html lang=\"ru\">\r\n<head>\r\n  <meta "
                          "charset=\"utf-8\">\r\n  <title>VEXA - Сетка аспектов</title>"));
  EXPECT_NE(transit.find("<tr><td class=\"corner\"><span class=\"columns-caption\">Транзитные"
                         "</span><span class=\"rows-caption\">Натальные</span></td>"),
            std::string::npos);
  EXPECT_NE(transit.find("<tr><th>Moon</th><td>" + trine + "</td><td>" + quintile +
                         "</td><td class=\"total\">2</td></tr>\r\n"),
            std::string::npos);
  EXPECT_NE(transit.find("<td class=\"total\">Всего</td>"), std::string::npos);
  EXPECT_NE(transit.find("жирным: орбис меньше 1°"), std::string::npos);
  EXPECT_EQ(transit.find("class=\"point\""), std::string::npos);
  EXPECT_EQ(transit.find("class=\"above\""), std::string::npos);
}

}  // namespace
}  // namespace korvo
