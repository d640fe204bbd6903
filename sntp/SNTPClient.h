#pragma once
#include <winsock2.h>

#include "framework/Object.h"
#include "sntp/SntpExchangeResult.h"

class CDatagramSocket;

// One SNTP client exchange with a named server.
class CSNTPClient : public CObject {
public:
  CSNTPClient();

  // Sends one request to host:port and waits for the reply. FALSE leaves the
  // cause in GetLastError: WSAETIMEDOUT when no reply came in time,
  // ERROR_INVALID_DATA when the reply must not be trusted.
  BOOL QueryServer(LPCWSTR host, SntpExchangeResult& result, UINT port);

private:
  BOOL AwaitReply(CDatagramSocket& socket, const CNtpTimestamp& transmitTime, SntpExchangeResult& result);

  DWORD m_nTimeout;  // milliseconds
};
