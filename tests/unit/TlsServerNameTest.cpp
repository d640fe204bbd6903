#include "nts/TlsServerName.h"

#include <gtest/gtest.h>

// Each name the user may write, as the certificate is checked for it and as
// the server name indication carries it (never an address).
TEST(TlsServerName, NamesAreNormalisedOnceAndAddressesNeverIndicated) {
  const struct {
    const char* written;
    bool valid;
    const char* checked;
    const char* indicated;
  } kRows[] = {
      {"nts.movrane.test", true, "nts.movrane.test", "nts.movrane.test"},
      {"nts.movrane.test.", true, "nts.movrane.test", "nts.movrane.test"},
      {"xn--bcher-kva.example", true, "xn--bcher-kva.example", "xn--bcher-kva.example"},
      {"ntp", true, "ntp", "ntp"},
      {"127.0.0.1", true, "127.0.0.1", ""},
      {"127.0.0.1.", true, "127.0.0.1", ""},
      {"127.1", true, "127.1", ""},
      {"0x7f000001", true, "0x7f000001", ""},
      {"1e100.net", true, "1e100.net", "1e100.net"},
      {"::1", true, "::1", ""},
      {"[::1]", true, "::1", ""},
      {"[2001:db8::1]", true, "2001:db8::1", ""},
      {"fe80::1%1", true, "fe80::1%1", ""},
      {"[nts.movrane.test]", false, "", ""},
      {"[127.0.0.1]", false, "", ""},
      {"nts.movrane.test..", false, "", ""},
      {".", false, "", ""},
      {"", false, "", ""},
      {"[]", false, "", ""},
      {".nts.movrane.test", false, "", ""},
      {"nts..movrane.test", false, "", ""},
  };
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.written);
    TlsServerName name;
    ASSERT_EQ(MakeTlsServerName(row.written, name), row.valid);
    if (!row.valid) continue;
    EXPECT_EQ(name.checked, row.checked);
    EXPECT_EQ(name.indicated, row.indicated);
  }
}
