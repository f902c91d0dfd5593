#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "aspectlist/name_list.h"
#include "base/run_log.h"
#include "platform/line_reader.h"

namespace korvo::test {

// Windows-1251 bytes of a UTF-8 text that holds only ASCII, the Russian letters А..я, Ё, ё and
// '°'. Lets the tests write their Russian expectations as readable text.
inline std::string Cp1251(std::string_view utf8) {
  std::string bytes;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    if (lead < 0x80) {
      bytes.push_back(utf8[i++]);
      continue;
    }
    if ((lead & 0xE0) != 0xC0 || i + 1 >= utf8.size()) {
      ADD_FAILURE() << "only two-byte UTF-8 letters are converted";
      return bytes;
    }
    const auto trail = static_cast<unsigned char>(utf8[i + 1]);
    const unsigned codePoint = ((lead & 0x1Fu) << 6) | (trail & 0x3Fu);
    i += 2;
    if (codePoint >= 0x410 && codePoint <= 0x44F) {
      bytes.push_back(static_cast<char>(0xC0 + (codePoint - 0x410)));
    } else if (codePoint == 0x401) {
      bytes.push_back('\xA8');
    } else if (codePoint == 0x451) {
      bytes.push_back('\xB8');
    } else if (codePoint == 0xB0) {
      bytes.push_back('\xB0');
    } else {
      ADD_FAILURE() << "no Windows-1251 byte known for U+" << std::hex << codePoint;
    }
  }
  return bytes;
}

inline std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Writes a file under a name given as the program holds names: bytes in the platform's ANSI code
// page, which a std::filesystem::path would convert on Windows.
inline void WriteFileBytes(const std::string& name, std::string_view bytes) {
  std::ofstream file(name, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A fresh, empty directory for one test, removed again at its end.
class TempDirectory {
 public:
  TempDirectory() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::temp_directory_path() /
            (std::string("korvo_unit_") + info->test_suite_name() + "_" + info->name() + "_" +
             std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDirectory(const TempDirectory&) = delete;
  TempDirectory& operator=(const TempDirectory&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// A RunLog that writes to a file of its own, so a test can read back exactly what was logged.
struct CapturedLog {
  TempDirectory directory;
  RunLog log;

  CapturedLog() {
    OpenRunLogAs(log, (directory.path() / "Korvo.log").string(), directory.path().string());
  }

  std::string Text() { return ReadFileBytes(directory.path() / "Korvo.log"); }
};

// The names a names-file reader (ReadAspectTypes, ReadPlanets) takes from `bytes`, read as a
// Windows-1252 file called `fileName`; `log`, when given, receives what the reading logged.
template <typename NamesReader>
NameList ReadNamesWith(NamesReader read, const std::string& bytes, std::string_view fileName,
                       std::string* log = nullptr) {
  std::istringstream input(bytes);
  LineReader reader = MakeLineReader(input, CodePage::windows1252);
  CapturedLog captured;
  NameList names;
  read(reader, names, captured.log, fileName);
  if (log) *log = captured.Text();
  return names;
}

// Every line a LineReader gives for `bytes`, with the cut flag and the line number of each.
struct ReadLine {
  std::string text;
  bool wasCut;
  long lineNumber;

  bool operator==(const ReadLine&) const = default;
};

inline void PrintTo(const ReadLine& line, std::ostream* out) {
  *out << "{\"" << line.text << "\", cut " << line.wasCut << ", line " << line.lineNumber << "}";
}

// A stream buffer whose reads give `reads` one after the other and then fail, as a file does whose
// read(2) or ReadFile meets an I/O error: the stream over it gets the bad flag, as an ifstream's
// does. A read asks for a whole chunk of the line reader, so a read that gives less is the last.
struct FailingReads : std::streambuf {
  std::vector<std::string> reads;
  std::size_t readsDone = 0;

  explicit FailingReads(std::vector<std::string> givenReads) : reads(std::move(givenReads)) {}

  std::streamsize xsgetn(char* bytes, std::streamsize count) override {
    if (readsDone == reads.size()) throw std::ios_base::failure("read error");
    const std::string& read = reads[readsDone++];
    const std::size_t given = std::min(read.size(), static_cast<std::size_t>(count));
    read.copy(bytes, given);
    return static_cast<std::streamsize>(given);
  }
  int_type underflow() override { throw std::ios_base::failure("read error"); }
};

inline std::vector<ReadLine> ReadAllLines(const std::string& bytes) {
  std::istringstream stream(bytes);
  LineReader reader = MakeLineReader(stream, CodePage::windows1252);
  std::vector<ReadLine> lines;
  while (const std::optional<InputLine> line = NextLine(reader)) {
    lines.push_back({std::string(line->text), line->wasCut, reader.lineNumber});
  }
  return lines;
}

}  // namespace korvo::test
