#pragma once

// The two edges of a control along one axis, in the parent's coordinates.
struct Edges {
  int start;
  int end;
};

// Which part of a control stays in place when it is resized to its text.
enum class FitAnchor { Start, End, Centre };

// The edges resized to the needed extent. A centred control moves both
// edges by half the difference, truncated toward zero.
Edges FitEdges(Edges edges, int needed, FitAnchor anchor);
