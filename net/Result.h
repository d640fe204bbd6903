#pragma once
#include <utility>
#include <variant>

// The success of an operation that gives no value.
struct Done {};

// What an operation gives: its value, or why it has none. A result made from
// a failure is a failure, whatever any system call did afterwards: nothing
// is left in a last error for a later call to reset.
template <class Value, class Failure>
class Result {
public:
  Result(Value value) : m_held(std::in_place_index<0>, std::move(value)) {}
  Result(Failure failure) : m_held(std::in_place_index<1>, std::move(failure)) {}

  explicit operator bool() const { return m_held.index() == 0; }

  // The value; only of a success.
  Value& operator*() { return std::get<0>(m_held); }
  const Value& operator*() const { return std::get<0>(m_held); }
  Value* operator->() { return &std::get<0>(m_held); }
  const Value* operator->() const { return &std::get<0>(m_held); }

  // Why it failed; only of a failure.
  const Failure& Error() const { return std::get<1>(m_held); }

private:
  std::variant<Value, Failure> m_held;
};
