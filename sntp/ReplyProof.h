#pragma once

// What a reply proves beyond answering its request.
enum class ReplyProof {
  Authentic,     // it may be judged, and believed if it passes
  NotAuthentic,  // it is skipped like any other datagram that is no answer
  Refused,       // the server refused the request's credentials: noted, the wait goes on
  RefusedAtOnce, // the same, from credentials whose refusal the client believes: the exchange ends
};
