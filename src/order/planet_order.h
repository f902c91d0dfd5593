#pragma once

#include <array>
#include <string>
#include <string_view>

#include "aspectlist/aspect_entry.h"
#include "run/run_log.h"
#include "run/settings.h"
#include "order/name_groups.h"
#include "platform/line_reader.h"

namespace korvo {

inline constexpr std::size_t kHouseCount = 12;

// The twelve house names of a language, I to XII; they follow the planets file's names.
const std::array<std::string_view, kHouseCount>& HouseNames(LanguageFlag language);

// The planets file of a language, relative to the current directory.
std::string PlanetsFileName(LanguageFlag language);

// Appends a copy of every entry with its from-planet and to-planet exchanged.
void MirrorAspects(AspectList& aspects);

// Appends one planet name per line; a line that starts with whitespace is passed over, and a
// name keeps its trailing blanks. Names are not de-duplicated.
void ReadPlanets(LineReader& reader, NameList& planets, RunLog& log, std::string_view fileName);

// Appends the house names, then every from-planet that the names do not hold yet, in list
// order, each once.
void CompletePlanets(const AspectList& aspects, NameList& planets, LanguageFlag language);

// Groups the list by from-planet in the order of the planets.
void GroupByPlanet(AspectList& aspects, const NameList& planets);

}  // namespace korvo
