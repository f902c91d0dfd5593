#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "aspectlist/aspect_entry.h"
#include "aspectlist/numbered_texts.h"
#include "report/page_texts.h"

namespace korvo {

// Texts from the input files as the page shows them: '&', '<' and '>' are written as "&amp;",
// "&lt;" and "&gt;", so that the page shows what the files say and no text becomes markup. Every
// '&' is escaped, also one that already begins an entity. A '"' stays, but in an attribute.

// The entity that stands for `byte` on the page, or nothing when the byte stands for itself.
inline std::string_view EntityOf(char byte) {
  switch (byte) {
    case '&':
      return kEscapedAmpersand;
    case '<':
      return kEscapedLessThan;
    case '>':
      return kEscapedGreaterThan;
    default:
      return {};
  }
}

// Appends `text` to `out`, escaped.
void AppendEscaped(std::string& out, std::string_view text);

// Appends `text` to `out`, escaped for the value of an attribute in double quotes: as above, and
// each '"' as "&quot;" (the grid page's titles hold the files' texts).
void AppendEscapedAttribute(std::string& out, std::string_view text);

// Whether `text` holds a byte that the page writes as an entity.
bool NeedsEscaping(std::string_view text);

// The texts of a list's three tables as the page shows them, numbered as in the list. A table
// that holds no byte to escape is shown as it is and not copied; a copy keeps kTextReadSlack
// zero bytes after its last text, as the list's tables do. Made once a run, after the list is
// read: its texts do not change afterwards.
struct PageTexts {
  std::optional<NumberedTexts> aspectNames;
  std::optional<NumberedTexts> planetNames;
  std::optional<NumberedTexts> orbTexts;
};

PageTexts EscapeForPage(const AspectList& list);

// The table the page shows for `table`: its escaped copy when it has one, else the table itself.
inline const NumberedTexts& ShownTable(const std::optional<NumberedTexts>& escaped,
                                       const NumberedTexts& table) {
  return escaped ? *escaped : table;
}

}  // namespace korvo
