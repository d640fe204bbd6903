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

// Client request, version 3, carrying transmitTime.
SntpRequest BuildSntpRequest(const CNtpTimestamp& transmitTime);

// Judges a received datagram of 1..68 bytes against the transmit time sent.
SntpReplyKind ClassifySntpReply(const SntpReplyBuffer& reply, int length, const CNtpTimestamp& transmitTime);

// Fills result from a trusted reply; result.m_DestinationTime must be set.
void ReadSntpReply(const SntpReplyBuffer& reply, SntpExchangeResult& result);
