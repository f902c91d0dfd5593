#include "base/run_log.h"

#include "base/log_texts.h"
#include "platform/crlf_writer.h"
#include "platform/standard_error.h"

namespace korvo {
namespace {

// Room for the longest name and the pieces of the line around it.
constexpr std::size_t kLineRoom = 8192;

// From now on the lines go to standard error, which is told why once.
void TurnToStandardError(RunLog& log, int state) {
  log.file.reset();
  log.state = state;
  log.destination = LogDestination::standardError;
  WriteToStandardError(kRunLogNotWritten);
  WriteToStandardError(log.currentDirectory);
  WriteToStandardError(kCrLf);
}

// The line is put together first, so that it reaches the file with one write and, when that
// fails, standard error whole. Within the room made at the start this allocates nothing.
void WriteLine(RunLog& log, std::initializer_list<std::string_view> pieces, bool endsLine) {
  if (log.destination == LogDestination::nowhere) return;
  log.line.clear();
  for (const std::string_view piece : pieces) AppendCrLf(log.line, piece);
  const std::size_t textSize = log.line.size();
  log.line.append(kCrLf);  // standard error ends every line, the last one too
  const std::string_view inFile(log.line.data(), endsLine ? log.line.size() : textSize);
  if (log.destination == LogDestination::file && !WriteAll(log.file.get(), inFile)) {
    TurnToStandardError(log, kLogWriteFailed);
  }
  if (log.destination == LogDestination::standardError) WriteToStandardError(log.line);
}

}  // namespace

void OpenRunLog(RunLog& log, std::string_view currentDirectory) {
  OpenRunLogAs(log, std::string(kRunLogName), currentDirectory);
}

void OpenRunLogAs(RunLog& log, const std::string& fileName, std::string_view currentDirectory) {
  log.line.reserve(kLineRoom);
  log.currentDirectory = currentDirectory;
  log.file = OpenUnbuffered(fileName);
  log.state = 0;
  log.destination = LogDestination::file;
  if (!log.file) TurnToStandardError(log, kLogNotOpened);
}

void LogLine(RunLog& log, std::initializer_list<std::string_view> pieces) {
  WriteLine(log, pieces, true);
}

void LogLastLine(RunLog& log, std::initializer_list<std::string_view> pieces) {
  WriteLine(log, pieces, false);
}

void LogNameTooLong(RunLog& log, std::size_t capacity) {
  LogLine(log, {kNameLongerThan, std::to_string(capacity - 1), kBytes});
}

int RunLogState(const RunLog& log) {
  return log.state;
}

}  // namespace korvo
