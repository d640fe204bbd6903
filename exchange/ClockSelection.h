#pragma once
#include <cstddef>
#include <vector>

// What one server's answer says of the true offset: it lies within bound
// seconds either side of offset.
struct OffsetInterval {
  double offset;
  double bound;
};

// The servers (by index) whose answers a majority of them bears out, by
// the intersection of their intervals (Marzullo's algorithm, on which NTP's
// clock selection stands): the largest group whose intervals share a
// point, when it holds more than half of the intervals and no other group
// as large shares another point. Empty when no majority agrees: the
// servers outside the group, and all of them then, are falsetickers.
std::vector<size_t> SelectTruechimers(const std::vector<OffsetInterval>& intervals);
