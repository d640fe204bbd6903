#include "console/ConsoleCommand.h"

#include <set>

#include "console/ExitCode.h"
#include "exchange/ServerSettings.h"
#include "framework/String.h"

namespace {
const wchar_t kCompare[] = L"compare";
const wchar_t kSync[] = L"sync";
const wchar_t kServer[] = L"server";
const wchar_t kNts[] = L"nts";
const wchar_t kNoNts[] = L"nonts";
const wchar_t kJson[] = L"json";
const wchar_t kMaxStep[] = L"maxstep";
const wchar_t kMinAgree[] = L"minagree";
const wchar_t kTrust[] = L"trust";
const wchar_t kSchedule[] = L"schedule";
const wchar_t kUnschedule[] = L"unschedule";
const wchar_t kForget[] = L"forget";
const wchar_t kHistory[] = L"history";
const wchar_t kHelp[] = L"?";

// One option: its lower-case name, and what follows the first colon.
struct Option {
  std::wstring name;
  std::optional<std::wstring> value;
};

std::optional<Option> OptionOf(const std::wstring& argument) {
  if (argument.size() < 2 || (argument[0] != L'/' && argument[0] != L'-')) return std::nullopt;
  const size_t colon = argument.find(L':');
  Option option;
  option.name = LowerCase(argument.substr(1, colon == std::wstring::npos ? std::wstring::npos : colon - 1));
  if (colon != std::wstring::npos) option.value = argument.substr(colon + 1);
  return option;
}

// Seconds written as digits with an optional decimal fraction.
std::optional<double> SecondsOf(const std::wstring& text) {
  const size_t dot = text.find(L'.');
  const std::wstring whole = text.substr(0, dot);
  const std::wstring fraction = dot == std::wstring::npos ? L"0" : text.substr(dot + 1);
  const auto digitsOnly = [](const std::wstring& part) {
    if (part.empty()) return false;
    for (const wchar_t c : part)
      if (c < L'0' || c > L'9') return false;
    return true;
  };
  if (!digitsOnly(whole) || !digitsOnly(fraction)) return std::nullopt;
  return std::wcstod(text.c_str(), nullptr);
}

// Whole hours from 1 to a week, written as digits.
std::optional<int> HoursOf(const std::wstring& text) {
  int hours = 0;
  for (const wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    hours = 10 * hours + (c - L'0');
    if (hours > kLongestScheduleHours) return std::nullopt;
  }
  if (text.empty() || hours < 1) return std::nullopt;
  return hours;
}

// The actions of an administrator, on the task and what is kept.
bool AdministersMachine(ConsoleAction action) {
  return action == ConsoleAction::Schedule || action == ConsoleAction::Unschedule || action == ConsoleAction::Forget;
}

class CommandReader {
public:
  ConsoleCommand Read(const std::vector<std::wstring>& arguments) {
    for (const std::wstring& argument : arguments) {
      const std::optional<Option> option = OptionOf(argument);
      if (!option) return Refused(L"Not an option: " + argument);
      if (option->name == kHelp && !option->value) {
        m_command.action = ConsoleAction::Usage;
        return m_command;
      }
      if (!Take(*option, argument)) return m_command;
    }
    if (m_maxStepGiven && m_command.action != ConsoleAction::Sync)
      return Refused(L"/maxstep goes with /sync only");
    if (AdministersMachine(m_command.action) && (m_seen.size() > 1 || !m_command.servers.empty()))
      return Refused(L"/schedule, /unschedule and /forget take no other option");
    if (m_command.action == ConsoleAction::History &&
        (m_seen.size() > (m_command.json ? 2u : 1u) || !m_command.servers.empty()))
      return Refused(L"/history takes /json only");
    return m_command;
  }

private:
  // False when the option was refused.
  bool Take(const Option& option, const std::wstring& argument) {
    if (option.name != kServer && !m_seen.insert(option.name).second)
      return Refuse(L"Given more than once: " + argument);
    if (option.name == kServer || option.name == kMaxStep || option.name == kMinAgree || option.name == kTrust)
      return TakeValue(option, argument);
    if (option.name == kSchedule) return TakeSchedule(option, argument);
    if (option.value) return Refuse(L"Unknown option: " + argument);
    if (option.name == kCompare) return TakeAction(ConsoleAction::Compare);
    if (option.name == kSync) return TakeAction(ConsoleAction::Sync);
    if (option.name == kUnschedule) return TakeAction(ConsoleAction::Unschedule);
    if (option.name == kForget) return TakeAction(ConsoleAction::Forget);
    if (option.name == kHistory) return TakeAction(ConsoleAction::History);
    if (option.name == kNts) return TakeNts(true);
    if (option.name == kNoNts) return TakeNts(false);
    if (option.name == kJson) return TakeJson();
    return Refuse(L"Unknown option: " + argument);
  }

  bool TakeValue(const Option& option, const std::wstring& argument) {
    if (!option.value || option.value->empty()) return Refuse(L"Needs a value after the colon: " + argument);
    if (option.name == kServer) {
      if (m_command.servers.size() == kMostServers)
        return Refuse(L"More than " + std::to_wstring(kMostServers) + L" servers: " + argument);
      m_command.servers.push_back(*option.value);
      return true;
    }
    if (option.name == kTrust) {
      m_command.trust = TrustLevelOf(*option.value);
      if (!m_command.trust) return Refuse(L"Not authenticated, unauthenticated or web: " + argument);
      return true;
    }
    if (option.name == kMinAgree) {
      m_command.minAgree = MinAgreeOf(*option.value);
      if (!m_command.minAgree) return Refuse(L"Not a number of servers from 1 to 8: " + argument);
      return true;
    }
    const std::optional<double> seconds = SecondsOf(*option.value);
    if (!seconds) return Refuse(L"Not a number of seconds: " + argument);
    m_command.maxStep = *seconds;
    m_maxStepGiven = true;
    return true;
  }

  // /schedule alone, or with its hours after the colon.
  bool TakeSchedule(const Option& option, const std::wstring& argument) {
    if (option.value) {
      const std::optional<int> hours = HoursOf(*option.value);
      if (!hours) return Refuse(L"Not a number of hours from 1 to 168: " + argument);
      m_command.scheduleHours = *hours;
    }
    return TakeAction(ConsoleAction::Schedule);
  }

  // Each option comes once at most: one given before is another one.
  bool TakeAction(ConsoleAction action) {
    if (m_actionGiven)
      return Refuse(L"/compare, /sync, /schedule, /unschedule, /forget and /history exclude each other");
    m_command.action = action;
    m_actionGiven = true;
    return true;
  }

  bool TakeNts(bool nts) {
    if (m_command.nts) return Refuse(L"/nts and /nonts exclude each other");
    m_command.nts = nts;
    return true;
  }

  bool TakeJson() {
    m_command.json = true;
    return true;
  }

  bool Refuse(const std::wstring& why) {
    m_command.error = why;
    return false;
  }

  ConsoleCommand Refused(const std::wstring& why) {
    Refuse(why);
    return m_command;
  }

  ConsoleCommand m_command;
  std::set<std::wstring> m_seen;  // the names of the options met so far
  bool m_actionGiven = false;
  bool m_maxStepGiven = false;
};
}  // namespace

ConsoleCommand ParseConsoleCommand(const std::vector<std::wstring>& arguments) {
  return CommandReader().Read(arguments);
}

std::wstring UsageText() {
  return L"Movrane.com compares this computer's clock with time servers and can set it.\r\n"
         L"\r\n"
         L"Movrane.com [/compare | /sync [/maxstep:SECONDS]] [/server:NAME]... [/nts | /nonts]\r\n"
         L"            [/minagree:N] [/trust:LEVEL] [/json]\r\n"
         L"Movrane.com /schedule[:HOURS] | /unschedule | /forget\r\n"
         L"Movrane.com /history [/json]\r\n"
         L"\r\n"
         L"  /compare          asks the servers for their time and prints the offset (the default)\r\n"
         L"  /sync             the same, then sets the clock; needs administrator rights\r\n"
         L"  /maxstep:SECONDS  the largest step /sync takes (3600 unless given); a larger\r\n"
         L"                    one is refused and leaves the clock alone\r\n"
         L"  /server:NAME      a server to ask, instead of server1 to server8 in Movrane.ini;\r\n"
         L"                    up to 8, each with its own /server. Of several servers, the\r\n"
         L"                    time a majority of those that answer agree on is taken; a\r\n"
         L"                    name given twice is asked once\r\n"
         L"  /minagree:N       how many servers must agree before /sync sets the clock (1 to\r\n"
         L"                    8), instead of minagree in Movrane.ini; 2 unless given when\r\n"
         L"                    two or more servers are listed\r\n"
         L"  /trust:LEVEL      the weakest time /sync sets the clock to: authenticated,\r\n"
         L"                    unauthenticated or web, instead of trust in Movrane.ini\r\n"
         L"  /nts, /nonts      with or without Network Time Security, instead of nts in\r\n"
         L"                    Movrane.ini\r\n"
         L"  /json             prints one JSON object instead of text\r\n"
         L"  /schedule:HOURS   makes a task of the Task Scheduler that runs /sync as SYSTEM\r\n"
         L"                    after start-up, when a network connects, after a resume and\r\n"
         L"                    every HOURS hours (1 to 168, 24 unless given), replacing one\r\n"
         L"                    made before; needs administrator rights and a folder that\r\n"
         L"                    only administrators can change\r\n"
         L"  /unschedule       removes that task and what /forget removes; needs administrator\r\n"
         L"                    rights\r\n"
         L"  /forget           removes the NTS key-exchange results kept between runs, so\r\n"
         L"                    that the next run makes new key exchanges; needs administrator\r\n"
         L"                    rights\r\n"
         L"  /history          prints the compares kept of this clock, one a line (its\r\n"
         L"                    fields comma-separated), or with /json a JSON array\r\n"
         L"  /?                shows this\r\n"
         L"Options may start with - as well as /. Failures are told on standard error.\r\n"
         L"\r\n"
         L"Exit codes:\r\n" +
         ExitCodeList();
}
