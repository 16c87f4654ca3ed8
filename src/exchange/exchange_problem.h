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

}  // namespace tesselink
