#pragma once

// The ordering rules written out as directly as they read, on the texts of the entries: slow, but
// plainly right, to check the fast steps against. They look at bytes, never at name numbers.

#include <algorithm>
#include <string>
#include <vector>

#include "aspectlist/entry_order.h"
#include "order/name_groups.h"

namespace korvo::test {

// The texts an ordering rule looks at, of one place of an order.
struct PlainPlace {
  EntryRef ref;
  std::string aspect;
  std::string fromPlanet;
  std::int32_t orbSeconds;
};

inline std::vector<PlainPlace> PlainPlaces(const AspectList& list, const EntryOrder& order) {
  std::vector<PlainPlace> places;
  for (const EntryRef ref : order) {
    places.push_back({ref, std::string(AspectNameText(list, ref)),
                      std::string(FromPlanetText(list, ref)), EntryAt(list, ref).orbSeconds});
  }
  return places;
}

inline EntryOrder RefsOf(const std::vector<PlainPlace>& places) {
  EntryOrder order;
  for (const PlainPlace& place : places) order.push_back(place.ref);
  return order;
}

inline const std::string& PlainName(const PlainPlace& place, GroupingName field) {
  return field == GroupingName::aspect ? place.aspect : place.fromPlanet;
}

// A stable sort by orb seconds.
inline EntryOrder PlainSortByOrb(const AspectList& list, const EntryOrder& order) {
  std::vector<PlainPlace> places = PlainPlaces(list, order);
  std::stable_sort(places.begin(), places.end(), [](const PlainPlace& a, const PlainPlace& b) {
    return a.orbSeconds < b.orbSeconds;
  });
  return RefsOf(places);
}

// For each name in turn, every place whose name has the same bytes, in the order given.
inline EntryOrder PlainGroupByName(const AspectList& list, const EntryOrder& order,
                                   const NameList& names, GroupingName field) {
  const std::vector<PlainPlace> places = PlainPlaces(list, order);
  EntryOrder grouped;
  for (const std::string& name : names) {
    for (const PlainPlace& place : places) {
      if (PlainName(place, field) == name) grouped.push_back(place.ref);
    }
  }
  return grouped;
}

// Each name of the places, in the order given, that no earlier name has the same bytes as.
inline NameList PlainAppendMissingNames(const AspectList& list, const EntryOrder& order,
                                        NameList names, GroupingName field) {
  for (const PlainPlace& place : PlainPlaces(list, order)) {
    const std::string& name = PlainName(place, field);
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  }
  return names;
}

}  // namespace korvo::test
