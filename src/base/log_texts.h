#pragma once

#include <string_view>

namespace korvo {

// The fixed texts of Korvo.log; a line is made of these pieces and names or numbers between them.
inline constexpr std::string_view kRunLogName = "Korvo.log";
inline constexpr std::string_view kUsageLine =
    "Korvo [-1 | -2] [-a<aspect-names-file>] [<aspects-list-file>]";
inline constexpr std::string_view kVersionPrefix = "Version: ";  // then the version
inline constexpr std::string_view kLanguageLine = "Config (0=EN, 1=RU): ";
inline constexpr std::string_view kArgumentIgnored = "Argument ignored: ";  // then the argument
inline constexpr std::string_view kNameLongerThan = "The name is longer than ";  // then a number
inline constexpr std::string_view kBytes = " bytes";
inline constexpr std::string_view kInputFile = "Input file: ";
inline constexpr std::string_view kCannotBeOpened = " cannot be opened";
// A read error, after the lines read whole before it: then their number.
inline constexpr std::string_view kCannotBeReadAfterLine = " cannot be read after line ";
inline constexpr std::string_view kUsingInput = "Using input: ";
inline constexpr std::string_view kExtracted = "Extracted ";
inline constexpr std::string_view kAspects = " aspects";
inline constexpr std::string_view kOutputFile = "Output file: ";
inline constexpr std::string_view kIsTheInputFile = " is the input file";
// A page that would replace the aspect-types or the planets file.
inline constexpr std::string_view kIsAnInputFile = " is an input file";
inline constexpr std::string_view kCannotBeWritten = " cannot be written";
inline constexpr std::string_view kUsingOutput = "Using output: ";
inline constexpr std::string_view kOutputTable = "Output tbl";  // then the table's number
inline constexpr std::string_view kTableState = ", state: ";
inline constexpr std::string_view kUsingGridOutput = "Using grid output: ";  // then the name
inline constexpr std::string_view kOutputGrid = "Output grid";  // then the state, as for a table
// An existing file at the grid's name that is no grid page is kept.
inline constexpr std::string_view kIsNotAGridPage = " is not a grid page";
// A grid with more points on an axis than it can draw: then the number, kPoints, the limit.
inline constexpr std::string_view kNotWritten = " not written: ";
inline constexpr std::string_view kPoints = " points, at most ";
inline constexpr std::string_view kUsingAspectTypes = "Using aspect-types: ";
inline constexpr std::string_view kUsingFirstDefaultAspectTypes = "Using aspect-type: ";
inline constexpr std::string_view kUsingPlanets = "Using planets: ";
inline constexpr std::string_view kFile = "File ";
inline constexpr std::string_view kNotAvailable = " not available";
inline constexpr std::string_view kLine = "Line ";
inline constexpr std::string_view kOf = " of ";
inline constexpr std::string_view kCutAt127Bytes = " cut at 127 bytes";
inline constexpr std::string_view kCutAtAZeroByte = " cut at a zero byte";
inline constexpr std::string_view kLineOfFileSeparator = ": ";  // then the number of characters
inline constexpr std::string_view kCharactersNotIn = " characters not in ";  // then the code page
inline constexpr std::string_view kWindows1251 = "Windows-1251";
inline constexpr std::string_view kWindows1252 = "Windows-1252";
inline constexpr std::string_view kWrittenAsQuestionMarks = ", written as ?";
inline constexpr std::string_view kRead = "Read ";
inline constexpr std::string_view kLinesOf = " lines of ";
inline constexpr std::string_view kAsUtf8 = " as UTF-8";
inline constexpr std::string_view kAsUtf16 = " as UTF-16";
inline constexpr std::string_view kNotAnAspectLine = " skipped: not an aspect line";
inline constexpr std::string_view kHeaderOf = "Header of ";  // then the input name
inline constexpr std::string_view kReadsAsAspectLines = " reads as aspect lines";
inline constexpr std::string_view kInTheHeaderButAnAspectLine =
    " is in the header but reads as an aspect line";
inline constexpr std::string_view kTheName = ": the name '";  // then the name
inline constexpr std::string_view kBeginsOrEndsWithWhitespace = "' begins or ends with whitespace";
inline constexpr std::string_view kAspectTypeNamed = "Aspect type '";  // then the name
inline constexpr std::string_view kPlanetNamed = "Planet '";           // then the name
inline constexpr std::string_view kIsNotIn = "' is not in ";           // then the file's name
inline constexpr std::string_view kOrbSign = ": orb sign '";           // then the sign byte
inline constexpr std::string_view kIsNotASign = "' is not +, - or a blank";
inline constexpr std::string_view kCompletedOk = "Korvo completed OK";
// The last line of a run that an exception ended.
inline constexpr std::string_view kStoppedOutOfMemory = "Korvo stopped: out of memory";
inline constexpr std::string_view kStoppedInternalError = "Korvo stopped: internal error";

// Said on standard error once, when Korvo.log cannot be opened or a write to it fails: then the
// current directory, kReasonFollows and the reason. The log's lines then follow it there.
inline constexpr std::string_view kRunLogNotWritten = "Korvo: Korvo.log cannot be written in ";
inline constexpr std::string_view kReasonFollows = ": ";
inline constexpr std::string_view kRunLogIsALink = "it is a symbolic link";  // the reason
// Said instead when another run in the same folder held Korvo.log for all of the wait: then the
// current directory.
inline constexpr std::string_view kRunLogInUse = "Korvo: Korvo.log is in use by another run in ";

}  // namespace korvo
