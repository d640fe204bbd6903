#include "console/ScheduledTaskXml.h"

#include <algorithm>
#include <cwchar>

namespace {
constexpr int kStampSize = 32;
// Two minutes after start-up, when the network has usually come up.
const wchar_t kStartUpDelay[] = L"PT2M";
// After a network connects or the computer resumes: time for its name
// service to answer, and for Wi-Fi to reconnect after a resume.
const wchar_t kAfterEventDelay[] = L"PT30S";
// The interval's random delay: a tenth of it, at most an hour.
constexpr int kMinutesPerHour = 60;
constexpr int kRandomMinutesPerHour = kMinutesPerHour / 10;
// 4 to 6 are the schema's normal priorities (the default, 7, is below
// normal): the moments around an exchange are not left to wait.
constexpr int kNormalPriority = 5;

// The Network List Service logs event 10000 once for each network it has
// connected and identified, with its address set: at start-up, after a
// resume and on every change of Wi-Fi. Its connectivity event, 4004, comes
// several times for one connection.
const wchar_t kNetworkLog[] = L"Microsoft-Windows-NetworkProfile/Operational";
const wchar_t kNetworkProvider[] = L"Microsoft-Windows-NetworkProfile";
constexpr int kNetworkConnected = 10000;
// The Power-Troubleshooter logs event 1 in the System log on every resume
// from sleep or hibernation, Fast Startup's "power on" included.
const wchar_t kResumeLog[] = L"System";
const wchar_t kResumeProvider[] = L"Microsoft-Windows-Power-Troubleshooter";
constexpr int kResumed = 1;

// Characters XML 1.0 cannot carry: controls other than tab, line feed and
// carriage return, U+FFFE and U+FFFF, and half of a UTF-16 pair.
bool IsXmlCharacter(const std::wstring& text, size_t index) {
  const wchar_t c = text[index];
  const auto high = [](wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; };
  const auto low = [](wchar_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; };
  if (c < 0x20) return c == L'\t' || c == L'\n' || c == L'\r';
  if (high(c)) return index + 1 < text.size() && low(text[index + 1]);
  if (low(c)) return index > 0 && high(text[index - 1]);
  return c != 0xFFFE && c != 0xFFFF;
}

bool IsXmlText(const std::wstring& text) {
  for (size_t index = 0; index < text.size(); ++index) {
    if (!IsXmlCharacter(text, index)) return false;
  }
  return true;
}

// Text as XML element content: & and < (and > and quotes, for good
// measure) as character references.
std::wstring XmlText(const std::wstring& text) {
  std::wstring escaped;
  for (const wchar_t c : text) {
    switch (c) {
      case L'&': escaped += L"&amp;"; break;
      case L'<': escaped += L"&lt;"; break;
      case L'>': escaped += L"&gt;"; break;
      case L'"': escaped += L"&quot;"; break;
      case L'\'': escaped += L"&apos;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

// 2026-12-08T09:30:00, a local time without a zone.
std::wstring LocalStamp(const SYSTEMTIME& time) {
  wchar_t stamp[kStampSize];
  std::swprintf(stamp, kStampSize, L"%04u-%02u-%02uT%02u:%02u:%02u", time.wYear, time.wMonth, time.wDay,
                time.wHour, time.wMinute, time.wSecond);
  return stamp;
}

std::wstring RandomDelay(int hours) {
  return L"PT" + std::to_wstring(std::min(hours * kRandomMinutesPerHour, kMinutesPerHour)) + L"M";
}

// The event log query of an event trigger: one event id of one provider.
std::wstring EventQuery(const wchar_t* log, const wchar_t* provider, int eventId) {
  return std::wstring(L"<QueryList><Query Id=\"0\" Path=\"") + log + L"\"><Select Path=\"" + log +
         L"\">*[System[Provider[@Name='" + provider + L"'] and EventID=" + std::to_wstring(eventId) +
         L"]]</Select></Query></QueryList>";
}

// Each trigger's elements in the order of its schema type: those of every
// trigger (Enabled, StartBoundary, EndBoundary, Repetition,
// ExecutionTimeLimit) first, then its own.
std::wstring EventTrigger(const wchar_t* log, const wchar_t* provider, int eventId) {
  return L"    <EventTrigger>\r\n"
         L"      <Enabled>true</Enabled>\r\n"
         L"      <Subscription>" + XmlText(EventQuery(log, provider, eventId)) + L"</Subscription>\r\n"
         L"      <Delay>" + std::wstring(kAfterEventDelay) + L"</Delay>\r\n"
         L"    </EventTrigger>\r\n";
}

std::wstring Triggers(int hours, const SYSTEMTIME& start) {
  return L"  <Triggers>\r\n"
         L"    <BootTrigger>\r\n"
         L"      <Enabled>true</Enabled>\r\n"
         L"      <Delay>" + std::wstring(kStartUpDelay) + L"</Delay>\r\n"
         L"    </BootTrigger>\r\n" +
         EventTrigger(kNetworkLog, kNetworkProvider, kNetworkConnected) +
         EventTrigger(kResumeLog, kResumeProvider, kResumed) +
         L"    <TimeTrigger>\r\n"
         L"      <Enabled>true</Enabled>\r\n"
         L"      <StartBoundary>" + LocalStamp(start) + L"</StartBoundary>\r\n"
         L"      <Repetition>\r\n"
         L"        <Interval>PT" + std::to_wstring(hours) + L"H</Interval>\r\n"
         L"        <StopAtDurationEnd>false</StopAtDurationEnd>\r\n"
         L"      </Repetition>\r\n"
         L"      <RandomDelay>" + RandomDelay(hours) + L"</RandomDelay>\r\n"
         L"    </TimeTrigger>\r\n"
         L"  </Triggers>\r\n";
}
}  // namespace

std::wstring TaskProgramPathRefusal(const std::wstring& programPath) {
  if (programPath.size() > kLongestTaskProgramPath)
    return L"Not scheduled: the program's path is " + std::to_wstring(programPath.size()) +
           L" characters long, and the Task Scheduler runs a program from a path of at most " +
           std::to_wstring(kLongestTaskProgramPath) +
           L". Copy the program to a folder with a shorter path, such as C:\\Program Files\\Movrane, and "
           L"schedule it from there.";
  if (!IsXmlText(programPath))
    return L"Not scheduled: the program's path holds a character that the Task Scheduler's task cannot "
           L"hold (a control character or half of a UTF-16 pair). Copy the program to a folder whose name "
           L"has none, such as C:\\Program Files\\Movrane, and schedule it from there.";
  return {};
}

// The program is quoted: a path with a space is never taken for a shorter
// program's.
std::wstring ScheduledTaskXml(const std::wstring& programPath, int hours, const SYSTEMTIME& start) {
  return L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
         L"<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\r\n"
         L"  <RegistrationInfo>\r\n"
         L"    <Description>Sets this computer's clock from its time servers (Movrane.com /sync).</Description>\r\n"
         L"  </RegistrationInfo>\r\n" +
         Triggers(hours, start) +
         L"  <Principals>\r\n"
         L"    <Principal id=\"Author\">\r\n"
         L"      <UserId>" + std::wstring(kLocalSystem) + L"</UserId>\r\n"
         L"      <RunLevel>HighestAvailable</RunLevel>\r\n"
         L"    </Principal>\r\n"
         L"  </Principals>\r\n"
         L"  <Settings>\r\n"
         L"    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>\r\n"
         L"    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>\r\n"
         L"    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>\r\n"
         L"    <StartWhenAvailable>true</StartWhenAvailable>\r\n"
         L"    <ExecutionTimeLimit>PT10M</ExecutionTimeLimit>\r\n"
         L"    <Priority>" + std::to_wstring(kNormalPriority) + L"</Priority>\r\n"
         L"  </Settings>\r\n"
         L"  <Actions Context=\"Author\">\r\n"
         L"    <Exec>\r\n"
         L"      <Command>\"" + XmlText(programPath) + L"\"</Command>\r\n"
         L"      <Arguments>/sync</Arguments>\r\n"
         L"    </Exec>\r\n"
         L"  </Actions>\r\n"
         L"</Task>\r\n";
}
