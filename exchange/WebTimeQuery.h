#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "exchange/ServerPoll.h"
#include "net/TimeLimit.h"

// Web time: the Date field of HTTPS servers, for a network where no time
// server answers. Each server is asked at once, on a thread of its own, for
// the headers of "https://NAME/" through WinHTTP (loaded at run time, see
// CWebLibrary) with the system's proxy settings, Windows' own certificate
// checks and no redirect followed; each answer is the interval its Date
// field and round trip give (WebTimeInterval), unauthenticated, and the
// answers are judged together as time servers' are (SelectAmongAnswers). A
// refused certificate is a failure of trust, never a time. The stop event
// ends the query at once; a server still unanswered when the budget ends
// gave no answer.
class CWebTimeQuery {
public:
  explicit CWebTimeQuery(HANDLE stopEvent);

  ServerPoll Run(const std::vector<std::wstring>& servers, size_t minAgree, const CTimeLimit& budget);

private:
  HANDLE m_stopEvent;
};
