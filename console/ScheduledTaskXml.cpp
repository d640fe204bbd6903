#include "console/ScheduledTaskXml.h"

#include <cwchar>

namespace {
constexpr int kStampSize = 32;

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
}  // namespace

// In the order in which the Task Scheduler exports a task. The program is
// quoted: a path with a space is never taken for a shorter program's.
std::wstring ScheduledTaskXml(const std::wstring& programPath, int hours, const SYSTEMTIME& start) {
  return L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
         L"<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\r\n"
         L"  <RegistrationInfo>\r\n"
         L"    <Description>Sets this computer's clock from its time server (Movrane.com /sync).</Description>\r\n"
         L"  </RegistrationInfo>\r\n"
         L"  <Triggers>\r\n"
         L"    <BootTrigger>\r\n"
         L"      <Enabled>true</Enabled>\r\n"
         L"    </BootTrigger>\r\n"
         L"    <TimeTrigger>\r\n"
         L"      <Repetition>\r\n"
         L"        <Interval>PT" + std::to_wstring(hours) + L"H</Interval>\r\n"
         L"        <StopAtDurationEnd>false</StopAtDurationEnd>\r\n"
         L"      </Repetition>\r\n"
         L"      <StartBoundary>" + LocalStamp(start) + L"</StartBoundary>\r\n"
         L"      <Enabled>true</Enabled>\r\n"
         L"    </TimeTrigger>\r\n"
         L"  </Triggers>\r\n"
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
         L"  </Settings>\r\n"
         L"  <Actions Context=\"Author\">\r\n"
         L"    <Exec>\r\n"
         L"      <Command>\"" + XmlText(programPath) + L"\"</Command>\r\n"
         L"      <Arguments>/sync</Arguments>\r\n"
         L"    </Exec>\r\n"
         L"  </Actions>\r\n"
         L"</Task>\r\n";
}
