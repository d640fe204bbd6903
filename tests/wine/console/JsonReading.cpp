#include "tests/wine/console/JsonReading.h"

#include <cstdlib>
#include <cstring>

namespace {

JsonValue OfKind(JsonValue::Kind kind) {
  JsonValue value;
  value.kind = kind;
  return value;
}

class CJsonReader {
public:
  explicit CJsonReader(const std::string& text) : m_text(text) {}

  std::optional<JsonValue> Document() {
    std::optional<JsonValue> value = Value();
    SkipSpace();
    return value && m_at == m_text.size() ? value : std::nullopt;
  }

private:
  std::optional<JsonValue> Value() {
    SkipSpace();
    if (m_at >= m_text.size()) return std::nullopt;
    const char c = m_text[m_at];
    if (c == '{') return Object();
    if (c == '[') return Array();
    if (c == '"') return String();
    if (Word("true")) return Boolean(true);
    if (Word("false")) return Boolean(false);
    if (Word("null")) return JsonValue{};
    return Number();
  }

  std::optional<JsonValue> Object() {
    JsonValue object = OfKind(JsonValue::Kind::Object);
    ++m_at;
    if (Skip('}')) return object;
    do {
      SkipSpace();
      const std::optional<JsonValue> name = String();
      if (!name || !Skip(':')) return std::nullopt;
      std::optional<JsonValue> member = Value();
      if (!member || object.members.count(name->string)) return std::nullopt;
      object.members[name->string] = *member;
    } while (Skip(','));
    return Skip('}') ? std::optional<JsonValue>(object) : std::nullopt;
  }

  std::optional<JsonValue> Array() {
    JsonValue array = OfKind(JsonValue::Kind::Array);
    ++m_at;
    if (Skip(']')) return array;
    do {
      std::optional<JsonValue> item = Value();
      if (!item) return std::nullopt;
      array.items.push_back(*item);
    } while (Skip(','));
    return Skip(']') ? std::optional<JsonValue>(array) : std::nullopt;
  }

  std::optional<JsonValue> String() {
    if (m_at >= m_text.size() || m_text[m_at] != '"') return std::nullopt;
    JsonValue string = OfKind(JsonValue::Kind::String);
    for (++m_at; m_at < m_text.size(); ++m_at) {
      const char c = m_text[m_at];
      if (c == '"') {
        ++m_at;
        return string;
      }
      if (static_cast<unsigned char>(c) < 0x20) return std::nullopt;
      if (c != '\\') {
        string.string += c;
        continue;
      }
      if (++m_at >= m_text.size()) return std::nullopt;
      const char escaped = m_text[m_at];
      static const char kEscapes[] = "\"\\/bfnrt";
      static const char kEscaped[] = "\"\\/\b\f\n\r\t";
      const char* plain = escaped ? std::strchr(kEscapes, escaped) : nullptr;
      if (escaped == 'u') {
        if (!Escape(string.string)) return std::nullopt;
      } else if (plain) {
        string.string += kEscaped[plain - kEscapes];
      } else {
        return std::nullopt;
      }
    }
    return std::nullopt;
  }

  // \uXXXX, kept as it is written: the program escapes only control
  // characters so.
  bool Escape(std::string& out) {
    const std::string digits = m_text.substr(m_at + 1, 4);
    if (digits.size() != 4 || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return false;
    out += "\\u" + digits;
    m_at += 4;
    return true;
  }

  // -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
  std::optional<JsonValue> Number() {
    const size_t start = m_at;
    Take('-');
    if (Take('0') ? Digits() : !Digits()) return std::nullopt;
    if (Take('.') && !Digits()) return std::nullopt;
    if (Take('e') || Take('E')) {
      if (!Take('+')) Take('-');
      if (!Digits()) return std::nullopt;
    }
    JsonValue number = OfKind(JsonValue::Kind::Number);
    number.number = std::strtod(m_text.substr(start, m_at - start).c_str(), nullptr);
    return number;
  }

  bool Digits() {
    const size_t start = m_at;
    while (m_at < m_text.size() && m_text[m_at] >= '0' && m_text[m_at] <= '9') ++m_at;
    return m_at > start;
  }

  static JsonValue Boolean(bool value) {
    JsonValue boolean = OfKind(JsonValue::Kind::Boolean);
    boolean.boolean = value;
    return boolean;
  }

  bool Word(const char* word) {
    const size_t length = std::strlen(word);
    if (m_text.compare(m_at, length, word) != 0) return false;
    m_at += length;
    return true;
  }

  bool Take(char c) {
    if (m_at >= m_text.size() || m_text[m_at] != c) return false;
    ++m_at;
    return true;
  }

  bool Skip(char c) {
    SkipSpace();
    return Take(c);
  }

  void SkipSpace() {
    while (m_at < m_text.size() && m_text[m_at] && std::strchr(" \t\r\n", m_text[m_at])) ++m_at;
  }

  const std::string& m_text;
  size_t m_at = 0;
};

}  // namespace

const JsonValue& JsonValue::operator[](const std::string& name) const {
  static const JsonValue none;
  const auto member = members.find(name);
  return member == members.end() ? none : member->second;
}

std::optional<JsonValue> ReadJson(const std::string& text) {
  return CJsonReader(text).Document();
}
