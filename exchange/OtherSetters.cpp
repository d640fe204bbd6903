#include "exchange/OtherSetters.h"

#include "exchange/CompareLog.h"
#include "framework/String.h"

namespace {
constexpr size_t kLongestServerNames = 200;

bool SameText(const std::wstring& a, const wchar_t* b) {
  return LowerCase(a) == LowerCase(b);
}

// The Type value's source; an absent Type is Windows' default: the
// domain's time on a member, servers of its own otherwise.
std::optional<OtherSetter> WindowsTimeSetter(const SetterConfiguration& configuration) {
  const std::wstring& type = configuration.windowsTimeType;
  if (type.empty()) return configuration.domainMember ? OtherSetter::WindowsTimeDomain : OtherSetter::WindowsTimeServers;
  if (SameText(type, L"NT5DS")) return OtherSetter::WindowsTimeDomain;
  if (SameText(type, L"NTP")) return OtherSetter::WindowsTimeServers;
  if (SameText(type, L"AllSync")) return OtherSetter::WindowsTimeDomainOrServers;
  return std::nullopt;  // NoSync, or a source Windows Time does not know
}

bool WindowsTimeMayRun(const SetterConfiguration& configuration) {
  return configuration.windowsTimeStart == ServiceStart::OnDemand ||
         configuration.windowsTimeStart == ServiceStart::Automatic || configuration.windowsTimeRunning;
}
}  // namespace

std::vector<OtherSetter> ActiveSetters(const SetterConfiguration& configuration) {
  std::vector<OtherSetter> setters;
  const std::optional<OtherSetter> windowsTime =
      WindowsTimeMayRun(configuration) ? WindowsTimeSetter(configuration) : std::nullopt;
  if (windowsTime) setters.push_back(*windowsTime);
  if (configuration.hyperVProviderEnabled.value_or(0) != 0 && configuration.hyperVServiceRunning)
    setters.push_back(OtherSetter::HyperV);
  if (configuration.vmwareToolsRunning) setters.push_back(OtherSetter::VmwareTools);
  if (configuration.virtualBoxRunning) setters.push_back(OtherSetter::VirtualBox);
  if (windowsTime && configuration.secureTimeSeeding.value_or(1) != 0)
    setters.push_back(OtherSetter::SecureTimeSeeding);
  return setters;
}

std::wstring NtpServerNames(const std::wstring& ntpServer) {
  std::wstring names;
  bool inFlags = false;
  bool betweenNames = true;
  for (const wchar_t c : ntpServer) {
    if (c < L' ' || c == 0x7f) continue;
    if (c == L' ') {
      inFlags = false;
      betweenNames = true;
      continue;
    }
    if (c == L',') inFlags = true;
    if (inFlags) continue;
    if (betweenNames && !names.empty()) names += L", ";
    betweenNames = false;
    names += c;
  }
  return names.substr(0, kLongestServerNames);
}

const wchar_t* SetterName(OtherSetter setter) {
  switch (setter) {
    case OtherSetter::WindowsTimeDomain:
      return L"windows_time_domain";
    case OtherSetter::WindowsTimeServers:
      return L"windows_time_servers";
    case OtherSetter::WindowsTimeDomainOrServers:
      return L"windows_time_domain_or_servers";
    case OtherSetter::HyperV:
      return L"hyper_v";
    case OtherSetter::VmwareTools:
      return L"vmware_tools";
    case OtherSetter::VirtualBox:
      return L"virtualbox";
    case OtherSetter::SecureTimeSeeding:
      break;
  }
  return L"secure_time_seeding";
}

std::wstring SetterText(const std::vector<std::wstring>& messages, OtherSetter setter,
                        const SetterConfiguration& configuration) {
  const std::wstring& text = messages[kMessageWindowsTimeDomain + static_cast<int>(setter)];
  return WithValues(text, {NtpServerNames(configuration.ntpServer)});
}

std::wstring SetterLines(const std::vector<std::wstring>& messages, const SetterConfiguration& configuration) {
  std::wstring lines;
  for (const OtherSetter setter : ActiveSetters(configuration))
    lines += SetterText(messages, setter, configuration) + L"\r\n";
  return lines;
}
