#include "exchange/ClockSelection.h"

#include <cmath>

namespace {

using Group = std::vector<size_t>;

double Low(const OffsetInterval& interval) {
  return interval.offset - interval.bound;
}

double High(const OffsetInterval& interval) {
  return interval.offset + interval.bound;
}

// An interval that is no interval takes part in no group, and so counts
// against the majority.
bool IsInterval(const OffsetInterval& interval) {
  return std::isfinite(interval.offset) && std::isfinite(interval.bound) && interval.bound >= 0;
}

// The intervals that hold the point.
Group GroupAt(const std::vector<OffsetInterval>& intervals, double point) {
  Group group;
  for (size_t i = 0; i < intervals.size(); ++i)
    if (IsInterval(intervals[i]) && Low(intervals[i]) <= point && point <= High(intervals[i])) group.push_back(i);
  return group;
}

}  // namespace

// Where most intervals overlap, one of them begins: the groups at the low
// ends are all the groups there are.
std::vector<size_t> SelectTruechimers(const std::vector<OffsetInterval>& intervals) {
  Group largest;
  bool another = false;  // a different group as large as the largest
  for (const OffsetInterval& interval : intervals) {
    if (!IsInterval(interval)) continue;
    const Group group = GroupAt(intervals, Low(interval));
    if (group.size() > largest.size()) {
      largest = group;
      another = false;
    } else if (group.size() == largest.size() && group != largest) {
      another = true;
    }
  }
  if (another || 2 * largest.size() <= intervals.size()) return {};
  return largest;
}
