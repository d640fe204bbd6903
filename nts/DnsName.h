#pragma once
#include <windows.h>

#include <string>

#include "nts/TlsServerName.h"

// A server's name as DNS, TLS's server name indication and certificates
// write it: the name itself when it is ASCII, else its IDNA form
// ("xn--..."). False when it has none.
bool DnsName(LPCWSTR name, std::string& ascii);

// An ASCII name as a wide string.
std::wstring WideName(const std::string& ascii);

// The names a TLS client gives for the server the user named (see
// MakeTlsServerName). False when it has none.
bool TlsServerNameOf(LPCWSTR name, TlsServerName& tlsName);
