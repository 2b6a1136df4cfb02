#include "host/JsonValue.h"

#include <cstdio>

namespace host {

namespace {

// The length of the valid UTF-8 sequence at text[i], 0 when it is not one.
std::size_t utf8Length(const std::string& text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
    if (length == 0 || i + length > text.size() || (length == 2 && lead < 0xC2) || (length == 4 && lead > 0xF4)) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
    }
    // Overlong three- and four-byte forms, surrogates, and code points past U+10FFFF.
    const unsigned char second = length > 1 ? byte(i + 1) : 0;
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) || (lead == 0xF0 && second < 0x90)
        || (lead == 0xF4 && second >= 0x90)) {
        return 0;
    }
    return length;
}

void appendEscaped(std::string& out, unsigned char c)
{
    switch (c) {
    case '"': out += "\\\""; return;
    case '\\': out += "\\\\"; return;
    case '\b': out += "\\b"; return;
    case '\f': out += "\\f"; return;
    case '\n': out += "\\n"; return;
    case '\r': out += "\\r"; return;
    case '\t': out += "\\t"; return;
    default: break;
    }
    if (c < 0x20) {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
        out += escape;
    } else {
        out += static_cast<char>(c);
    }
}

void newline(std::string& out, int depth)
{
    out += '\n';
    out.append(static_cast<std::size_t>(depth) * 2, ' ');
}

} // namespace

std::string JsonString(const std::string& text)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = utf8Length(text, i);
        if (length == 0) {
            out += "\\ufffd";
            ++i;
        } else if (length == 1) {
            appendEscaped(out, static_cast<unsigned char>(text[i++]));
        } else {
            out.append(text, i, length);
            i += length;
        }
    }
    return out + "\"";
}

std::string JsonValue::Write() const
{
    std::string out;
    write(out, 0);
    return out;
}

void JsonValue::write(std::string& out, int depth) const
{
    if (std::holds_alternative<std::monostate>(value_)) {
        out += "null";
    } else if (const auto* number = std::get_if<long long>(&value_)) {
        out += std::to_string(*number);
    } else if (const auto* text = std::get_if<std::string>(&value_)) {
        out += JsonString(*text);
    } else if (const auto* array = std::get_if<Array>(&value_)) {
        if (array->empty()) {
            out += "[]";
            return;
        }
        out += '[';
        for (std::size_t i = 0; i < array->size(); ++i) {
            out += i == 0 ? "" : ",";
            newline(out, depth + 1);
            (*array)[i].write(out, depth + 1);
        }
        newline(out, depth);
        out += ']';
    } else if (const auto* object = std::get_if<Object>(&value_)) {
        if (object->empty()) {
            out += "{}";
            return;
        }
        out += '{';
        for (std::size_t i = 0; i < object->size(); ++i) {
            out += i == 0 ? "" : ",";
            newline(out, depth + 1);
            out += JsonString((*object)[i].first) + ": ";
            (*object)[i].second.write(out, depth + 1);
        }
        newline(out, depth);
        out += '}';
    }
}

} // namespace host
