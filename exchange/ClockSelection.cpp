#include "exchange/ClockSelection.h"

#include <algorithm>
#include <cmath>

namespace {

double Low(const OffsetInterval& interval) {
  return interval.offset - interval.bound;
}

double High(const OffsetInterval& interval) {
  return interval.offset + interval.bound;
}

bool IsInterval(const OffsetInterval& interval) {
  return std::isfinite(Low(interval)) && std::isfinite(High(interval)) && interval.bound >= 0;
}

// One end of an interval. At the same point a low end comes first, so that
// intervals that touch share that point.
struct Endpoint {
  double point;
  bool low;
};

bool Before(const Endpoint& a, const Endpoint& b) {
  if (a.point != b.point) return a.point < b.point;
  return a.low && !b.low;
}

std::vector<Endpoint> SortedEndpoints(const std::vector<OffsetInterval>& intervals) {
  std::vector<Endpoint> endpoints;
  for (const OffsetInterval& interval : intervals) {
    if (!IsInterval(interval)) continue;
    endpoints.push_back({Low(interval), true});
    endpoints.push_back({High(interval), false});
  }
  std::sort(endpoints.begin(), endpoints.end(), Before);
  return endpoints;
}

// The deepest regions' span and how many intervals overlap there.
struct DeepestSpan {
  size_t depth = 0;
  double low = 0;
  double high = 0;
};

// A walk over the ends from low to high: a low end deeper than any before
// starts the first deepest region; every high end at that depth ends a
// deepest region, the last of them the span.
DeepestSpan FindDeepestSpan(const std::vector<OffsetInterval>& intervals) {
  DeepestSpan span;
  size_t depth = 0;
  for (const Endpoint& end : SortedEndpoints(intervals)) {
    if (end.low) {
      if (++depth > span.depth) {
        span.depth = depth;
        span.low = end.point;
      }
    } else {
      if (depth-- == span.depth) span.high = end.point;
    }
  }
  return span;
}

bool HoldsOrLiesInside(const OffsetInterval& interval, const DeepestSpan& span) {
  const bool holds = Low(interval) <= span.low && span.high <= High(interval);
  const bool inside = span.low <= Low(interval) && High(interval) <= span.high;
  return IsInterval(interval) && (holds || inside);
}

bool MoreThanHalf(size_t part, size_t whole) {
  return 2 * part > whole;
}

}  // namespace

std::vector<size_t> SelectTruechimers(const std::vector<OffsetInterval>& intervals) {
  const DeepestSpan span = FindDeepestSpan(intervals);
  if (!MoreThanHalf(span.depth, intervals.size())) return {};
  std::vector<size_t> truechimers;
  for (size_t i = 0; i < intervals.size(); ++i)
    if (HoldsOrLiesInside(intervals[i], span)) truechimers.push_back(i);
  if (!MoreThanHalf(truechimers.size(), intervals.size())) return {};
  return truechimers;
}
