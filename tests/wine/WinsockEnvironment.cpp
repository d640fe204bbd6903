#include <gtest/gtest.h>

#include "framework/SocketInit.h"

namespace {

// The program starts Windows Sockets 1.1 once per process; so do the tests.
class CWinsockEnvironment : public testing::Environment {
public:
  void SetUp() override { ASSERT_TRUE(AfxSocketInit()); }
};

testing::Environment* const kWinsock = testing::AddGlobalTestEnvironment(new CWinsockEnvironment);

}  // namespace
