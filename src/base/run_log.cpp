#include "base/run_log.h"

#include "base/log_texts.h"
#include "platform/crlf_writer.h"
#include "platform/log_file.h"
#include "platform/standard_error.h"

namespace korvo {
namespace {

// Room for the longest name and the pieces of the line around it.
constexpr std::size_t kLineRoom = 8192;
constexpr std::size_t kReasonRoom = 512;

// From now on the lines go to standard error, which is told why once, in one line of `notice`.
void TurnToStandardError(RunLog& log, int state, std::initializer_list<std::string_view> notice) {
  log.file.reset();
  log.state = state;
  log.destination = LogDestination::standardError;
  for (const std::string_view piece : notice) WriteToStandardError(piece);
  WriteToStandardError(kCrLf);
}

void TurnToStandardErrorFor(RunLog& log, int state, std::string_view reason) {
  TurnToStandardError(log, state,
                      {kRunLogNotWritten, log.currentDirectory, kReasonFollows, reason});
}

// The file refused: standard error says why.
void RefuseTheFile(RunLog& log, LogFileRefusal refusal) {
  if (refusal == LogFileRefusal::inUse) {
    TurnToStandardError(log, kLogNotOpened, {kRunLogInUse, log.currentDirectory});
  } else {
    // The system's text for a link refused (ELOOP) would speak of too many levels of links.
    TurnToStandardErrorFor(log, kLogNotOpened,
                           refusal == LogFileRefusal::symbolicLink ? kRunLogIsALink : log.reason);
  }
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
  if (log.destination == LogDestination::file &&
      !WriteLogBytes(log.file.get(), inFile, log.reason)) {
    TurnToStandardErrorFor(log, kLogWriteFailed, log.reason);
  }
  if (log.destination == LogDestination::standardError) WriteToStandardError(log.line);
}

}  // namespace

void OpenRunLog(RunLog& log, std::string_view currentDirectory,
                std::chrono::milliseconds longestWait) {
  OpenRunLogAs(log, std::string(kRunLogName), currentDirectory, longestWait);
}

void OpenRunLogAs(RunLog& log, const std::string& fileName, std::string_view currentDirectory,
                  std::chrono::milliseconds longestWait) {
  log.line.reserve(kLineRoom);
  log.reason.reserve(kReasonRoom);
  log.currentDirectory = currentDirectory;
  log.state = 0;
  log.destination = LogDestination::file;
  const LogFileRefusal refusal = OpenLogFileAlone(log.file, fileName, longestWait, log.reason);
  if (refusal != LogFileRefusal::none) RefuseTheFile(log, refusal);
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
