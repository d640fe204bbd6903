#pragma once
#include <windows.h>

// How a worker asks the dialog's thread for something: a message posted to
// the dialog's window. False when it could not be queued (a full queue, a
// window gone). In a unit of its own, apart from the dialog's code, so that
// a build of the program can link one that fails.
bool PostToDialog(HWND dialog, UINT message);
