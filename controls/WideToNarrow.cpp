#include "controls/WideToNarrow.h"

char* WideToNarrow(char* dest, const wchar_t* source, int destSize, UINT codePage) {
  if (dest == nullptr || source == nullptr)
    return nullptr;
  *dest = '\0';
  return WideCharToMultiByte(codePage, 0, source, -1, dest, destSize, nullptr, nullptr) ? dest : nullptr;
}
