#include "framework/WideToNarrow.h"

char* WideToNarrowExact(char* dest, const wchar_t* source, int destSize, UINT codePage) {
  if (dest == nullptr || source == nullptr)
    return nullptr;
  *dest = '\0';
  BOOL usedDefault = FALSE;
  int converted = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, source, -1, dest, destSize, nullptr,
                                      &usedDefault);
  // UTF-8 and the other code pages without best fit take neither the flag
  // nor the question; they represent every text exactly.
  if (!converted && GetLastError() == ERROR_INVALID_FLAGS)
    converted = WideCharToMultiByte(codePage, 0, source, -1, dest, destSize, nullptr, nullptr);
  if (!converted)
    return nullptr;
  if (usedDefault) {
    *dest = '\0';
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return nullptr;
  }
  return dest;
}
