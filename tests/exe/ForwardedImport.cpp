// A program that imports RtlGenRandom as advapi32!SystemFunction036, a
// forwarder into cryptbase.dll: check-exe must refuse it.
#include <windows.h>
#include <ntsecapi.h>

int main() {
  unsigned char bytes[8];
  return RtlGenRandom(bytes, sizeof bytes) ? 0 : 1;
}
