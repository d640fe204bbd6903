#include "nts/DnsName.h"

#include "framework/SystemFunction.h"

namespace {

using IdnToAsciiFunction = int(WINAPI*)(DWORD flags, LPCWSTR unicode, int unicodeSize, LPWSTR ascii, int asciiSize);

// The longest DNS name, and its terminator.
constexpr int kMaxDnsName = 256;

bool IsAscii(const std::wstring& text) {
  for (const wchar_t c : text)
    if (c > 0x7F) return false;
  return true;
}

}  // namespace

bool DnsName(LPCWSTR name, std::string& ascii) {
  std::wstring converted = name;
  if (!IsAscii(converted)) {
    // Windows 8 on has it in kernel32; before, names must be ASCII.
    const auto toAscii = SystemFunction<IdnToAsciiFunction>(L"kernel32.dll", "IdnToAscii");
    wchar_t buffer[kMaxDnsName] = {};
    if (!toAscii || toAscii(0, name, -1, buffer, kMaxDnsName) == 0) return false;
    converted = buffer;
  }
  if (converted.empty() || !IsAscii(converted)) return false;
  ascii.assign(converted.begin(), converted.end());
  return true;
}

std::wstring WideName(const std::string& ascii) {
  return std::wstring(ascii.begin(), ascii.end());
}

bool TlsServerNameOf(LPCWSTR name, TlsServerName& tlsName) {
  std::string ascii;
  return DnsName(name, ascii) && MakeTlsServerName(ascii, tlsName);
}
