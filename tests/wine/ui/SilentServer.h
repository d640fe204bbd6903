#pragma once

// A loopback address where no time server listens: every exchange with
// it fails at once, so the server clock never gets a time.
constexpr char kSilentServerSettings[] = "[sntp]\r\nserver1=127.0.0.9\r\n";
