#include "tests/wine/OtherSettersInPrefix.h"

#include <string>

#include "exchange/OtherSettersReader.h"
#include "tests/wine/ui/RunDirectory.h"

namespace {
const wchar_t kServicesKey[] = L"SYSTEM\\CurrentControlSet\\Services\\";
constexpr DWORD kServiceStateMilliseconds = 10000;
constexpr DWORD kPollMilliseconds = 100;

void AwaitState(SC_HANDLE service, DWORD state) {
  SERVICE_STATUS status{};
  for (DWORD waited = 0; waited < kServiceStateMilliseconds; waited += kPollMilliseconds) {
    if (::QueryServiceStatus(service, &status) && status.dwCurrentState == state) return;
    ::Sleep(kPollMilliseconds);
  }
}
}  // namespace

COtherSettersInPrefix::COtherSettersInPrefix() : m_manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS)) {
  const std::wstring standIn =
      L"\"" + CRunDirectory::BuiltProgram().replace_filename(L"ServiceStandIn.exe").wstring() + L"\"";
  for (const wchar_t* name : {kWindowsTimeService, kHyperVTimeService}) {
    const SC_HANDLE service =
        ::CreateServiceW(m_manager, name, name, SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                         SERVICE_ERROR_IGNORE, standIn.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
    if (service) ::CloseServiceHandle(service);
  }
  const DWORD enabled = 1;
  ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kWindowsTimeParameters, L"Type", REG_SZ, L"NT5DS", sizeof L"NT5DS");
  ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kHyperVTimeProvider, L"Enabled", REG_DWORD, &enabled, sizeof enabled);
  const SC_HANDLE hyperV = ::OpenServiceW(m_manager, kHyperVTimeService, SERVICE_START | SERVICE_QUERY_STATUS);
  if (hyperV && ::StartServiceW(hyperV, 0, nullptr)) AwaitState(hyperV, SERVICE_RUNNING);
  if (hyperV) ::CloseServiceHandle(hyperV);
}

COtherSettersInPrefix::~COtherSettersInPrefix() {
  for (const wchar_t* name : {kHyperVTimeService, kWindowsTimeService}) {
    const SC_HANDLE service = ::OpenServiceW(m_manager, name, SERVICE_ALL_ACCESS);
    SERVICE_STATUS status{};
    if (service && ::ControlService(service, SERVICE_CONTROL_STOP, &status)) AwaitState(service, SERVICE_STOPPED);
    if (service) ::DeleteService(service);
    if (service) ::CloseServiceHandle(service);
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(kServicesKey) + name).c_str());
  }
  ::CloseServiceHandle(m_manager);
}
