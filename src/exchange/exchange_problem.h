// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What is wrong with a file read in an exchange format, and where.

#include <string>
#include <vector>

namespace tesselink {

struct ExchangeProblem {
    int Line = 0;         // 1-based line of the file, or 0 when the place is an element
    std::string Element;  // e.g. "windows[3] (window 4)"; empty when the line says where
    std::string Reason;
};

// The outcome of reading a file: accepted, or every problem found in file order. Formats that
// stop at the first problem report one.
struct ExchangeRead {
    std::vector<ExchangeProblem> Problems;
    bool Ok() const { return Problems.empty(); }
};

// "FILE line 4: reason", "FILE: windows[3] (window 4): reason" or "FILE: reason".
std::string DescribeProblem(const std::string& file, const ExchangeProblem& problem);

// Longest part of a value from a file that a message shows, in characters.
constexpr std::size_t MaxShownCharacters = 60;

// A value from a file as a message may show it, without quotes: control characters (C0, DEL,
// C1), backslashes and bytes that are not UTF-8 written as escapes (\n, \t, \x1b, \u009b), so
// that nothing read reaches a terminal as a command; cut after MaxShownCharacters with "...".
std::string EscapedValue(const std::string& raw);

// The same in double quotes (a quote inside as \"); a cut value is followed by its length:
// "abc..." (3000000 bytes).
std::string QuotedValue(const std::string& raw);

// What a file read as UTF-8 text really is, when it is something else: "the file is UTF-16
// text ...", "UTF-32", or a file with NUL bytes ("not a text file"); empty for other bytes.
std::string TextEncodingProblem(const char* data, std::size_t size);

}  // namespace tesselink
