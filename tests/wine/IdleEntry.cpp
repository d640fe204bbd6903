// The entry point of the idle Movrane: the program as it is loaded (the
// same imports, manifest and start-up lock-down), which shows its two
// dialogs as the system alone draws them, without any code of the program,
// and ends.
#include <windows.h>

#include <initializer_list>

#include "res/resource.h"

namespace {

INT_PTR CALLBACK NoHandling(HWND, UINT, WPARAM, LPARAM) {
  return FALSE;
}

}  // namespace

extern "C" void IdleEntry() {
  for (const int dialogId : {IDD_MAIN, IDD_ABOUT}) {
    const HWND dialog =
        ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(dialogId), nullptr, NoHandling, 0);
    ::ShowWindow(dialog, SW_SHOWNA);
    ::UpdateWindow(dialog);
    ::DestroyWindow(dialog);
  }
  ::ExitProcess(0);
}
