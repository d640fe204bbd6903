#include "app/DialogPost.h"

bool PostToDialog(HWND dialog, UINT message) {
  return ::PostMessageW(dialog, message, 0, 0) != FALSE;
}
