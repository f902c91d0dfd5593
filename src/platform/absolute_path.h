#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace korvo {

// Every file name of the run is held in a name buffer of this many bytes, terminating zero
// included: PATH_MAX on POSIX; on Windows, whose long-path-aware file calls take names far
// longer, the same, so that a tree's names have one limit on both.
inline constexpr std::size_t kNameBufferSize = 4096;

// A name made absolute, or why it could not be: `tooLong` tells a name that would not fit its
// buffer from one that has no absolute form at all.
struct AbsoluteName {
  std::optional<std::string> name;
  bool tooLong = false;
};

// Makes `name` absolute against `currentDirectory` and removes its "." and ".." segments, with
// the backslash as the only separator and a drive letter and ':' in front. Gives no name for an
// empty name, an unusable current directory, a ".." above the root, or a result that would not
// fit in `capacity` bytes with its terminating zero (then marked `tooLong`).
AbsoluteName AbsolutePathWindows(std::string_view currentDirectory, std::string_view name,
                                 std::size_t capacity);

// The same rule with '/' as the only separator and "/" as the root.
AbsoluteName AbsolutePathPosix(std::string_view currentDirectory, std::string_view name,
                               std::size_t capacity);

// The flavour of the platform the program runs on.
AbsoluteName AbsolutePath(std::string_view currentDirectory, std::string_view name,
                          std::size_t capacity);

}  // namespace korvo
