#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "aspectlist/entry_order.h"

namespace korvo {

// The most points an axis of a grid page holds. A larger grid is not written: 3,000 names made a
// page of 146 MB that a browser could not draw.
inline constexpr std::size_t kMostGridPoints = 200;

// One point of an axis of the aspect grid: a planet of the planets file or of the list, or a
// house, by its name as written.
struct GridPoint {
  std::string name;
  bool isHouse = false;  // one of the twelve house names of the run's language
};

// The cell of one aspect: the numbers of its row and its column on their axes.
struct GridPlacement {
  std::uint32_t row = 0;
  std::uint32_t column = 0;
  EntryRef entry = 0;  // never mirrored: the aspect as the list gives it
};

// The grid of points by points. A triangle (natal) has one axis for its rows and its columns and
// holds its aspects on and below the diagonal; otherwise the rows are the to-planets and the
// columns the from-planets. Each aspect stands in exactly one cell.
struct AspectGrid {
  bool triangle = true;
  std::vector<GridPoint> rows;
  std::vector<GridPoint> columns;
  std::vector<GridPlacement> placements;        // by row, then column, then the aspect-type order
  std::vector<std::uint32_t> aspectTypes;       // the aspect names shown, in the aspect-type order
  std::vector<std::uint32_t> aspectTypeCounts;  // the aspects of each of them
  // The aspects of each row's point: in a triangle those of its row and of its column, an aspect
  // of the point with itself once.
  std::vector<std::uint32_t> rowTotals;
};

}  // namespace korvo
