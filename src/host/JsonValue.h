#pragma once

// A small JSON document model and its writer, enough for the drawing dump.

#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace host {

class JsonValue {
public:
    using Array = std::vector<JsonValue>;
    using Object = std::vector<std::pair<std::string, JsonValue>>; // in insertion order

    JsonValue() = default; // null
    JsonValue(long long number) : value_(number) {}
    JsonValue(int number) : value_(static_cast<long long>(number)) {}
    JsonValue(std::string text) : value_(std::move(text)) {}
    JsonValue(const char* text) : value_(std::string(text)) {}
    JsonValue(Array array) : value_(std::move(array)) {}
    JsonValue(Object object) : value_(std::move(object)) {}

    // The JSON text, indented by two spaces per level, without a final line break.
    std::string Write() const;

private:
    void write(std::string& out, int depth) const;
    std::variant<std::monostate, long long, std::string, Array, Object> value_;
};

// A JSON string literal of UTF-8 text: quotes, backslashes and control
// characters escaped, other characters kept as they are, and bytes that are
// no valid UTF-8 replaced by U+FFFD so that the output stays valid.
std::string JsonString(const std::string& text);

} // namespace host
