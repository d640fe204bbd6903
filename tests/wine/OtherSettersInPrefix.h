#pragma once
#include <windows.h>

// What other setters of the clock leave in the prefix while it lives:
// Windows Time on NT5DS, Hyper-V's time provider enabled with its service
// running (the tests' service stand-in), and Secure Time Seeding on (its
// value absent). All is removed again at the end, for the prefix is the
// whole suite's.
class COtherSettersInPrefix {
public:
  COtherSettersInPrefix();
  ~COtherSettersInPrefix();
  COtherSettersInPrefix(const COtherSettersInPrefix&) = delete;
  COtherSettersInPrefix& operator=(const COtherSettersInPrefix&) = delete;

private:
  SC_HANDLE m_manager;
};
