#pragma once
#include <optional>
#include <utility>

// The success of an operation that gives no value.
struct Done {};

// What an operation gives: its value, or why it has none. A result made from
// a failure is a failure, whatever any system call did afterwards: nothing
// is left in a last error for a later call to reset.
template <class Value, class Failure>
class Result {
public:
  Result(Value value) : m_value(std::move(value)) {}
  Result(Failure failure) : m_failure(std::move(failure)) {}

  explicit operator bool() const { return m_value.has_value(); }

  // The value; only of a success.
  Value& operator*() { return *m_value; }
  const Value& operator*() const { return *m_value; }
  Value* operator->() { return &*m_value; }
  const Value* operator->() const { return &*m_value; }

  // Why it failed; only of a failure.
  const Failure& Error() const { return *m_failure; }

private:
  std::optional<Value> m_value;
  std::optional<Failure> m_failure;
};
