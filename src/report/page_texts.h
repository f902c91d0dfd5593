#pragma once

#include <string_view>

namespace korvo {

// The fixed texts of the page. "\n" stands for a line end, stored as CR LF; the Russian texts are
// Windows-1251 bytes.

inline constexpr std::string_view kEnglishPageHead =
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n"
    "<html>\n"
    "<head>\n"
    "  <title>VEXA - Aspects List</title>\n"
    "</head>\n"
    "<body bgcolor=\"#ffffff\" text=\"#000000\">\n";

// The title reads "VEXA - Список аспектов".
inline constexpr std::string_view kRussianPageHead =
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n"
    "<html>\n"
    "<head>\n"
    "  <meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">\n"
    "  <title>VEXA - \xD1\xEF\xE8\xF1\xEE\xEA \xE0\xF1\xEF\xE5\xEA\xF2\xEE\xE2</title>\n"
    "</head>\n"
    "<body bgcolor=\"#ffffff\" text=\"#000000\">\n";

inline constexpr std::string_view kHeaderBlockStart = "<h3>";
inline constexpr std::string_view kHeaderLineEnd = "<br>";  // after each header line
inline constexpr std::string_view kHeaderBlockEnd = "</h3>\n";
inline constexpr std::string_view kTableStart = "<table align=left cellspacing=0>\n";
inline constexpr std::string_view kTableEnd = "</table>\n";
inline constexpr std::string_view kPageEnd = "</body>\n</html>\n";
inline constexpr std::string_view kPageExtension = ".html";

// The entities that stand for the bytes of the files' texts that would be markup.
inline constexpr std::string_view kEscapedAmpersand = "&amp;";
inline constexpr std::string_view kEscapedLessThan = "&lt;";
inline constexpr std::string_view kEscapedGreaterThan = "&gt;";
inline constexpr std::string_view kEscapedQuote = "&quot;";  // only inside an attribute

// Column titles of the header rows.
inline constexpr std::string_view kEnglishOrbTitle = "Orb";
inline constexpr std::string_view kEnglishAspectTitle = "Aspect";
inline constexpr std::string_view kEnglishFromTitle = "From";
inline constexpr std::string_view kEnglishToTitle = "To";
inline constexpr std::string_view kRussianOrbTitle = "\xCE\xF0\xE1\xE8\xF1";  // Орбис
inline constexpr std::string_view kRussianAspectTitle = "\xC0\xF1\xEF\xE5\xEA\xF2\xE0";  // Аспекта
inline constexpr std::string_view kRussianFromTitle = "\xCE\xF2";                        // От
inline constexpr std::string_view kRussianToTitle = "\xC4\xEE";                          // До

// Pieces of the header rows and data rows.
inline constexpr std::string_view kRowStart = "<tr>\n";
inline constexpr std::string_view kRowEnd = "</tr>\n";
inline constexpr std::string_view kCentredHeaderCell = "  <td align=center bgcolor=Silver>";
inline constexpr std::string_view kLeftHeaderCell = "  <td align=left bgcolor=Silver>";
inline constexpr std::string_view kHeaderCellEnd = "</td>\n";
inline constexpr std::string_view kSpacerContent = "&nbsp;&nbsp;";
inline constexpr std::string_view kWhitespaceSign = "&nbsp;";
inline constexpr std::string_view kBoldStart = "<b>";  // around a title, an orb or a group name
inline constexpr std::string_view kBoldEnd = "</b>";

// The fixed texts between the fields of a data row, each run of them joined into one piece. Every
// data cell is followed by the spacer cell "<td>&nbsp;&nbsp;</td>", and the orb cell uses the font
// "Courier New".
inline constexpr std::string_view kOrbRowStart = "<tr><td><font face =\"Courier New\">";
inline constexpr std::string_view kOrbRowAfterOrb = "</b></font></td><td>&nbsp;&nbsp;</td><td>";
inline constexpr std::string_view kBetweenNames = "</td><td>&nbsp;&nbsp;</td><td>";
inline constexpr std::string_view kLastNameEnd = "</td><td>&nbsp;&nbsp;</td></tr>\r\n";
inline constexpr std::string_view kGroupedRowStart = "<tr><td>";
inline constexpr std::string_view kGroupedRowOrbCell =
    "</td><td>&nbsp;&nbsp;</td><td><font face =\"Courier New\">";
inline constexpr std::string_view kGroupedRowEnd = "</font></td><td>&nbsp;&nbsp;</td></tr>\r\n";

}  // namespace korvo
