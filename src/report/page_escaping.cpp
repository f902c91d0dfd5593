#include "report/page_escaping.h"

#include <algorithm>
#include <cstdint>

namespace korvo {
namespace {

// A copy of the table with every text escaped, or nothing when no text needs it.
std::optional<NumberedTexts> EscapedCopy(const NumberedTexts& table) {
  if (!NeedsEscaping(table.bytes)) return std::nullopt;
  NumberedTexts copy;
  copy.bytes.clear();
  copy.bytes.reserve(table.bytes.size() + table.bytes.size() / 4);
  copy.starts.reserve(table.starts.size());
  for (std::uint32_t number = 0; number < TextCount(table); ++number) {
    AppendEscaped(copy.bytes, TextOf(table, number));
    copy.starts.push_back(copy.bytes.size());
  }
  copy.bytes.append(kTextReadSlack, '\0');
  return copy;
}

}  // namespace

void AppendEscaped(std::string& out, std::string_view text) {
  for (const char byte : text) {
    const std::string_view entity = EntityOf(byte);
    if (entity.empty()) {
      out.push_back(byte);
    } else {
      out.append(entity);
    }
  }
}

void AppendEscapedAttribute(std::string& out, std::string_view text) {
  for (std::size_t start = 0;;) {
    const std::size_t quote = std::min(text.find('"', start), text.size());
    AppendEscaped(out, text.substr(start, quote - start));
    if (quote == text.size()) return;
    out.append(kEscapedQuote);
    start = quote + 1;
  }
}

bool NeedsEscaping(std::string_view text) {
  // One search per byte value: each is a fast scan of memory, and most texts hold none of them.
  return text.find('&') != std::string_view::npos || text.find('<') != std::string_view::npos ||
         text.find('>') != std::string_view::npos;
}

PageTexts EscapeForPage(const AspectList& list) {
  return {EscapedCopy(list.aspectNames), EscapedCopy(list.planetNames), EscapedCopy(list.orbTexts)};
}

}  // namespace korvo
