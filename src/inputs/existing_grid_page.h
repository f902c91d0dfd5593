#pragma once

#include <span>
#include <string>
#include <string_view>

namespace korvo {

// How far into an existing file the grid page's title is looked for.
inline constexpr std::size_t kGridTitleSearchBytes = 1024;

// Whether a grid page may be written at `name`: when the name reaches no plain file (nothing is
// there, or a folder, a device, a link to a missing file), or when the plain file it reaches holds
// one of `titles` in its first kGridTitleSearchBytes bytes. A plain file that cannot be read holds
// none, so it is kept.
bool MayReplaceAsGridPage(const std::string& name, std::span<const std::string> titles);

}  // namespace korvo
