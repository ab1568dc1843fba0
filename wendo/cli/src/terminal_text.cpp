#include "terminal_text.h"

#include <cstdint>
#include <cstdio>

namespace wendo::cli {

namespace {

// Length of the valid UTF-8 sequence at text[at] (shortest form, no surrogates), 0 if none.
std::size_t Utf8Length(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0u) != 0x80u) {
            return 0;
        }
        code = (code << 6) | (byte(at + i) & 0x3Fu);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    if (overlong || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    return length;
}

} // namespace

std::string ForTerminal(std::string_view text)
{
    std::string shown;
    shown.reserve(text.size());
    char escape[8];
    for (std::size_t at = 0; at < text.size();) {
        const auto c = static_cast<unsigned char>(text[at]);
        if (c >= 0x20 && c < 0x7F) {
            if (c == '\\' || c == '"') {
                shown += '\\';
            }
            shown += static_cast<char>(c);
            ++at;
            continue;
        }
        if (c == '\n' || c == '\r' || c == '\t') {
            shown += c == '\n' ? "\\n" : c == '\r' ? "\\r" : "\\t";
            ++at;
            continue;
        }
        const std::size_t length = c >= 0x80 ? Utf8Length(text, at) : 0;
        if (length == 2 && c == 0xC2 && static_cast<unsigned char>(text[at + 1]) < 0xA0) {
            // A C1 control: some terminals take U+009B as the start of an escape sequence.
            std::snprintf(escape, sizeof escape, "\\u%04x",
                          static_cast<unsigned char>(text[at + 1]));
            shown += escape;
            at += 2;
            continue;
        }
        if (length > 0) {
            shown.append(text.substr(at, length));
            at += length;
            continue;
        }
        std::snprintf(escape, sizeof escape, "\\x%02x", c);
        shown += escape;
        ++at;
    }
    return shown;
}

std::string LastPart(const std::string& text, std::size_t width)
{
    if (text.size() <= width || width <= 3) {
        return text;
    }
    std::size_t from = text.size() - (width - 3);
    while (from < text.size() && (static_cast<unsigned char>(text[from]) & 0xC0u) == 0x80u) {
        ++from;
    }
    return "..." + text.substr(from);
}

} // namespace wendo::cli
