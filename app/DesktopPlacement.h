#pragma once

// Offset along one axis that centres a window on the desktop. A window
// larger than the desktop moves by half the excess the other way.
int CenteredOffset(int desktopExtent, int windowExtent);
