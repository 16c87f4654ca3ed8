// SPDX-License-Identifier: GPL-3.0-or-later
// The window table as CSV: round trips, what spreadsheets do to it, and each failing line.
#include "exchange/window_csv.h"

#include <gtest/gtest.h>

#include "support/random_maps.h"

namespace tesselink {
namespace {

using testing::MapBytes;

TEST(WindowCsv, RandomMapsComeBackByteForByteWithTheirHead) {
    std::mt19937 random(21);
    for (int round = 0; round < 300; ++round) {
        const Map map = testing::RandomValidMap(random, 1, 2000, round % 7 ? 12 : 255);
        SCOPED_TRACE(round);
        const QByteArray csv = WriteWindowCsv(map);
        Map back;
        const ExchangeRead read = ReadWindowCsv(csv, map.Head, back);
        ASSERT_TRUE(read.Ok()) << DescribeProblem("w.csv", read.Problems[0]);
        EXPECT_EQ(MapBytes(back), MapBytes(map));
    }
}

TEST(WindowCsv, WrittenWithTheHeaderAndNumbersFromOne) {
    Map map;
    map.Windows = {MakeWindow(1, 2, 3, 4, 5, 6, 2), MakeWindow(7, 8, 9, 10, 11, 12, 5)};
    EXPECT_EQ(WriteWindowCsv(map).toStdString(),
              "No,MapMode,OriginalX,OriginalY,Width,Height,TargetX,TargetY\n"
              "1,2,1,2,3,4,5,6\n"
              "2,5,7,8,9,10,11,12\n");
}

TEST(WindowCsv, ColumnsInAnyOrderQuotedWithExtrasAndSpreadsheetLineEnds) {
    const QByteArray csv =
        "\xEF\xBB\xBF"
        "\r\n"
        "Note,targety,TargetX,Height,Width,OriginalY,OriginalX,MapMode\r\n"
        "\"left, top\",6,5,4,3,2,1,\"1\"\r\n"
        ",,,,,,,\r\n"
        "x, 12 ,11,10,9,8,7,3\r\n"
        "\r\n";
    Map head;
    head.Head.CoverOption = CoverFullScreen;
    Map map;
    const ExchangeRead read = ReadWindowCsv(csv, head.Head, map);
    ASSERT_TRUE(read.Ok()) << DescribeProblem("w.csv", read.Problems[0]);
    ASSERT_EQ(map.Windows.size(), 2u);
    EXPECT_EQ(map.Windows[0], MakeWindow(1, 2, 3, 4, 5, 6, 1));
    EXPECT_EQ(map.Windows[1], MakeWindow(7, 8, 9, 10, 11, 12, 3));
    EXPECT_EQ(map.Head.WindowCount, 2);
    EXPECT_EQ(map.Head.CoverOption, CoverFullScreen);
}

// Each case: the file, then every problem it must report, in order.
TEST(WindowCsv, EachFailingLineIsReportedWithItsNumberAndNothingIsTaken) {
    const std::string header = "No,MapMode,OriginalX,OriginalY,Width,Height,TargetX,TargetY\n";
    std::string many = header;
    for (int i = 1; i <= 256; ++i) many += std::to_string(i) + ",0,0,0,1,1,0,0\n";
    const struct {
        std::string Csv;
        std::vector<std::string> Expected;
    } cases[] = {
        {"   \n\n",
         {"w.csv: the file has no lines; it needs the header No,MapMode,OriginalX,OriginalY,Width,Height,"
          "TargetX,TargetY"}},
        {"1,0,0,0,10,10,0,0\n",
         {"w.csv line 1: the header line is missing: the first line must name the columns "
          "No,MapMode,OriginalX,OriginalY,Width,Height,TargetX,TargetY"}},
        {"\nMapMode,OriginalX,OriginalY,TargetX,TargetY\n1,0,0,0,0\n",
         {"w.csv line 2: the header lacks the columns Width, Height"}},
        {"MapMode,OriginalX,OriginalY,Width,Height,TargetX,TargetY,Width\n",
         {"w.csv line 1: the column Width is named twice"}},
        {header + "1,0,0,0,10,ten,0,0\n"
                  "2,0,0,0,10,-5,0,0\n"
                  "3,9,0,0,10,10,0,0\n"
                  "4,0,0,0,10,10,631,0\n"
                  "5,0,0,0,10,10,0,0\n"
                  "6,0,0,0,10\n"
                  "7,0,0,0,70000,10,0,0\n"
                  "8,0,0,0,,10,0,0\n"
                  "9,1,0,0,481,10,0,0\n",
         {"w.csv line 2: Height \"ten\" is not a whole number", "w.csv line 3: Height \"-5\" is negative",
          "w.csv line 4: MapMode \"9\" is not a map mode 0-5",
          "w.csv line 5: window 4: The paywindow's Target Width beyond Screen",
          "w.csv line 7: there is no Height cell: the line has 5 cells, Height is cell 6",
          "w.csv line 8: Width \"70000\" is above 65535", "w.csv line 9: Width is empty",
          "w.csv line 10: window 9: The paywindow's Target Heigh beyond Screen"}},
        {many, {"w.csv line 257: a map holds at most 255 windows; this is window 256"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Csv.substr(0, 120));
        Map head;
        Map map;
        map.Windows = {MakeWindow(1, 1, 1, 1, 1, 1, 1)};
        const Map before = map;
        const ExchangeRead read = ReadWindowCsv(QByteArray::fromStdString(c.Csv), head.Head, map);
        std::vector<std::string> got;
        for (const ExchangeProblem& p : read.Problems) got.push_back(DescribeProblem("w.csv", p));
        EXPECT_EQ(got, c.Expected);
        EXPECT_EQ(MapBytes(map), MapBytes(before));
    }
}

TEST(WindowCsv, AHeadAbove2000RefusesEveryWindow) {
    Map head;
    head.Head.OriginalWidth = 2001;
    Map map;
    const ExchangeRead read =
        ReadWindowCsv("MapMode,OriginalX,OriginalY,Width,Height,TargetX,TargetY\n0,0,0,1,1,0,0\n", head.Head, map);
    ASSERT_EQ(read.Problems.size(), 1u);
    EXPECT_EQ(DescribeProblem("w.csv", read.Problems[0]),
              "w.csv line 2: window 1: High and Width can't more than 2000");
}

TEST(WindowCsv, AQuotedLineEndIsPartOfItsCellAndLaterLinesKeepTheirNumbers) {
    const QByteArray csv =
        "Note,MapMode,OriginalX,OriginalY,Width,Height,TargetX,TargetY\n"
        "\"first\nsecond, \"\"third\"\"\",0,1,2,3,4,5,6\n"
        "plain,0,1,2,3,0,5,6\n";
    Map head;
    Map map;
    const ExchangeRead read = ReadWindowCsv(csv, head.Head, map);
    ASSERT_EQ(read.Problems.size(), 1u);
    // The line numbers are the file's: the note took two.
    EXPECT_EQ(DescribeProblem("w.csv", read.Problems[0]),
              "w.csv line 4: window 2: the window is 3 x 0; a window needs a width and a height of at least 1");
    ASSERT_TRUE(ReadWindowCsv(csv.left(csv.indexOf("plain")), head.Head, map).Ok());
    ASSERT_EQ(map.Windows.size(), 1u);
    EXPECT_EQ(map.Windows[0], MakeWindow(1, 2, 3, 4, 5, 6, 0));
}

TEST(WindowCsv, FilesThatAreNotUtf8LinesSayWhatTheyAre) {
    const std::string header = "MapMode,OriginalX,OriginalY,Width,Height,TargetX,TargetY";
    std::string utf16;
    for (char c : header + "\n0,0,0,1,1,0,0\n") utf16 += std::string{c, '\0'};
    const struct {
        std::string Csv;
        const char* Expected;
    } cases[] = {
        {header + "\r0,0,0,1,1,0,0\r",
         "w.csv: the lines end in CR alone, as in old Mac text files; save it with LF or CR LF line ends"},
        {"\xff\xfe" + utf16, "w.csv: the file is UTF-16 text; save it as UTF-8"},
        {utf16, "w.csv: the file is UTF-16 text; save it as UTF-8"},
        {header + "\n0,0,0,1,1,0,0\n\"open,0,0,1,1,0,0\n0,0,0,1,1,0,0\n",
         "w.csv line 3: the quote opened on this line is never closed"},
        {header + "\n0,0,0,1\x1b]0;owned\x07,1,0,0\n",
         "w.csv line 2: Width \"1\\x1b]0;owned\\x07\" is not a whole number"},
        {header + "\n0,0,0,1,1,0,-1\n", "w.csv line 2: TargetY \"-1\" is negative"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Csv);
        Map head;
        Map map;
        const ExchangeRead read = ReadWindowCsv(QByteArray::fromStdString(c.Csv), head.Head, map);
        ASSERT_EQ(read.Problems.size(), 1u);
        EXPECT_EQ(DescribeProblem("w.csv", read.Problems[0]), c.Expected);
    }
    // -0 is 0, as JSON takes it; a lone header ended by CR is no old Mac file.
    Map head;
    Map map;
    EXPECT_TRUE(ReadWindowCsv(QByteArray::fromStdString(header + "\r"), head.Head, map).Ok());
    ASSERT_TRUE(ReadWindowCsv(QByteArray::fromStdString(header + "\n-0,0,-00,1,1,0,0\n"), head.Head, map).Ok());
    EXPECT_EQ(map.Windows.at(0), MakeWindow(0, 0, 1, 1, 0, 0, 0));
}

}  // namespace
}  // namespace tesselink
