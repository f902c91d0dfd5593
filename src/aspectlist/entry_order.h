#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <string_view>
#include <utility>
#include <vector>

#include "aspectlist/aspect_entry.h"
#include "platform/large_pages.h"

namespace korvo {

// One place of an ordering: the number of an entry in the list, with the top bit set when the
// entry stands mirrored (its from-planet and to-planet exchanged). A list holds fewer than 2^31
// entries: at 24 bytes each, 2^31 of them would take 48 GB before anything else.
using EntryRef = std::uint32_t;
inline constexpr EntryRef kMirroredFlag = EntryRef{1} << 31;

// Arrays from this size on are asked to be backed by large pages.
inline constexpr std::size_t kLargeArrayBytes = std::size_t{4} << 20;

// Allocates like std::allocator, but leaves a new element uninitialized when no value is given
// for it, and asks for large pages for a large array. The large arrays of a run are sized and
// then filled place by place at once; zeroing millions of places first would only cost a pass
// over cold memory.
template <typename T>
struct FillLaterAllocator : std::allocator<T> {
  template <typename Other>
  struct rebind {
    using other = FillLaterAllocator<Other>;
  };
  FillLaterAllocator() = default;
  template <typename Other>
  explicit FillLaterAllocator(const FillLaterAllocator<Other>& /*other*/) noexcept {}

  T* allocate(std::size_t count) {
    T* start = std::allocator<T>::allocate(count);
    if (count * sizeof(T) >= kLargeArrayBytes) AdviseLargePages(start, count * sizeof(T));
    return start;
  }

  template <typename Value>
  void construct(Value* place) noexcept {
    ::new (static_cast<void*>(place)) Value;
  }
  template <typename Value, typename... Arguments>
  void construct(Value* place, Arguments&&... arguments) {
    ::new (static_cast<void*>(place)) Value(std::forward<Arguments>(arguments)...);
  }
};

// An array of plain numbers that the code sizes and then fills.
template <typename T>
using FilledArray = std::vector<T, FillLaterAllocator<T>>;

// An ordering of the entries, as the tables show them; an entry may stand in it more than once.
using EntryOrder = FilledArray<EntryRef>;

// Every entry once, in the order read.
EntryOrder ReadingOrder(const AspectList& list);

inline const AspectEntry& EntryAt(const AspectList& list, EntryRef ref) {
  return list.entries[ref & ~kMirroredFlag];
}
inline bool IsMirrored(EntryRef ref) {
  return (ref & kMirroredFlag) != 0;
}

// The planet numbers of the entry as it stands in an ordering.
inline std::uint32_t FromPlanetOf(const AspectList& list, EntryRef ref) {
  const AspectEntry& entry = EntryAt(list, ref);
  return IsMirrored(ref) ? entry.toPlanet : entry.fromPlanet;
}
inline std::uint32_t ToPlanetOf(const AspectList& list, EntryRef ref) {
  const AspectEntry& entry = EntryAt(list, ref);
  return IsMirrored(ref) ? entry.fromPlanet : entry.toPlanet;
}

// The texts of the entry as it stands in an ordering.
inline std::string_view AspectNameText(const AspectList& list, EntryRef ref) {
  return TextOf(list.aspectNames, EntryAt(list, ref).aspect);
}
inline std::string_view FromPlanetText(const AspectList& list, EntryRef ref) {
  return TextOf(list.planetNames, FromPlanetOf(list, ref));
}
inline std::string_view ToPlanetText(const AspectList& list, EntryRef ref) {
  return TextOf(list.planetNames, ToPlanetOf(list, ref));
}
inline std::string_view OrbTextOf(const AspectList& list, EntryRef ref) {
  return TextOf(list.orbTexts, EntryAt(list, ref).orbText);
}

}  // namespace korvo
