#pragma once
#include <winsock2.h>
#include <windows.h>

// Starts Windows Sockets 1.1 for the process, cleaned up at exit. FALSE
// when it cannot start, with the reason as the thread's last error.
BOOL AfxSocketInit(WSADATA* lpwsaData = nullptr);
