#include "exchange/OtherSetters.h"
#include "exchange/TextSettings.h"

#include <gtest/gtest.h>

namespace {
const std::vector<std::wstring> kDefaultMessages = [] {
  std::vector<std::wstring> messages;
  for (const MessageSetting& message : kLogMessages) messages.push_back(message.builtInText);
  return messages;
}();

SetterConfiguration WindowsTime(ServiceStart start, const wchar_t* type) {
  SetterConfiguration configuration;
  configuration.windowsTimeStart = start;
  configuration.windowsTimeType = type;
  configuration.secureTimeSeeding = 0;
  return configuration;
}
}  // namespace

TEST(OtherSetters, WhoElseMaySetThisClock) {
  using S = OtherSetter;
  struct Row {
    const char* what;
    SetterConfiguration configuration;
    std::vector<OtherSetter> setters;
  };
  SetterConfiguration memberByDefault = WindowsTime(ServiceStart::Automatic, L"");
  memberByDefault.domainMember = true;
  SetterConfiguration seeding = WindowsTime(ServiceStart::OnDemand, L"ntp");
  seeding.secureTimeSeeding.reset();  // on when absent
  SetterConfiguration seedingWithoutWindowsTime = WindowsTime(ServiceStart::Disabled, L"NTP");
  seedingWithoutWindowsTime.secureTimeSeeding = 1;
  SetterConfiguration hyperV;
  hyperV.hyperVProviderEnabled = 1;
  hyperV.hyperVServiceRunning = true;
  SetterConfiguration hyperVStopped = hyperV;
  hyperVStopped.hyperVServiceRunning = false;
  SetterConfiguration hyperVDisabled = hyperV;
  hyperVDisabled.hyperVProviderEnabled = 0;
  SetterConfiguration guests;
  guests.vmwareToolsRunning = true;
  guests.virtualBoxRunning = true;
  const std::vector<Row> rows = {
      {"a clean machine", SetterConfiguration{}, {}},
      {"Windows Time on NT5DS", WindowsTime(ServiceStart::OnDemand, L"NT5DS"), {S::WindowsTimeDomain}},
      {"Windows Time on AllSync", WindowsTime(ServiceStart::Automatic, L"AllSync"), {S::WindowsTimeDomainOrServers}},
      {"Windows Time's default on a domain member", memberByDefault, {S::WindowsTimeDomain}},
      {"Windows Time's default elsewhere", WindowsTime(ServiceStart::OnDemand, L""), {S::WindowsTimeServers}},
      {"Windows Time on NoSync", WindowsTime(ServiceStart::Automatic, L"NoSync"), {}},
      {"Windows Time disabled", WindowsTime(ServiceStart::Disabled, L"NTP"), {}},
      {"Secure Time Seeding with Windows Time", seeding, {S::WindowsTimeServers, S::SecureTimeSeeding}},
      {"Secure Time Seeding without Windows Time", seedingWithoutWindowsTime, {}},
      {"Hyper-V's provider with its service running", hyperV, {S::HyperV}},
      {"Hyper-V's provider with its service stopped", hyperVStopped, {}},
      {"Hyper-V's provider disabled", hyperVDisabled, {}},
      {"VMware Tools and VirtualBox", guests, {S::VmwareTools, S::VirtualBox}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(ActiveSetters(row.configuration), row.setters);
  }
}

TEST(OtherSetters, NamesWindowsTimesServersWithoutTheirFlags) {
  SetterConfiguration configuration = WindowsTime(ServiceStart::OnDemand, L"NTP");
  configuration.ntpServer = L"time.windows.com,0x9  ntp.example\x07,0x1 last";
  EXPECT_EQ(SetterText(kDefaultMessages, OtherSetter::WindowsTimeServers, configuration),
            L"Windows Time follows time.windows.com, ntp.example, last and may set this clock again");
  EXPECT_EQ(NtpServerNames(std::wstring(500, L'a')).size(), 200u);
}
