#pragma once
#include <cstddef>
#include <vector>

// What one server's answer says of the true offset: it lies within bound
// seconds either side of offset.
struct OffsetInterval {
  double offset;
  double bound;
};

// The servers (by index) whose answers a majority of them bears out, by NTP's
// intersection algorithm (RFC 5905, section 11.2.1) as chrony applies it:
// the deepest regions are where most intervals overlap; their span runs from
// the first one's low end to the last one's high end, and the truechimers are
// the intervals that hold that span or lie inside it. Empty unless both the
// depth and the truechimers are more than half of the intervals: the
// servers outside, and all of them then, are falsetickers. An interval that
// is no interval (not a finite offset and bound) counts against the majority.
std::vector<size_t> SelectTruechimers(const std::vector<OffsetInterval>& intervals);
