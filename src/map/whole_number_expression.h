// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Arithmetic typed into a numeric field: "1920/4", "3*270+10".

#include <QString>

namespace tesselink {

struct WholeNumberResult {
    bool Ok = false;
    int Value = 0;  // 0..MaxWholeNumber when Ok
    QString Error;  // one line for the user when not Ok
    explicit operator bool() const { return Ok; }
};

// Largest value a field stores (the map file's 16-bit numbers).
constexpr int MaxWholeNumber = 65535;

// Works out `text`: whole numbers with + - * /, parentheses, a leading sign, blanks anywhere.
// Refused, with a message naming the cause: a syntax error (and where), a division by zero, a
// division that is not whole, a number or a step too large to compute, a negative result and
// a result above MaxWholeNumber. Steps in between may be negative ("10-20+15" is 5).
WholeNumberResult EvaluateWholeNumberExpression(const QString& text);

}  // namespace tesselink
