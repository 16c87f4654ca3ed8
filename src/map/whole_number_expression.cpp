// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/whole_number_expression.h"

#include <cstdint>

namespace tesselink {
namespace {

// Anything beyond this in a step is refused as too large; far above any field's limit, far
// below where 64-bit products overflow.
constexpr std::int64_t StepLimit = 1'000'000'000'000LL;

struct Failure {
    QString Text;
};

// Recursive descent over expr := term {(+|-) term}, term := factor {(*|/) factor},
// factor := [+|-] factor | number | "(" expr ")". Depth is bounded so that a wall of
// parentheses cannot exhaust the stack.
class Parser {
public:
    explicit Parser(const QString& text) : text_(text) {}

    std::int64_t Whole() {
        SkipBlanks();
        if (pos_ >= text_.size()) throw Failure{"there is no number"};
        const std::int64_t value = Expression();
        SkipBlanks();
        if (pos_ < text_.size()) throw Failure{Unexpected()};
        return value;
    }

private:
    static constexpr int MaxDepth = 200;

    std::int64_t Expression() {
        std::int64_t value = Term();
        for (;;) {
            const QChar op = Peek();
            if (op != '+' && op != '-') return value;
            ++pos_;
            const std::int64_t right = Term();
            value = Checked(op == '+' ? value + right : value - right);
        }
    }

    std::int64_t Term() {
        std::int64_t value = Factor();
        for (;;) {
            const QChar op = Peek();
            if (op != '*' && op != '/') return value;
            ++pos_;
            const std::int64_t right = Factor();
            if (op == '*') {
                // Both sides are within StepLimit; dividing first keeps the test itself in range.
                const std::int64_t a = value < 0 ? -value : value, b = right < 0 ? -right : right;
                if (b != 0 && a > StepLimit / b) throw Failure{"the calculation is too large"};
                value = Checked(value * right);
            } else {
                if (right == 0) throw Failure{"division by zero"};
                if (value % right != 0)
                    throw Failure{QStringLiteral("%1/%2 is not a whole number").arg(value).arg(right)};
                value /= right;
            }
        }
    }

    std::int64_t Factor() {
        if (++depth_ > MaxDepth) throw Failure{"the expression is nested too deeply"};
        const QChar c = Peek();
        std::int64_t value = 0;
        if (c == '+' || c == '-') {
            ++pos_;
            value = c == '-' ? -Factor() : Factor();
        } else if (c == '(') {
            ++pos_;
            value = Expression();
            if (Peek() != ')') {
                throw Failure{pos_ >= text_.size() ? QStringLiteral("a closing parenthesis is missing") : Unexpected()};
            }
            ++pos_;
        } else if (c.isDigit()) {
            value = Number();
        } else {
            throw Failure{pos_ >= text_.size() ? QStringLiteral("the expression ends too early") : Unexpected()};
        }
        --depth_;
        return value;
    }

    std::int64_t Number() {
        std::int64_t value = 0;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
            value = value * 10 + (text_[pos_].unicode() - '0');
            if (value > StepLimit) throw Failure{"a number is too large"};
            ++pos_;
        }
        return value;
    }

    std::int64_t Checked(std::int64_t value) const {
        if (value > StepLimit || value < -StepLimit) throw Failure{"the calculation is too large"};
        return value;
    }

    QChar Peek() {
        SkipBlanks();
        return pos_ < text_.size() ? text_[pos_] : QChar();
    }

    void SkipBlanks() {
        while (pos_ < text_.size() && text_[pos_].isSpace()) ++pos_;
    }

    QString Unexpected() const {
        return QStringLiteral("unexpected \"%1\" at character %2").arg(text_[pos_]).arg(pos_ + 1);
    }

    const QString& text_;
    int pos_ = 0;
    int depth_ = 0;
};

}  // namespace

WholeNumberResult EvaluateWholeNumberExpression(const QString& text) {
    WholeNumberResult result;
    std::int64_t value = 0;
    try {
        value = Parser(text).Whole();
    } catch (const Failure& failure) {
        result.Error = failure.Text;
        return result;
    }
    if (value < 0) {
        result.Error = QStringLiteral("the result %1 is negative").arg(value);
    } else if (value > MaxWholeNumber) {
        result.Error = QStringLiteral("the result %1 is above %2").arg(value).arg(MaxWholeNumber);
    } else {
        result.Ok = true;
        result.Value = static_cast<int>(value);
    }
    return result;
}

}  // namespace tesselink
