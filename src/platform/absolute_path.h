#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace korvo {

// Every file name of the run is held in a name buffer of this many bytes, terminating zero
// included, so a name holds at most 255 bytes.
inline constexpr std::size_t kNameBufferSize = 256;

// Makes `name` absolute against `currentDirectory` and removes its "." and ".." segments, with
// the backslash as the only separator and a drive letter and ':' in front. Gives no result for
// an empty name, an unusable current directory, a ".." above the root, or a result that would
// not fit in `capacity` bytes with its terminating zero.
std::optional<std::string> AbsolutePathWindows(std::string_view currentDirectory,
                                               std::string_view name, std::size_t capacity);

// The same rule with '/' as the only separator and "/" as the root.
std::optional<std::string> AbsolutePathPosix(std::string_view currentDirectory,
                                             std::string_view name, std::size_t capacity);

// The flavour of the platform the program runs on.
std::optional<std::string> AbsolutePath(std::string_view currentDirectory, std::string_view name,
                                        std::size_t capacity);

}  // namespace korvo
