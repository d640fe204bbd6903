#pragma once
#include "framework/Wnd.h"

// A static control of a dialog template.
class CStatic : public CWnd {};
