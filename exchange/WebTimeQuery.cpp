#include "exchange/WebTimeQuery.h"

#include <atomic>
#include <chrono>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string_view>

#include "exchange/HttpDate.h"
#include "exchange/WebLibrary.h"
#include "exchange/WebTimeInterval.h"
#include "framework/WinThread.h"
#include "sntp/BuildTime.h"
#include "sntp/PreciseTime.h"

namespace {

using Answer = Result<SntpExchangeResult, FailedExchange>;

const wchar_t kUserAgent[] = L"Movrane";
const wchar_t kMethod[] = L"HEAD";
const wchar_t kRootPath[] = L"/";
// An IMF-fixdate is 29 characters: a longer Date field is no date, and is
// never read beyond this.
constexpr DWORD kDateFieldChars = 32;

// The answer of one server, written once by the thread that asks it and read
// by the caller only once ready says so.
struct WebAnswerSlot {
  std::optional<Answer> answer;
  std::atomic<bool> ready{false};
};

// What the caller and the threads share; the last of them to finish frees
// it, so a query the stop event ended leaves nothing behind.
struct WebQueryState {
  const CWebLibrary& library;
  HINTERNET session;
  std::vector<std::wstring> servers;
  std::vector<WebAnswerSlot> slots;
  std::atomic<size_t> unanswered;
  HANDLE allAnswered;
  CTimeLimit limit;

  WebQueryState(const CWebLibrary& webLibrary, HINTERNET webSession, const std::vector<std::wstring>& names,
                const CTimeLimit& budget)
      : library(webLibrary), session(webSession), servers(names), slots(names.size()), unanswered(names.size()),
        allAnswered(::CreateEventW(nullptr, TRUE, FALSE, nullptr)), limit(budget) {}
  ~WebQueryState() {
    library.WinHttpCloseHandle(session);
    if (allAnswered) ::CloseHandle(allAnswered);
  }
};

struct WebAsk {
  std::shared_ptr<WebQueryState> state;
  size_t entry;
};

// A WinHTTP handle, closed when it goes.
class CWebHandle {
public:
  CWebHandle(const CWebLibrary& library, HINTERNET handle) : m_library(library), m_handle(handle) {}
  ~CWebHandle() {
    if (m_handle) m_library.WinHttpCloseHandle(m_handle);
  }
  CWebHandle(const CWebHandle&) = delete;
  CWebHandle& operator=(const CWebHandle&) = delete;
  HINTERNET get() const { return m_handle; }

private:
  const CWebLibrary& m_library;
  HINTERNET m_handle;
};

// Whether no TLS session that Windows trusts could be made: its
// certificate refused, or the handshake failed (Wine tells a refused
// certificate so too). Either is a failure of trust, never a time.
bool IsTrustRefusal(DWORD error) {
  switch (error) {
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
    case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE:
    case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
      return true;
    default:
      return false;
  }
}

FailedExchange FailedWebExchange(DWORD error) {
  if (IsTrustRefusal(error)) return {ExchangeFailure::WebCertificateRefused, SntpRefusal::None, error};
  switch (error) {
    case ERROR_WINHTTP_TIMEOUT:
      return {ExchangeFailure::NoAnswer, SntpRefusal::None, error};
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
      return {ExchangeFailure::NameNotFound, SntpRefusal::None, error};
    default:
      return {ExchangeFailure::NetworkRefused, SntpRefusal::None, error};
  }
}

// Frees the strings WinHTTP hands over.
void FreeProxyTexts(std::initializer_list<LPWSTR> texts) {
  for (LPWSTR text : texts)
    if (text) ::GlobalFree(text);
}

bool MachineNamesAProxy(const CWebLibrary& library) {
  WINHTTP_PROXY_INFO machine{};
  const bool named =
      library.WinHttpGetDefaultProxyConfiguration(&machine) && machine.dwAccessType == WINHTTP_ACCESS_TYPE_NAMED_PROXY;
  FreeProxyTexts({machine.lpszProxy, machine.lpszProxyBypass});
  return named;
}

// The session, with the system's proxy settings: the machine's default
// proxy (netsh winhttp) when it names one, else the proxy the user set for
// the web, else what the system finds itself (automatic, Windows 8.1 on:
// the user's settings, a configuration script or detection; before it the
// machine's default, which is then direct).
HINTERNET OpenSession(const CWebLibrary& library) {
  if (MachineNamesAProxy(library))
    return library.WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                               WINHTTP_NO_PROXY_BYPASS, 0);
  WINHTTP_CURRENT_USER_IE_PROXY_CONFIG user{};
  if (library.WinHttpGetIEProxyConfigForCurrentUser(&user) && user.lpszProxy) {
    HINTERNET session =
        library.WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_NAMED_PROXY, user.lpszProxy,
                            user.lpszProxyBypass ? user.lpszProxyBypass : WINHTTP_NO_PROXY_BYPASS, 0);
    FreeProxyTexts({user.lpszAutoConfigUrl, user.lpszProxy, user.lpszProxyBypass});
    return session;
  }
  FreeProxyTexts({user.lpszAutoConfigUrl, user.lpszProxy, user.lpszProxyBypass});
  if (HINTERNET session = library.WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                                              WINHTTP_NO_PROXY_BYPASS, 0))
    return session;
  return library.WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                             WINHTTP_NO_PROXY_BYPASS, 0);
}

// The Date field as its ASCII bytes; none when it is missing, too long or
// not ASCII.
std::optional<std::string> DateField(const CWebLibrary& library, HINTERNET request) {
  wchar_t field[kDateFieldChars] = {};
  DWORD size = sizeof field;
  if (!library.WinHttpQueryHeaders(request, WINHTTP_QUERY_DATE, WINHTTP_HEADER_NAME_BY_INDEX, field, &size,
                                    WINHTTP_NO_HEADER_INDEX))
    return std::nullopt;
  std::string ascii;
  for (const wchar_t c : std::wstring_view(field, size / sizeof(wchar_t))) {
    if (c > 0x7F) return std::nullopt;
    ascii.push_back(static_cast<char>(c));
  }
  return ascii;
}

// One HEAD request on the connection, timed from its send to its answer's
// headers.
Answer TimedHead(const CWebLibrary& library, HINTERNET connection, const std::wstring& server,
                 const CTimeLimit& limit) {
  const CWebHandle request(library, library.WinHttpOpenRequest(connection, kMethod, kRootPath, nullptr,
                                                               WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                               WINHTTP_FLAG_SECURE));
  if (!request.get()) return FailedWebExchange(::GetLastError());
  DWORD noRedirect = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
  const int timeout = static_cast<int>(std::max<uint32_t>(limit.MillisecondsLeft(), 1));
  if (!library.WinHttpSetOption(request.get(), WINHTTP_OPTION_REDIRECT_POLICY, &noRedirect, sizeof noRedirect) ||
      !library.WinHttpSetTimeouts(request.get(), timeout, timeout, timeout, timeout))
    return FailedWebExchange(::GetLastError());

  const CNtpTimestamp sent = PreciseNtpNow();
  const auto start = std::chrono::steady_clock::now();
  if (!library.WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
      !library.WinHttpReceiveResponse(request.get(), nullptr))
    return FailedWebExchange(::GetLastError());
  const double roundTrip = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  const std::optional<std::string> field = DateField(library, request.get());
  const std::optional<CNtpTimestamp> date = field ? ParseHttpDate(*field) : std::nullopt;
  if (!date) return FailedExchange{ExchangeFailure::WebNoDate};
  if (PredatesBuild(*date, PreciseFileTimeNow())) return FailedExchange{ExchangeFailure::PredatesProgram};
  return WebTimeInterval(server, *date, sent, roundTrip);
}

// The first request's round trip holds the connection's making too (TCP,
// any proxy's tunnel, TLS); a second on the connection it left open times
// one round trip only. The narrower interval of the two is the answer.
Answer AskWebServer(const CWebLibrary& library, HINTERNET session, const std::wstring& server,
                    const CTimeLimit& limit) {
  const CWebHandle connection(library, library.WinHttpConnect(session, server.c_str(), INTERNET_DEFAULT_HTTPS_PORT, 0));
  if (!connection.get()) return FailedWebExchange(::GetLastError());
  Answer first = TimedHead(library, connection.get(), server, limit);
  if (!first) return first;
  Answer second = TimedHead(library, connection.get(), server, limit);
  return second && second->m_dErrorBound < first->m_dErrorBound ? second : first;
}

void Settle(WebQueryState& state, size_t entry, Answer answer) {
  state.slots[entry].answer = std::move(answer);
  state.slots[entry].ready = true;
  if (--state.unanswered == 0) ::SetEvent(state.allAnswered);
}

void AnswerInto(WebQueryState& state, size_t entry) {
  Settle(state, entry, AskWebServer(state.library, state.session, state.servers[entry], state.limit));
}

UINT AskInThread(LPVOID parameter) {
  const std::unique_ptr<WebAsk> ask(static_cast<WebAsk*>(parameter));
  AnswerInto(*ask->state, ask->entry);
  return 0;
}

// The answer of an entry the caller stopped waiting for.
FailedExchange Unanswered(bool stopped) {
  return stopped ? FailedExchange{ExchangeFailure::Stopped} : FailedExchange{ExchangeFailure::NoAnswer};
}

}  // namespace

CWebTimeQuery::CWebTimeQuery(HANDLE stopEvent) : m_stopEvent(stopEvent) {}

ServerPoll CWebTimeQuery::Run(const std::vector<std::wstring>& servers, size_t minAgree, const CTimeLimit& budget) {
  ServerPoll poll;
  poll.minAgree = minAgree;
  if (servers.empty()) return poll;
  const CWebLibrary* library = CWebLibrary::Get();
  HINTERNET session = library ? OpenSession(*library) : nullptr;
  const DWORD error = ::GetLastError();
  if (!session) {
    for (const std::wstring& server : servers)
      poll.answers.push_back({server, FailedExchange{ExchangeFailure::WebUnavailable, SntpRefusal::None, error}});
    return poll;
  }
  const auto state = std::make_shared<WebQueryState>(*library, session, servers, budget);
  for (size_t i = 0; i < servers.size(); ++i) {
    if (const std::optional<size_t> earlier = EarlierEntryForTheSameName(servers, i)) {
      Settle(*state, i, SameServerAs(servers[*earlier]));
      continue;
    }
    auto ask = std::make_unique<WebAsk>(WebAsk{state, i});
    if (AfxBeginThread(AskInThread, ask.get()))
      ask.release();  // the thread frees it
    else
      AnswerInto(*state, i);
  }
  const HANDLE events[] = {state->allAnswered, m_stopEvent};
  const bool stopped =
      ::WaitForMultipleObjects(2, events, FALSE, budget.MillisecondsLeft()) == WAIT_OBJECT_0 + 1;
  for (size_t i = 0; i < servers.size(); ++i) {
    WebAnswerSlot& slot = state->slots[i];
    poll.answers.push_back({servers[i], slot.ready ? *slot.answer : Answer(Unanswered(stopped))});
  }
  SelectAmongAnswers(poll);
  return poll;
}
