#pragma once

#include <string>

namespace korvo {

// What --help writes: the usage line, one line for each option, then where the page and the log
// go. Each line ends in "\n".
std::string HelpText();

// What --version writes: "Korvo " and the version, then "\n".
std::string VersionText();

}  // namespace korvo
