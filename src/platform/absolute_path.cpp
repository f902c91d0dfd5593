#include "platform/absolute_path.h"

#include <utility>

namespace korvo {
namespace {

// How one flavour writes names: its separator, and how many bytes stand before the root
// separator ("C:" on Windows, nothing on POSIX).
struct PathRules {
  char separator;
  std::size_t rootPrefixLength;
};

constexpr PathRules kWindowsRules{'\\', 2};
constexpr PathRules kPosixRules{'/', 0};

// A name cut back to its prefix keeps the root separator behind it.
void KeepRoot(std::string& path, const PathRules& rules) {
  if (path.size() == rules.rootPrefixLength) path.push_back(rules.separator);
}

bool EndsSegment(const std::string& path, std::size_t position, const PathRules& rules) {
  return position == path.size() || path[position] == rules.separator;
}

// Where the segment in front of position `segmentEnd` starts, stepping over "." segments;
// nothing when only the root stands before it.
std::optional<std::size_t> StartOfSegmentBefore(const std::string& path, std::size_t segmentEnd,
                                                const PathRules& rules) {
  while (segmentEnd > 0) {
    const std::size_t start = path.rfind(rules.separator, segmentEnd - 1);
    if (start == std::string::npos || start < rules.rootPrefixLength) return std::nullopt;
    const bool isDotSegment = segmentEnd - start == 2 && path[start + 1] == '.';
    if (!isDotSegment) return start;
    segmentEnd = start;
  }
  return std::nullopt;
}

// Removes each ".." segment together with the segment before it, left to right.
bool RemoveDotDotSegments(std::string& path, const PathRules& rules) {
  const std::string dotDot = std::string(1, rules.separator) + "..";
  std::size_t searchFrom = 0;
  for (std::size_t found; (found = path.find(dotDot, searchFrom)) != std::string::npos;) {
    const std::size_t after = found + dotDot.size();
    if (!EndsSegment(path, after, rules)) {
      searchFrom = found + 1;
      continue;
    }
    const std::optional<std::size_t> start = StartOfSegmentBefore(path, found, rules);
    if (!start) return false;
    path.erase(*start, after - *start);
    KeepRoot(path, rules);
    searchFrom = *start;
  }
  return true;
}

// Cuts out each "." segment; a trailing one is cut off.
void RemoveDotSegments(std::string& path, const PathRules& rules) {
  const std::string dot = std::string(1, rules.separator) + ".";
  std::size_t searchFrom = 0;
  for (std::size_t found; (found = path.find(dot, searchFrom)) != std::string::npos;) {
    const std::size_t after = found + dot.size();
    if (after == path.size()) {
      path.erase(found);
      KeepRoot(path, rules);
      return;
    }
    if (path[after] == rules.separator) {
      path.erase(found, dot.size());
      searchFrom = found;
    } else {
      searchFrom = found + 1;
    }
  }
}

AbsoluteName Normalise(std::string path, std::size_t capacity, const PathRules& rules) {
  if (!RemoveDotDotSegments(path, rules)) return {};
  RemoveDotSegments(path, rules);
  if (path.size() + 1 > capacity) return {std::nullopt, true};
  return {std::move(path)};
}

std::string JoinToDirectory(std::string_view directory, std::string_view name, char separator) {
  std::string joined(directory);
  if (joined.empty() || joined.back() != separator) joined.push_back(separator);
  joined.append(name);
  return joined;
}

bool HasDrive(std::string_view name) {
  return name.size() >= 2 && name[1] == ':';
}

}  // namespace

AbsoluteName AbsolutePathWindows(std::string_view currentDirectory, std::string_view name,
                                 std::size_t capacity) {
  if (name.empty()) return {};
  if (HasDrive(name)) return Normalise(std::string(name), capacity, kWindowsRules);
  if (name.front() == '\\') {
    if (!HasDrive(currentDirectory)) return {};
    return Normalise(std::string(currentDirectory.substr(0, 2)).append(name), capacity,
                     kWindowsRules);
  }
  if (currentDirectory.size() < 3 || !HasDrive(currentDirectory)) return {};
  return Normalise(JoinToDirectory(currentDirectory, name, '\\'), capacity, kWindowsRules);
}

AbsoluteName AbsolutePathPosix(std::string_view currentDirectory, std::string_view name,
                               std::size_t capacity) {
  if (name.empty()) return {};
  if (name.front() == '/') return Normalise(std::string(name), capacity, kPosixRules);
  if (currentDirectory.empty() || currentDirectory.front() != '/') return {};
  return Normalise(JoinToDirectory(currentDirectory, name, '/'), capacity, kPosixRules);
}

}  // namespace korvo
