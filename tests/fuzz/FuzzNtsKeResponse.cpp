// The NTS-KE response reader, fed the input in pieces of a size the first
// byte chooses, as TLS may deliver it.
#include <cstddef>
#include <cstdint>

#include "nts/NtsKeResponseReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t piece = data[0] % 64 + 1;
  CNtsKeResponseReader reader;
  for (size_t offset = 1; offset < size; offset += piece) {
    const size_t count = size - offset < piece ? size - offset : piece;
    reader.Feed(ByteRange(data + offset, count));
  }
  // Complete: keys to use and cookies; failed: a reason and no cookies.
  const NtsKeResponse& response = reader.Response();
  const bool failed = reader.GetState() == CNtsKeResponseReader::State::Failed;
  if (failed != (response.m_Failure != NtsKeFailure::None)) __builtin_trap();
  if (failed && !response.m_Cookies.empty()) __builtin_trap();
  if (reader.GetState() == CNtsKeResponseReader::State::Complete && response.m_Cookies.empty()) __builtin_trap();
  if (response.m_Cookies.size() > kNtsMaxCookies) __builtin_trap();
  return 0;
}
