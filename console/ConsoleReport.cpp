#include "console/ConsoleReport.h"

#include <cwchar>

#include "exchange/TrustLevel.h"

namespace {
const wchar_t kLineEnd[] = L"\r\n";
constexpr size_t kLabelWidth = 13;
constexpr int kFieldSize = 64;

std::wstring Line(const std::wstring& label, const std::wstring& value) {
  return label + std::wstring(kLabelWidth - label.size(), L' ') + L" : " + value + kLineEnd;
}

// Seconds to the microsecond, the sign always shown withSign.
std::wstring Seconds(double seconds, bool withSign = false) {
  wchar_t text[kFieldSize];
  std::swprintf(text, kFieldSize, withSign ? L"%+.6f" : L"%.6f", seconds);
  return text;
}

// 2026-12-07T14:03:27.123Z
std::wstring IsoUtc(const SYSTEMTIME& time) {
  wchar_t stamp[kFieldSize];
  std::swprintf(stamp, kFieldSize, L"%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", time.wYear, time.wMonth,
                time.wDay, time.wHour, time.wMinute, time.wSecond, time.wMilliseconds);
  return stamp;
}

std::wstring YesNo(bool yes) {
  return yes ? L"yes" : L"no";
}

// A JSON string: quotes, backslashes and control characters escaped,
// everything else as it is.
std::wstring JsonString(const std::wstring& text) {
  std::wstring quoted = L"\"";
  for (const wchar_t c : text) {
    if (c == L'"' || c == L'\\') {
      quoted += L'\\';
      quoted += c;
    } else if (c < L' ') {
      wchar_t escaped[8];
      std::swprintf(escaped, 8, L"\\u%04x", static_cast<unsigned>(c));
      quoted += escaped;
    } else {
      quoted += c;
    }
  }
  return quoted + L"\"";
}

std::wstring JsonBool(bool value) {
  return value ? L"true" : L"false";
}

// The members of a JSON object, in the order they are added.
class JsonObject {
public:
  JsonObject& Add(const wchar_t* name, const std::wstring& jsonValue) {
    m_members += (m_members.empty() ? L"" : L",") + JsonString(name) + L":" + jsonValue;
    return *this;
  }
  std::wstring Text() const { return L"{" + m_members + L"}"; }

private:
  std::wstring m_members;
};
std::wstring Count(size_t count) {
  return std::to_wstring(count);
}

const wchar_t* VerdictName(ServerVerdict verdict) {
  switch (verdict) {
    case ServerVerdict::Truechimer:
      return L"truechimer";
    case ServerVerdict::Falseticker:
      return L"falseticker";
    case ServerVerdict::LeftOut:
      break;
  }
  return L"left out";
}

// How many of the servers that answered agree, then each server whose time
// is not among theirs.
std::wstring ServerLines(const ConsoleReport& report) {
  const ServerPoll& poll = report.poll;
  std::wstring text =
      Line(L"Agreement", Count(poll.Agreeing()) + L" of " + Count(poll.Answered()) + L" servers agree");
  if (!poll.CrossChecked())
    text += Line(L"Cross-checked", L"no, fewer servers agree than minagree (" + Count(poll.minAgree) + L")");
  for (size_t i = 0; i < poll.answers.size(); ++i) {
    const ServerAnswer& answer = poll.answers[i];
    if (answer.verdict == ServerVerdict::Falseticker)
      text += Line(L"Falseticker", answer.server + L" (" + Seconds(answer.answer->m_dClockOffset, true) + L" s)");
    if (answer.verdict == ServerVerdict::LeftOut) text += Line(L"Left out", answer.server + L": " + report.failures[i]);
  }
  return text;
}

// The time's trust level, and why not higher when it is not authenticated.
std::wstring TrustLine(const ConsoleReport& report) {
  const std::wstring level = TrustLevelName(report.trust);
  return Line(L"Trust", report.trustReason.empty() ? level : level + L" (" + report.trustReason + L")");
}

// What one exchange measured, its server left to the caller.
void AddMeasurement(JsonObject& json, const SntpExchangeResult& measured) {
  if (!measured.m_strNegotiatedServer.empty()) json.Add(L"ntp_server", JsonString(measured.m_strNegotiatedServer));
  json.Add(L"address", JsonString(measured.m_strServerAddress))
      .Add(L"stratum", std::to_wstring(measured.m_nStratum))
      .Add(L"offset", Seconds(measured.m_dClockOffset))
      .Add(L"bound", Seconds(measured.m_dErrorBound))
      .Add(L"delay", Seconds(measured.m_dRoundTripDelay));
}

std::wstring JsonServer(const ServerAnswer& answer, const std::wstring& failure) {
  JsonObject json;
  json.Add(L"server", JsonString(answer.server)).Add(L"verdict", JsonString(VerdictName(answer.verdict)));
  if (answer.answer) {
    json.Add(L"authenticated", JsonBool(answer.answer->m_bAuthenticated));
    AddMeasurement(json, *answer.answer);
  } else {
    json.Add(L"error", JsonString(failure));
  }
  return json.Text();
}

// Every server asked, and which time was chosen.
void AddServers(JsonObject& json, const ConsoleReport& report) {
  const ServerPoll& poll = report.poll;
  std::wstring list;
  for (size_t i = 0; i < poll.answers.size(); ++i)
    list += (list.empty() ? L"" : L",") + JsonServer(poll.answers[i], report.failures[i]);
  json.Add(L"agree", Count(poll.Agreeing()))
      .Add(L"answered", Count(poll.Answered()))
      .Add(L"minagree", Count(poll.minAgree))
      .Add(L"cross_checked", JsonBool(poll.CrossChecked()))
      .Add(L"chosen", report.server.empty() ? L"null" : JsonString(report.server))
      .Add(L"servers", L"[" + list + L"]");
}
}  // namespace

std::wstring FormatTextReport(const ConsoleReport& report) {
  if (!report.measurement) return {};
  const SntpExchangeResult& measured = *report.measurement;
  std::wstring text = Line(L"Server", report.server);
  if (!measured.m_strNegotiatedServer.empty()) text += Line(L"NTP server", measured.m_strNegotiatedServer);
  text += Line(L"Address", measured.m_strServerAddress) + Line(L"Authenticated", YesNo(measured.m_bAuthenticated)) +
          Line(L"Offset", Seconds(measured.m_dClockOffset, true) + L" s +/- " + Seconds(measured.m_dErrorBound) + L" s") +
          Line(L"Round trip", Seconds(measured.m_dRoundTripDelay) + L" s") +
          Line(L"Stratum", std::to_wstring(measured.m_nStratum)) + TrustLine(report) +
          Line(L"Local time", IsoUtc(report.localTime)) +
          Line(L"Server time", IsoUtc(report.serverTime));
  if (report.poll.Several()) text += ServerLines(report);
  if (report.synchronizing) text += Line(L"Clock", report.clockSet ? L"set" : L"not changed");
  return text;
}

std::wstring FormatJsonReport(const ConsoleReport& report) {
  JsonObject json;
  json.Add(L"command", JsonString(report.synchronizing ? L"sync" : L"compare"));
  if (!report.server.empty()) json.Add(L"server", JsonString(report.server));
  json.Add(L"nts", JsonBool(report.settings.nts));
  const bool authenticated = report.measurement && report.measurement->m_bAuthenticated;
  json.Add(L"authenticated", JsonBool(authenticated));
  if (report.measurement) {
    AddMeasurement(json, *report.measurement);
    json.Add(L"trust", JsonString(TrustLevelName(report.trust)));
    if (!report.trustReason.empty()) json.Add(L"trust_reason", JsonString(report.trustReason));
    json.Add(L"local_time", JsonString(IsoUtc(report.localTime)))
        .Add(L"server_time", JsonString(IsoUtc(report.serverTime)));
  }
  if (report.poll.Several()) AddServers(json, report);
  if (report.synchronizing) json.Add(L"clock_set", JsonBool(report.clockSet));
  if (report.error) {
    json.Add(L"error", JsonObject()
                           .Add(L"code", std::to_wstring(static_cast<int>(report.error->code)))
                           .Add(L"text", JsonString(report.error->text))
                           .Text());
  }
  return json.Text() + kLineEnd;
}
