#include "report/report_page.h"

#include "platform/crlf_writer.h"
#include "report/page_texts.h"

namespace korvo {

std::string MakePageName(std::string_view inputName, char separator) {
  // Windows also takes '/' between folders, so the file part begins after the last of either.
  const std::string_view separators = separator == '\\' ? "\\/" : "/";
  const std::size_t lastSeparator = inputName.find_last_of(separators);
  const std::size_t fileStart = lastSeparator == std::string_view::npos ? 0 : lastSeparator + 1;
  const std::size_t lastDot = inputName.rfind('.');
  const bool fileHasDot = lastDot != std::string_view::npos && lastDot >= fileStart;
  std::string pageName(inputName.substr(0, fileHasDot ? lastDot : inputName.size()));
  return pageName.append(kPageExtension);
}

std::string HeaderText(const std::vector<std::string>& headerLines) {
  std::string headerText;
  for (const std::string& line : headerLines) {
    AppendEscaped(headerText, line);
    headerText.append(kHeaderLineEnd);
  }
  return headerText;
}

std::string HeaderBlock(const std::vector<std::string>& headerLines) {
  return std::string(kHeaderBlockStart).append(HeaderText(headerLines)).append(kHeaderBlockEnd);
}

void WritePageStart(std::ostream& page, LanguageFlag language,
                    const std::vector<std::string>& headerLines) {
  WriteCrLf(page, language == LanguageFlag::russian ? kRussianPageHead : kEnglishPageHead);
  WriteCrLf(page, HeaderBlock(headerLines));
}

void WriteTableBlock(std::ostream& page, const AspectList& list, const PageTexts& pageTexts,
                     const EntryOrder& order, TableLayout layout, LanguageFlag language) {
  WriteCrLf(page, kTableStart);
  WriteCrLf(page, TableHeaderRow(layout, language));
  WriteAspectRows(page, list, pageTexts, order, layout);
  WriteCrLf(page, kTableEnd);
}

void WritePageEnd(std::ostream& page) {
  WriteCrLf(page, kPageEnd);
}

}  // namespace korvo
