#pragma once

// The step of the clock beyond which a synchronize does not go by itself:
// the dialog asks first, the console refuses unless told a larger limit.
constexpr double kLargeStepSeconds = 3600;

// Whether stepping the clock by step seconds, either way, goes beyond
// limit seconds.
bool StepExceeds(double step, double limit);
