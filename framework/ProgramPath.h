#pragma once
#include "framework/String.h"

// The full path of the running program's executable, however long; empty
// when the system cannot give it whole.
CString ProgramPath();
