#pragma once
#include <array>
#include <cstdint>

#include "sntp/NtpTimestamp.h"
#include "sntp/SntpExchangeResult.h"

constexpr int kSntpPacketSize = 48;
// Room for a reply with a key id and digest; the bytes past the packet are ignored.
constexpr int kSntpReplyBufferSize = 68;

using SntpRequest = std::array<uint8_t, kSntpPacketSize>;
using SntpReplyBuffer = std::array<uint8_t, kSntpReplyBufferSize>;

enum class SntpReplyKind {
  NotAReply,  // too short, or not answering the request we sent
  Untrusted,  // answers it, but the server is unsynchronised or not a server
  Trusted,
};

// Client request, version 3, with this value in its transmit field.
SntpRequest BuildSntpRequest(const CNtpTimestamp& transmitField);

// Judges a received datagram of 1..68 bytes against the request's transmit
// field, which a reply echoes as its originate timestamp.
SntpReplyKind ClassifySntpReply(const SntpReplyBuffer& reply, int length, const CNtpTimestamp& transmitField);

// Fills result from a trusted reply. Its originate time (when the request
// was sent) and destination time are the client's own and must be set.
void ReadSntpReply(const SntpReplyBuffer& reply, SntpExchangeResult& result);
