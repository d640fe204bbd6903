#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// Reading what the log box and the clocks show back into values.

// The lines of a text where every line ends in CR LF; nothing when one
// does not.
std::optional<std::vector<std::wstring>> LinesOf(const std::wstring& text);

// The lines of a Synchronize's log up to what was measured: without the
// line that says no history of the clock is kept, which Wine's data
// folders (every one its user's) always bring.
std::optional<std::vector<std::wstring>> MeasuredLinesOf(const std::wstring& text);

// The offset of a line "label (S.SSSSSS sec.)", six decimals exactly.
std::optional<double> OffsetIn(const std::wstring& line, const std::wstring& label);

// The time of a line "label : YYYY/MM/DD, HH:MM:SS.mmm".
std::optional<SYSTEMTIME> TimeIn(const std::wstring& line, const std::wstring& label);

// The time a clock reads as "YYYY-MM-DD HH:MM SS".
std::optional<SYSTEMTIME> ClockTime(const std::wstring& clockText);

// later - earlier, in seconds.
double SecondsBetween(const SYSTEMTIME& earlier, const SYSTEMTIME& later);
