#pragma once

#include <fstream>
#include <string>
#include <string_view>

namespace korvo {

// The one separator of file names on this platform: '/' on POSIX, '\' on Windows.
extern const char kPathSeparator;

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
