// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/whole_number_expression.h"

#include <gtest/gtest.h>

namespace tesselink {
namespace {

TEST(WholeNumberExpression, WorksOutOrRefusesWithTheCause) {
    const struct {
        const char* Text;
        int Value;          // when Error is null
        const char* Error;  // the expected message, or null
    } cases[] = {
        {"1920/4", 480, nullptr},
        {"3*270+10", 820, nullptr},
        {"10+3*270", 820, nullptr},  // * before +
        {"(10+3)*2", 26, nullptr},   // parentheses first
        {"100-20-30", 50, nullptr},  // left to right, not 100-(20-30)
        {"240/4/2", 30, nullptr},    // likewise for /
        {"8/4*3", 6, nullptr},       // not 8/(4*3), which is not whole
        {" 7 * ( 2 + 3 ) ", 35, nullptr},
        {"10-20+15", 5, nullptr},  // a negative step is fine
        {"-5+5", 0, nullptr},
        {"-(2-9)", 7, nullptr},
        {"65535", 65535, nullptr},
        {"0065535", 65535, nullptr},
        {"65536-1", 65535, nullptr},
        {"((((1))))", 1, nullptr},
        {"7/2", 0, "7/2 is not a whole number"},
        {"1920/(2*3+1)", 0, "1920/7 is not a whole number"},
        {"5/0", 0, "division by zero"},
        {"5/(3-3)", 0, "division by zero"},
        {"3-5", 0, "the result -2 is negative"},
        {"65536", 0, "the result 65536 is above 65535"},
        {"300*300", 0, "the result 90000 is above 65535"},
        {"99999999999999999999", 0, "a number is too large"},
        {"1000000*1000000*1000000/1000000", 0, "the calculation is too large"},
        {"1000000000000*1000000000000", 0, "the calculation is too large"},  // beyond 64 bits
        {"-1000000000000*1000000000000", 0, "the calculation is too large"},
        {"1000000000000-1000000000000", 0, nullptr},
        {"", 0, "there is no number"},
        {"   ", 0, "there is no number"},
        {"1+", 0, "the expression ends too early"},
        {"(1+2", 0, "a closing parenthesis is missing"},
        {"1+2)", 0, "unexpected \")\" at character 4"},
        {"12a", 0, "unexpected \"a\" at character 3"},
        {"2**3", 0, "unexpected \"*\" at character 3"},
        {"1.5*2", 0, "unexpected \".\" at character 2"},
        {"(2 3)", 0, "unexpected \"3\" at character 4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        const WholeNumberResult r = EvaluateWholeNumberExpression(QString::fromUtf8(c.Text));
        if (c.Error) {
            EXPECT_FALSE(r.Ok);
            EXPECT_EQ(r.Error.toStdString(), c.Error);
        } else {
            EXPECT_TRUE(r.Ok) << r.Error.toStdString();
            EXPECT_EQ(r.Value, c.Value);
        }
    }
}

TEST(WholeNumberExpression, DeepNestingIsRefusedNotACrash) {
    const QString deep = QString(100000, '(') + "1" + QString(100000, ')');
    EXPECT_EQ(EvaluateWholeNumberExpression(deep).Error.toStdString(), "the expression is nested too deeply");
    const QString signs = QString(100000, '-') + "1";
    EXPECT_FALSE(EvaluateWholeNumberExpression(signs).Ok);
}

}  // namespace
}  // namespace tesselink
