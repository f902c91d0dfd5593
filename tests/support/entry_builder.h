#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "aspectlist/aspect_entry.h"
#include "aspectlist/entry_order.h"

namespace korvo::test {

// A list built from short descriptions, each entry added as the reader adds a parsed line.
struct ListBuilder {
  AspectList list;

  EntryRef Add(std::string_view aspect, std::string_view from, std::string_view to,
               std::int32_t seconds = 0, std::string_view orbText = "", char sign = ' ') {
    AspectFields fields;
    fields.aspect = aspect;
    fields.fromPlanet = from;
    fields.toPlanet = to;
    fields.orbText = orbText;
    fields.orbSeconds = seconds;
    fields.orbSign = sign;
    AddEntry(list, fields);
    return static_cast<EntryRef>(list.entries.size() - 1);
  }

  EntryOrder Order() const { return ReadingOrder(list); }
};

// "aspect from-to" for each place of the order, to compare orders in one step.
inline std::vector<std::string> Describe(const AspectList& list, const EntryOrder& order) {
  std::vector<std::string> described;
  for (const EntryRef ref : order) {
    described.push_back(std::string(AspectNameText(list, ref)) + " " +
                        std::string(FromPlanetText(list, ref)) + "-" +
                        std::string(ToPlanetText(list, ref)));
  }
  return described;
}

}  // namespace korvo::test
