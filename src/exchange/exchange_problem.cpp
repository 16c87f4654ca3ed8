// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/exchange_problem.h"

namespace tesselink {

std::string DescribeProblem(const std::string& file, const ExchangeProblem& problem) {
    std::string text = file;
    if (problem.Line > 0) text += " line " + std::to_string(problem.Line);
    text += ": ";
    if (!problem.Element.empty()) text += problem.Element + ": ";
    return text + problem.Reason;
}

}  // namespace tesselink
