#include "console/EventSource.h"

#include "console/EventReport.h"

namespace {
const wchar_t kMessageFileName[] = L"EventMessageFile";
const wchar_t kTypesName[] = L"TypesSupported";
// Errors, warnings and information.
constexpr DWORD kTypesSupported = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
// Room for the longest value read back here: a path of the longest kind.
constexpr DWORD kLongestValue = 32768;

// A registry key that is closed when it goes.
class RegistryKey {
public:
  RegistryKey() = default;
  ~RegistryKey() {
    if (m_key) ::RegCloseKey(m_key);
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  HKEY* Receiver() { return &m_key; }
  operator HKEY() const { return m_key; }

private:
  HKEY m_key = nullptr;
};

// The value's text when it is a string; empty when it is absent or not
// one.
std::wstring StringValue(HKEY key, const wchar_t* name) {
  std::wstring text(kLongestValue, L'\0');
  DWORD size = kLongestValue * sizeof(wchar_t);
  if (::RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, text.data(),
                     &size) != ERROR_SUCCESS)
    return {};
  text.resize(size / sizeof(wchar_t));
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

bool IsOwn(HKEY key) {
  return StringValue(key, CEventSource::kMarkName) == CEventSource::kMark;
}

LSTATUS SetString(HKEY key, const wchar_t* name, DWORD type, const std::wstring& text) {
  return ::RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// The mark goes last: a source half written is never taken for this
// program's own, and is left alone like the installer's.
LSTATUS WriteSource(HKEY key, const std::wstring& programPath) {
  LSTATUS status = SetString(key, kMessageFileName, REG_EXPAND_SZ, programPath);
  if (status == ERROR_SUCCESS)
    status = ::RegSetValueExW(key, kTypesName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&kTypesSupported),
                              sizeof(kTypesSupported));
  if (status == ERROR_SUCCESS) status = SetString(key, CEventSource::kMarkName, REG_SZ, CEventSource::kMark);
  return status;
}
}  // namespace

std::wstring CEventSource::KeyPath() {
  return std::wstring(L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\") + kEventSource;
}

LSTATUS CEventSource::Register(const std::wstring& programPath, bool& made) {
  made = false;
  RegistryKey key;
  DWORD disposition = 0;
  LSTATUS status = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, KeyPath().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, key.Receiver(), &disposition);
  if (status != ERROR_SUCCESS || (disposition == REG_OPENED_EXISTING_KEY && !IsOwn(key))) return status;
  status = WriteSource(key, programPath);
  made = status == ERROR_SUCCESS;
  return status;
}

LSTATUS CEventSource::RemoveOwn(const std::wstring& programPath, bool& removed) {
  removed = false;
  RegistryKey key;
  LSTATUS status = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, KeyPath().c_str(), 0, KEY_QUERY_VALUE, key.Receiver());
  if (status == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
  if (status != ERROR_SUCCESS || !IsOwn(key) ||
      ::CompareStringOrdinal(StringValue(key, kMessageFileName).c_str(), -1, programPath.c_str(), -1, TRUE) !=
          CSTR_EQUAL)
    return status;
  status = ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, KeyPath().c_str());
  removed = status == ERROR_SUCCESS;
  return status;
}
