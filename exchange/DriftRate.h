#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "exchange/ClockHistory.h"

constexpr double kPartsPerMillion = 1e6;

// What the compares since this clock was last stepped say of its rate.
struct DriftFinding {
  // How many records the line runs through: those since the last step, or
  // since something else last moved the clock.
  size_t records = 0;
  // Seconds the offset grows each second, by weighted least squares (each
  // record weighed by its bound): positive when this clock loses time.
  // None from fewer than three records.
  std::optional<double> rate;
  double uncertainty = 0;  // the rate's standard uncertainty
  // The newest record lies off every straight line through the bounds of
  // those before it since the last step: something else moved the clock.
  bool movedByOther = false;

  // Whether the rate is known well enough to tell: its uncertainty small
  // against it.
  bool Told() const;
};

// The line through the records, oldest first. A stepped record begins it
// at offset 0 (the clock was set right then), and a record off the line of
// those before it begins it anew.
DriftFinding FindDrift(const std::vector<HistoryRecord>& records);

// How fast this clock runs against the servers' time, in millionths:
// positive when it gains.
double DriftPpm(const DriftFinding& finding);

// The rate as the log tells it, without the line's end: "This clock loses
// 1.3 s a day (15 ppm)", or gains.
std::wstring RateText(const std::vector<std::wstring>& messages, double rate);

// The log's lines: that something else moved the clock, and the rate once
// it is told ("This clock loses 1.3 s a day (15 ppm)"); empty otherwise.
std::wstring DriftLines(const std::vector<std::wstring>& messages, const DriftFinding& finding);
