#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "aspectlist/aspect_entry.h"
#include "aspectlist/entry_order.h"
#include "aspectlist/name_list.h"
#include "base/settings.h"

namespace korvo {

inline constexpr std::size_t kHouseCount = 12;

// The twelve house names of a language, I to XII; they follow the planets file's names.
const std::array<std::string_view, kHouseCount>& HouseNames(LanguageFlag language);

// Appends every place of the order again, marked mirrored: the same entry, shown with its
// from-planet and to-planet exchanged.
void MirrorAspects(EntryOrder& order);

// Appends the house names, then every from-planet that the names do not hold yet, in the order
// given, each once. Returns the from-planets appended: the last ones of `planets`.
std::span<const std::string> CompletePlanets(const AspectList& list, const EntryOrder& order,
                                             NameList& planets, LanguageFlag language);

// Groups the order by from-planet in the order of the planets.
void GroupByPlanet(const AspectList& list, EntryOrder& order, const NameList& planets);

}  // namespace korvo
