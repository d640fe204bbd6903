#pragma once
#include <windows.h>

#include "app/ServerSettings.h"
#include "sntp/SNTPClient.h"
#include "sntp/SntpExchangeResult.h"

// The one exchange both programs run with the server of the settings:
// TRUE with result filled, or FALSE with the cause in GetLastError as
// CSNTPClient::QueryServer leaves it (and the refusal in the client).
BOOL QueryTimeServer(CSNTPClient& client, const ServerSettings& settings, SntpExchangeResult& result);
