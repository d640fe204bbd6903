#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// How a service of the machine starts, as the service manager says.
enum class ServiceStart { Absent, Disabled, OnDemand, Automatic };

// What this machine's configuration says of the programs besides this one
// that set its clock, as read: nothing of it is ever changed.
struct SetterConfiguration {
  ServiceStart windowsTimeStart = ServiceStart::Absent;
  bool windowsTimeRunning = false;
  // Windows Time's Parameters: Type (NoSync, NTP, NT5DS, AllSync; empty
  // when absent) and NtpServer ("name,0x9 name2,0x9").
  std::wstring windowsTimeType;
  std::wstring ntpServer;
  bool domainMember = false;
  // Hyper-V's time provider's Enabled value, and its service running.
  std::optional<uint32_t> hyperVProviderEnabled;
  bool hyperVServiceRunning = false;
  bool vmwareToolsRunning = false;
  bool virtualBoxRunning = false;
  // Windows Time's UtilizeSslTimeData: Secure Time Seeding, on when absent.
  std::optional<uint32_t> secureTimeSeeding;
};

// A program that may set this clock after this one has, in the order of
// their messages.
enum class OtherSetter {
  WindowsTimeDomain,
  WindowsTimeServers,
  WindowsTimeDomainOrServers,
  HyperV,
  VmwareTools,
  VirtualBox,
  SecureTimeSeeding,
};

// The setters the configuration makes active. Windows Time counts unless
// it is disabled, absent or told to sync with nothing, and its Secure Time
// Seeding only with it; Hyper-V's provider only while its service runs.
std::vector<OtherSetter> ActiveSetters(const SetterConfiguration& configuration);

// The servers of an NtpServer value, without their flags, comma-separated;
// control characters dropped and cut to a line's length.
std::wstring NtpServerNames(const std::wstring& ntpServer);

// A setter's name in the JSON report.
const wchar_t* SetterName(OtherSetter setter);

// One short line of the log for a setter, without its end.
std::wstring SetterText(const std::vector<std::wstring>& messages, OtherSetter setter,
                        const SetterConfiguration& configuration);

// A line of the log for each active setter.
std::wstring SetterLines(const std::vector<std::wstring>& messages, const SetterConfiguration& configuration);
