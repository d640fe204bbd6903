#include <winsock2.h>

#include <gtest/gtest.h>

namespace {

// The program starts Windows Sockets 1.1 once per process; so do the tests.
class CWinsockEnvironment : public testing::Environment {
public:
  void SetUp() override {
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(1, 1), &data), 0);
  }
  void TearDown() override { WSACleanup(); }
};

testing::Environment* const kWinsock = testing::AddGlobalTestEnvironment(new CWinsockEnvironment);

}  // namespace
