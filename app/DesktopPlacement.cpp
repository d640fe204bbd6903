#include "app/DesktopPlacement.h"

#include <cstdlib>

int CenteredOffset(int desktopExtent, int windowExtent) {
  return std::abs((desktopExtent - windowExtent) / 2);
}
