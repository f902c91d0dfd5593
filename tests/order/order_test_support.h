#pragma once

#include <deque>
#include <string>
#include <vector>

#include "aspectlist/aspect_entry.h"

namespace korvo::test {

// Entries built from short descriptions; the texts live as long as the builder.
struct EntryBuilder {
  std::deque<std::string> texts;

  std::string_view Keep(std::string text) { return texts.emplace_back(std::move(text)); }

  AspectEntry Make(std::string aspect, std::string from, std::string to, std::int32_t seconds = 0,
                   std::string orbText = "") {
    AspectEntry entry;
    entry.aspect = Keep(std::move(aspect));
    entry.fromPlanet = Keep(std::move(from));
    entry.toPlanet = Keep(std::move(to));
    entry.orbText = Keep(std::move(orbText));
    entry.orbSeconds = seconds;
    return entry;
  }
};

// "aspect from-to" for each entry, to compare orders in one step.
inline std::vector<std::string> Describe(const AspectList& list) {
  std::vector<std::string> described;
  for (const AspectEntry& entry : list) {
    described.push_back(std::string(entry.aspect) + " " + std::string(entry.fromPlanet) + "-" +
                        std::string(entry.toPlanet));
  }
  return described;
}

}  // namespace korvo::test
