// Fuzz target: the line reader on an arbitrary file in either code page. Every line, with its cut,
// its zero byte and its characters without a form, and how the file was read, must be exactly
// those of the plain whole-file reading in reference_lines.h.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "base/run_log.h"
#include "inputs/logged_lines.h"
#include "platform/line_reader.h"
#include "reference_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvo;
  using namespace korvo::fuzz;
  if (size == 0) return 0;
  // The first byte picks the code page; the rest is the file.
  const CodePage codePage = data[0] & 1 ? CodePage::windows1251 : CodePage::windows1252;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::vector<ReferenceLine> expected = ReferenceLines(bytes, codePage);

  std::istringstream stream(std::string(bytes), std::ios::in | std::ios::binary);
  LineReader reader = MakeLineReader(stream, codePage);
  RunLog log;  // never opened: the logged reading must still give the same lines
  std::size_t index = 0;
  long readAsUtf8 = 0;
  while (const std::optional<InputLine> line = NextLineLogged(reader, log, "file")) {
    Check(index < expected.size(), "no more lines than the reference");
    const ReferenceLine& want = expected[index];
    Check(line->text == want.text, "line text");
    Check(line->wasCut == want.wasCut, "cut at 127 bytes");
    Check(line->endedAtZeroByte == want.endedAtZeroByte, "zero byte with more bytes behind it");
    Check(line->charactersWithoutForm == want.charactersWithoutForm, "characters without form");
    Check(reader.lineNumber == static_cast<long>(index + 1), "line number");
    if (want.readAsUtf8) ++readAsUtf8;
    ++index;
  }
  Check(index == expected.size(), "no fewer lines than the reference");
  Check(reader.endReached, "the end is marked");
  Check(reader.linesReadAsUtf8 == readAsUtf8, "lines read as UTF-8");
  const bool utf16 = bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
  Check((reader.encoding != FileEncoding::bytes) == utf16, "UTF-16 exactly after its mark");
  return 0;
}
