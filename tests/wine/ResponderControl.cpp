#include "tests/wine/ResponderControl.h"

#include "tests/wine/TimeServers.h"

namespace {

constexpr long kAnswerTimeoutSeconds = 2;
// The longest answer: a few requests' NTS fields in hex.
constexpr int kAnswerBufferSize = 16384;

}  // namespace

CResponderControl::CResponderControl() : m_hSocket(socket(AF_INET, SOCK_DGRAM, 0)) {
  sockaddr_in control{};
  control.sin_family = AF_INET;
  control.sin_port = htons(TimeServers::kResponderControlPort);
  control.sin_addr.s_addr = inet_addr(TimeServers::kResponderControlAddress);
  connect(m_hSocket, reinterpret_cast<const sockaddr*>(&control), sizeof control);
}

CResponderControl::~CResponderControl() {
  closesocket(m_hSocket);
}

std::string CResponderControl::Command(const std::string& command) {
  if (send(m_hSocket, command.data(), static_cast<int>(command.size()), 0) == SOCKET_ERROR)
    return "";
  fd_set readSet;
  FD_ZERO(&readSet);
  FD_SET(m_hSocket, &readSet);
  timeval limit{kAnswerTimeoutSeconds, 0};
  if (select(0, &readSet, nullptr, nullptr, &limit) != 1)
    return "";
  std::string answer(kAnswerBufferSize, '\0');
  const int length = recv(m_hSocket, &answer[0], kAnswerBufferSize, 0);
  answer.resize(length > 0 ? length : 0);
  return answer;
}

int CResponderControl::RequestCount() {
  const std::string answer = Command("count");
  return answer.empty() ? -1 : std::stoi(answer);
}
