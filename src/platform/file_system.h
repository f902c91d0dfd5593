#pragma once

#include <fstream>
#include <string>
#include <string_view>

namespace korvo {

// The one separator of file names on this platform: '/' on POSIX, '\' on Windows.
extern const char kPathSeparator;

// Whether a built-in name in Windows-1251 bytes is also looked for in its UTF-8 spelling. On
// POSIX a name is bytes, and today's tools (an unzip of the Windows package, an editor) write
// UTF-8 names; Windows opens the program's names through its ANSI code page, which is right.
extern const bool kLooksForUtf8Names;

// A built-in relative name written with '/' between its parts, in the platform's own form.
std::string NativeName(std::string_view slashSeparatedName);

// The process's current directory, or an empty text when it cannot be read.
std::string CurrentDirectory();

// Whether two absolute names name the same file: when their bytes are equal (on Windows
// ignoring ASCII case), or when both reach one existing file.
bool SameFileName(std::string_view first, std::string_view second);

// Opens a file for reading in binary mode; a name that is a directory counts as not opened.
bool OpenForReading(std::ifstream& stream, const std::string& name);

// Opens a file for writing in binary mode, creating it or emptying it.
bool OpenForWriting(std::ofstream& stream, const std::string& name);

// A file that appears whole or not at all: it is written under a temporary name in the folder
// of `name` and renamed to `name` once its last byte is written and it is closed, so that a
// failed write leaves an existing file as it was. An existing file that a rename would wrongly
// replace (a device, a pipe, a file with more than one hard link) is written in place instead.
struct WholeFile {
  std::ofstream stream;
  std::string name;           // where the file goes: for a symbolic link, the file it reaches
  std::string temporaryName;  // empty when the file is written in place
};

// Opens `name` for writing as a WholeFile. False, with nothing changed on disk, for a folder and
// for an existing file that cannot be opened for writing.
bool OpenWholeFile(WholeFile& file, const std::string& name);

// Renames `from` to `to`, replacing a file that `to` names; false when it cannot.
bool MoveFileOver(const std::string& from, const std::string& to);

// Closes the file and puts it in place. False when a write, the close or the rename failed;
// the temporary file is then removed and an existing file is left as it was.
bool FinishWholeFile(WholeFile& file);

}  // namespace korvo
