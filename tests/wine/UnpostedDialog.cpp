// Stands in for app/DialogPost.cpp in a build of the program: every message
// a worker posts to the dialog fails, as on a full message queue.
#include "app/DialogPost.h"

bool PostToDialog(HWND, UINT) {
  ::SetLastError(ERROR_NOT_ENOUGH_QUOTA);
  return false;
}
