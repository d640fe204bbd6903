#pragma once
#include <string>

// The names a TLS client gives for its server, made once from the name the
// user wrote: the one the server's certificate is checked for, and the one
// sent in the server name indication. An address is never sent there
// (RFC 6066 section 3): it is checked, and no name is indicated.
struct TlsServerName {
  std::string checked;    // the DNS name, or the address
  std::string indicated;  // the DNS name; empty for an address
};

// From a server's name in ASCII (see DnsName): an IPv6 address loses its
// brackets, a DNS name one final dot. False for what is neither a DNS name
// nor an address: nothing left, an empty label, brackets around anything but
// an IPv6 address.
bool MakeTlsServerName(const std::string& ascii, TlsServerName& name);
