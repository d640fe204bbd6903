#pragma once
#include <windows.h>

#include <string>

// A server's name as DNS, TLS's server name indication and certificates
// write it: the name itself when it is ASCII, else its IDNA form
// ("xn--..."). False when it has none.
bool DnsName(LPCWSTR name, std::string& ascii);

// An ASCII name as a wide string.
std::wstring WideName(const std::string& ascii);
