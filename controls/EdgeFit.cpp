#include "controls/EdgeFit.h"

Edges FitEdges(Edges edges, int needed, FitAnchor anchor) {
  switch (anchor) {
    case FitAnchor::End:
      return {edges.end - needed, edges.end};
    case FitAnchor::Centre: {
      const int inset = (edges.end - edges.start - needed) / 2;
      return {edges.start + inset, edges.end - inset};
    }
    case FitAnchor::Start:
      break;
  }
  return {edges.start, edges.start + needed};
}
