// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/exchange_problem.h"

#include <cstdio>

namespace tesselink {
namespace {

// The length of the UTF-8 sequence at `at` and its code point; 0 when the bytes are not one.
std::size_t Utf8Sequence(const std::string& s, std::size_t at, unsigned& code) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned first = byte(at);
    std::size_t length = 0;
    if (first < 0x80) {
        code = first;
        return 1;
    }
    if ((first & 0xE0) == 0xC0) {
        length = 2;
        code = first & 0x1F;
    } else if ((first & 0xF0) == 0xE0) {
        length = 3;
        code = first & 0x0F;
    } else if ((first & 0xF8) == 0xF0) {
        length = 4;
        code = first & 0x07;
    } else {
        return 0;
    }
    if (at + length > s.size()) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    // Over-long forms, surrogates and values past Unicode are not text.
    static const unsigned least[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < least[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return 0;
    return length;
}

// Escapes `raw`, at most MaxShownCharacters characters; `cut` says whether some were left out.
std::string Escape(const std::string& raw, bool quoteMark, bool& cut) {
    std::string out;
    std::size_t shown = 0, at = 0;
    char hex[8];
    while (at < raw.size()) {
        if (shown == MaxShownCharacters) break;
        unsigned code = 0;
        const std::size_t length = Utf8Sequence(raw, at, code);
        ++shown;
        if (length == 0) {
            std::snprintf(hex, sizeof hex, "\\x%02x", static_cast<unsigned char>(raw[at]));
            out += hex;
            ++at;
            continue;
        }
        if (code == '\n')
            out += "\\n";
        else if (code == '\r')
            out += "\\r";
        else if (code == '\t')
            out += "\\t";
        else if (code == '\\')
            out += "\\\\";
        else if (quoteMark && code == '"')
            out += "\\\"";
        else if (code < 0x20 || code == 0x7F) {
            std::snprintf(hex, sizeof hex, "\\x%02x", code);
            out += hex;
        } else if (code >= 0x80 && code < 0xA0) {
            std::snprintf(hex, sizeof hex, "\\u%04x", code);
            out += hex;
        } else {
            out.append(raw, at, length);
        }
        at += length;
    }
    cut = at < raw.size();
    return out;
}

}  // namespace

std::string DescribeProblem(const std::string& file, const ExchangeProblem& problem) {
    std::string text = file;
    if (problem.Line > 0) text += " line " + std::to_string(problem.Line);
    text += ": ";
    if (!problem.Element.empty()) text += problem.Element + ": ";
    return text + problem.Reason;
}

std::string EscapedValue(const std::string& raw) {
    bool cut = false;
    std::string text = Escape(raw, false, cut);
    return cut ? text + "..." : text;
}

std::string QuotedValue(const std::string& raw) {
    bool cut = false;
    const std::string text = "\"" + Escape(raw, true, cut);
    return cut ? text + "...\" (" + std::to_string(raw.size()) + " bytes)" : text + "\"";
}

std::string TextEncodingProblem(const char* data, std::size_t size) {
    const auto at = [&](std::size_t i) { return i < size ? static_cast<unsigned char>(data[i]) : 0x100u; };
    const char* const save = "; save it as UTF-8";
    if (at(0) == 0xFF && at(1) == 0xFE && at(2) == 0 && at(3) == 0)
        return std::string("the file is UTF-32 text") + save;
    if (at(0) == 0 && at(1) == 0 && at(2) == 0xFE && at(3) == 0xFF)
        return std::string("the file is UTF-32 text") + save;
    if ((at(0) == 0xFF && at(1) == 0xFE) || (at(0) == 0xFE && at(1) == 0xFF))
        return std::string("the file is UTF-16 text") + save;
    // Without a byte-order mark, UTF-16 shows as a NUL beside every ASCII letter.
    if (size >= 2 && ((at(0) == 0) != (at(1) == 0))) return std::string("the file is UTF-16 text") + save;
    for (std::size_t i = 0; i < size; ++i)
        if (data[i] == '\0')
            return "the file holds NUL bytes at byte " + std::to_string(i + 1) + ": it is not a text file";
    return std::string();
}

}  // namespace tesselink
