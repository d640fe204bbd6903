// Stands in for a system DLL that someone put beside a program or in its
// current directory. What it does does not matter: Wine's loader traces
// tell where each DLL was taken from.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
  return TRUE;
}
