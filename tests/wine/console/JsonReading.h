#pragma once
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A JSON value as a strict reader finds it: text that is not exactly one
// JSON value is none.
struct JsonValue {
  enum class Kind { Null, Boolean, Number, String, Object, Array };
  Kind kind = Kind::Null;
  bool boolean = false;
  double number = 0;
  std::string string;  // UTF-8
  std::map<std::string, JsonValue> members;
  std::vector<JsonValue> items;

  // The member of an object; a Null value when there is none.
  const JsonValue& operator[](const std::string& name) const;
  bool Has(const std::string& name) const { return members.count(name) != 0; }
};

std::optional<JsonValue> ReadJson(const std::string& text);
