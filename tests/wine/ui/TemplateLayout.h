#pragma once
#include <windows.h>

#include <string>
#include <vector>

// What a dialog template says of one control.
struct TemplateControl {
  int nId;
  const wchar_t* className;
  DWORD nTypeMask;  // the bits of the style that hold the control's type
  DWORD nType;
  DWORD nStyle;     // further style bits that must be set; WS_TABSTOP
                    // must be set exactly when it is among them
  DWORD nNotStyle;  // style bits that must be clear
  DWORD nExStyle;   // extended style bits that must be set
  RECT dialogUnits; // x, y, width, height
  bool bKeepsSize;  // false for a control that resizes itself
};

// What a dialog template says of the dialog itself.
struct DialogTemplate {
  const wchar_t* fontFace;
  WORD nPointSize;
  DWORD nStyle;
  DWORD nExStyle;
  SIZE dialogUnits;
  DWORD nNotStyle;  // style bits that the dialog must not have
  std::vector<TemplateControl> controls;  // in template order
};

// How a running dialog, possibly of another process, differs from its
// template: its size in the template's font, its style bits, and each
// child window in turn (class, style bits, place). Places are compared as
// the dialog manager maps them, each of x, y, width and height on its own.
// Empty when it matches.
std::vector<std::string> DifferencesFromTemplate(HWND hDialog, const DialogTemplate& dialog);
