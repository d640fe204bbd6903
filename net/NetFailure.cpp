#include "net/NetFailure.h"

#include <winsock2.h>

NetFailure SystemCallFailure(unsigned long error) {
  switch (error) {
    case WSAECONNREFUSED:
      return {NetFailure::Kind::Refused, error};
    case WSAETIMEDOUT:
      return {NetFailure::Kind::TimedOut, error};
    default:
      return {NetFailure::Kind::System, error};
  }
}
