#include "order/planet_order.h"

#include "order/name_groups.h"

namespace korvo {
namespace {

constexpr std::array<std::string_view, kHouseCount> kEnglishHouseNames = {
    "I House",   "II House",   "III House", "IV House", "V House",  "VI House",
    "VII House", "VIII House", "IX House",  "X House",  "XI House", "XII House"};

// "I дом" to "XII дом" in Windows-1251.
#define KORVO_HOUSE_WORD " \xE4\xEE\xEC"
constexpr std::array<std::string_view, kHouseCount> kRussianHouseNames = {
    "I" KORVO_HOUSE_WORD,  "II" KORVO_HOUSE_WORD, "III" KORVO_HOUSE_WORD, "IV" KORVO_HOUSE_WORD,
    "V" KORVO_HOUSE_WORD,  "VI" KORVO_HOUSE_WORD, "VII" KORVO_HOUSE_WORD, "VIII" KORVO_HOUSE_WORD,
    "IX" KORVO_HOUSE_WORD, "X" KORVO_HOUSE_WORD,  "XI" KORVO_HOUSE_WORD,  "XII" KORVO_HOUSE_WORD};
#undef KORVO_HOUSE_WORD

}  // namespace

const std::array<std::string_view, kHouseCount>& HouseNames(LanguageFlag language) {
  return language == LanguageFlag::russian ? kRussianHouseNames : kEnglishHouseNames;
}

void MirrorAspects(EntryOrder& order) {
  const std::size_t count = order.size();
  order.reserve(2 * count);
  for (std::size_t place = 0; place < count; ++place) order.push_back(order[place] ^ kMirroredFlag);
}

std::span<const std::string> CompletePlanets(const AspectList& list, const EntryOrder& order,
                                             NameList& planets, LanguageFlag language) {
  for (const std::string_view house : HouseNames(language)) planets.emplace_back(house);
  return AppendMissingNames(list, order, planets, GroupingName::fromPlanet);
}

void GroupByPlanet(const AspectList& list, EntryOrder& order, const NameList& planets) {
  GroupByName(list, order, planets, GroupingName::fromPlanet);
}

}  // namespace korvo
