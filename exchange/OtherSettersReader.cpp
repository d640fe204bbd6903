#include "exchange/OtherSettersReader.h"

#include <windows.h>
#include <ntsecapi.h>

#include <vector>

namespace {
// Registry strings are read up to this many characters, the service's
// configuration up to this many bytes.
constexpr DWORD kLongestValue = 512;
constexpr DWORD kLargestServiceConfig = 8192;

std::wstring ReadString(const wchar_t* key, const wchar_t* name) {
  std::vector<wchar_t> value(kLongestValue + 1);
  DWORD bytes = kLongestValue * sizeof(wchar_t);
  if (::RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ, nullptr, value.data(), &bytes) != ERROR_SUCCESS)
    return {};
  return value.data();
}

std::optional<uint32_t> ReadNumber(const wchar_t* key, const wchar_t* name) {
  DWORD value = 0;
  DWORD bytes = sizeof value;
  if (::RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_DWORD, nullptr, &value, &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  return value;
}

ServiceStart StartOf(DWORD startType) {
  switch (startType) {
    case SERVICE_BOOT_START:
    case SERVICE_SYSTEM_START:
    case SERVICE_AUTO_START:
      return ServiceStart::Automatic;
    case SERVICE_DEMAND_START:
      return ServiceStart::OnDemand;
    default:
      return ServiceStart::Disabled;
  }
}

// A service as the service manager tells it, opened for queries only.
class ServiceState {
public:
  ServiceState(SC_HANDLE manager, const wchar_t* name)
      : m_service(manager ? ::OpenServiceW(manager, name, SERVICE_QUERY_CONFIG | SERVICE_QUERY_STATUS) : nullptr) {}
  ~ServiceState() {
    if (m_service) ::CloseServiceHandle(m_service);
  }
  ServiceState(const ServiceState&) = delete;
  ServiceState& operator=(const ServiceState&) = delete;

  ServiceStart Start() const {
    if (!m_service) return ServiceStart::Absent;
    std::vector<BYTE> buffer(kLargestServiceConfig);
    DWORD needed = 0;
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    if (!::QueryServiceConfigW(m_service, config, kLargestServiceConfig, &needed)) return ServiceStart::Absent;
    return StartOf(config->dwStartType);
  }

  bool Running() const {
    SERVICE_STATUS_PROCESS status{};
    DWORD needed = 0;
    return m_service &&
           ::QueryServiceStatusEx(m_service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof status,
                                  &needed) &&
           (status.dwCurrentState == SERVICE_RUNNING || status.dwCurrentState == SERVICE_START_PENDING);
  }

private:
  SC_HANDLE m_service;
};

// A member of a domain has a primary domain with a SID; a workgroup's has
// none.
bool DomainMember() {
  LSA_OBJECT_ATTRIBUTES attributes{};
  LSA_HANDLE policy = nullptr;
  if (::LsaOpenPolicy(nullptr, &attributes, POLICY_VIEW_LOCAL_INFORMATION, &policy) != 0) return false;
  void* buffer = nullptr;
  bool member = false;
  if (::LsaQueryInformationPolicy(policy, PolicyPrimaryDomainInformation, &buffer) == 0 && buffer) {
    member = static_cast<POLICY_PRIMARY_DOMAIN_INFO*>(buffer)->Sid != nullptr;
    ::LsaFreeMemory(buffer);
  }
  ::LsaClose(policy);
  return member;
}
}  // namespace

SetterConfiguration ReadSetterConfiguration() {
  SetterConfiguration configuration;
  const SC_HANDLE manager = ::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
  {
    const ServiceState windowsTime(manager, kWindowsTimeService);
    configuration.windowsTimeStart = windowsTime.Start();
    configuration.windowsTimeRunning = windowsTime.Running();
    configuration.hyperVServiceRunning = ServiceState(manager, kHyperVTimeService).Running();
    configuration.vmwareToolsRunning = ServiceState(manager, kVmwareToolsService).Running();
    configuration.virtualBoxRunning = ServiceState(manager, kVirtualBoxService).Running();
  }
  if (manager) ::CloseServiceHandle(manager);
  configuration.windowsTimeType = ReadString(kWindowsTimeParameters, L"Type");
  configuration.ntpServer = ReadString(kWindowsTimeParameters, L"NtpServer");
  configuration.domainMember = DomainMember();
  configuration.hyperVProviderEnabled = ReadNumber(kHyperVTimeProvider, L"Enabled");
  configuration.secureTimeSeeding = ReadNumber(kWindowsTimeConfig, L"UtilizeSslTimeData");
  return configuration;
}
