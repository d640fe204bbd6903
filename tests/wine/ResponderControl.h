#pragma once
#include <winsock2.h>

#include <string>

// Client of the test responder's control port.
class CResponderControl {
public:
  CResponderControl();
  ~CResponderControl();
  CResponderControl(const CResponderControl&) = delete;
  CResponderControl& operator=(const CResponderControl&) = delete;

  // Sends one command; returns the answer, or "" when none came.
  std::string Command(const std::string& command);
  int RequestCount();

private:
  SOCKET m_hSocket;
};
