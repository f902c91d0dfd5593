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

}  // namespace korvo
