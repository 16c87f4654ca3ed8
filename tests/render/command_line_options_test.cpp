// SPDX-License-Identifier: GPL-3.0-or-later
// The one command-line description: how each mode's arguments parse, what is refused, and that
// --help and the man page list the same options.
#include "render/command_line.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

#include <set>

#include "remap/cover.h"

namespace tesselink {
namespace {

TEST(CommandLineParse, BothValueFormsAndEveryModesFields) {
    CommandLine line = ParseCommandLine({"--render=m.map", "--picture", "p.png", "--output=o.png", "--cover", "same"});
    EXPECT_EQ(line.Mode, CommandMode::Render);
    EXPECT_TRUE(line.Error.isEmpty()) << line.Error.toStdString();
    EXPECT_EQ(line.MapPath, "m.map");
    EXPECT_EQ(line.Picture, "p.png");
    EXPECT_EQ(line.Output, "o.png");
    EXPECT_EQ(line.CoverMode, CoverMode::Same);

    line = ParseCommandLine({"--render", "m.map", "--video=in.mp4", "--output", "o.mp4", "--codec", "libx264",
                             "--crf=23", "--start", "1.5", "--duration", "10"});
    EXPECT_TRUE(line.Error.isEmpty()) << line.Error.toStdString();
    EXPECT_EQ(line.Video, "in.mp4");
    EXPECT_EQ(line.Codec, "libx264");
    EXPECT_EQ(line.Crf, 23);
    EXPECT_EQ(line.Start, 1.5);
    EXPECT_EQ(line.Duration, 10.0);
    EXPECT_FALSE(line.KeepGoing);
    EXPECT_TRUE(
        ParseCommandLine({"--render", "m.map", "--video", "in.mp4", "--output", "o.mp4", "--keep-going"}).KeepGoing);

    line = ParseCommandLine({"--lineup", "m.map", "--output", "l.png", "--side=original", "--cover=none"});
    EXPECT_EQ(line.Mode, CommandMode::Lineup);
    EXPECT_TRUE(line.Error.isEmpty()) << line.Error.toStdString();
    EXPECT_TRUE(line.OriginalSide);
    EXPECT_EQ(line.CoverMode, CoverMode::None);
    EXPECT_FALSE(ParseCommandLine({"--lineup", "m.map", "--output", "l.png"}).OriginalSide) << "target by default";

    line = ParseCommandLine({"--head", "h.json", "--convert", "w.csv", "w.map"});
    EXPECT_EQ(line.Mode, CommandMode::Convert);
    EXPECT_TRUE(line.Error.isEmpty()) << line.Error.toStdString();
    EXPECT_EQ(line.ConvertInput, "w.csv");
    EXPECT_EQ(line.ConvertOutput, "w.map");
    EXPECT_EQ(line.Head, "h.json");

    line = ParseCommandLine({"-odd.map", "--screenshot", "-shot.png"});
    EXPECT_EQ(line.Mode, CommandMode::Editor);
    EXPECT_TRUE(line.Error.isEmpty()) << line.Error.toStdString();
    EXPECT_EQ(line.MapPath, "-odd.map") << "a single-dash word names a file";
    EXPECT_EQ(line.Screenshot, "-shot.png") << "an option's value is taken whatever it looks like";
    EXPECT_EQ(ParseCommandLine({"--", "--odd.map"}).MapPath, "--odd.map");

    EXPECT_EQ(ParseCommandLine({"--render", "x", "--help"}).Mode, CommandMode::Help);
    EXPECT_EQ(ParseCommandLine({"-h"}).Mode, CommandMode::Help);
    EXPECT_EQ(ParseCommandLine({"--version"}).Mode, CommandMode::Version);
}

TEST(CommandLineParse, MistakesAreOneLineAndTellTheMode) {
    const struct {
        QStringList Arguments;
        CommandMode Mode;
        const char* Error;
    } cases[] = {
        {{"--zoom", "2"}, CommandMode::Editor, "unknown option --zoom"},
        {{"--render", "m", "--picture", "p", "--output", "o", "--extra", "d"},
         CommandMode::Render,
         "unknown option --extra"},
        {{"--render", "m", "--picture"}, CommandMode::Render, "--picture needs a value"},
        {{"--render", "m", "--picture="}, CommandMode::Render, "--picture needs a value"},
        {{"--screenshot"}, CommandMode::Editor, "--screenshot needs the path of a PNG file to write"},
        {{"a.map", "b.map"}, CommandMode::Editor, "only one map file can be opened"},
        {{"--render", "m"},
         CommandMode::Render,
         "usage: tesselink --render MAP --picture PICTURE --output OUT.png [--cover none|same|different]"},
        {{"--render", "m", "--lineup", "m", "--output", "o"},
         CommandMode::Render,
         "--render and --lineup cannot be given together: give one mode"},
        {{"--convert", "a.map", "b.json", "--lineup", "a.map"},
         CommandMode::Lineup,
         "--lineup and --convert cannot be given together: give one mode"},
        {{"--render", "m", "--picture", "p", "--output", "o", "--cover", "sideways"},
         CommandMode::Render,
         "--cover takes none, same or different, not sideways"},
        {{"--render", "m", "--picture", "p", "--picture", "q", "--output", "o"},
         CommandMode::Render,
         "--picture is given more than once"},
        {{"--render", "m", "--picture", "p", "--video", "v", "--output", "o"},
         CommandMode::Render,
         "--picture and --video cannot both be given"},
        {{"--render", "m", "--picture", "p", "--output", "o", "--crf", "20"},
         CommandMode::Render,
         "--crf goes with --video"},
        {{"--render", "m", "--video", "v", "--output", "o", "--crf", "64"},
         CommandMode::Render,
         "--crf takes a whole number from 0 to 51, not 64"},
        {{"--render", "m", "--video", "v", "--output", "o", "--start", "-1"},
         CommandMode::Render,
         "--start takes a number of seconds from 0 on, not -1"},
        {{"--render", "m", "--video", "v", "--output", "o", "--duration", "0"},
         CommandMode::Render,
         "--duration takes a number of seconds above 0, not 0"},
        {{"--render", "m", "--picture", "p", "--output", "o", "extra.map"},
         CommandMode::Render,
         "unexpected argument extra.map"},
        {{"--render", "m", "--picture", "p", "--output", "o", "--side", "original"},
         CommandMode::Render,
         "--side does not go with --render"},
        {{"--lineup", "m"},
         CommandMode::Lineup,
         "usage: tesselink --lineup MAP --output OUT.png [--side original|target] [--cover none|same|different]"},
        {{"--lineup", "m", "--output", "o", "--side", "left"},
         CommandMode::Lineup,
         "--side takes original or target, not left"},
        {{"--convert", "a.map"}, CommandMode::Convert, "usage: tesselink --convert IN OUT [--head FILE]"},
        {{"--convert", "a.map", "b.json", "c.csv"}, CommandMode::Convert, "unexpected argument c.csv"},
        {{"--convert", "a.map", "b.json", "--output", "c"},
         CommandMode::Convert,
         "--output does not go with --convert"},
        {{"m.map", "--head", "h.map"}, CommandMode::Editor, "--head does not go with the editor"},
        {{"--render", "m.map", "--picture", "p.png", "--output", "o.png", "--keep-going"},
         CommandMode::Render,
         "--keep-going goes with --video"},
        {{"--lineup", "m.map", "--output", "l.png", "--keep-going"},
         CommandMode::Lineup,
         "--keep-going does not go with --lineup"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Arguments.join(' ').toStdString());
        const CommandLine line = ParseCommandLine(c.Arguments);
        EXPECT_EQ(line.Mode, c.Mode);
        EXPECT_EQ(line.Error.toStdString(), c.Error);
    }
}

std::set<std::string> Matches(const QString& text, const char* pattern) {
    std::set<std::string> names;
    auto it = QRegularExpression(pattern, QRegularExpression::MultilineOption).globalMatch(text);
    // A man page writes the dash inside a name ("keep-going") as "\-".
    while (it.hasNext()) names.insert("--" + it.next().captured(1).replace("\\-", "-").toStdString());
    return names;
}

TEST(CommandLineHelp, HelpAndManPageListTheSameOptions) {
    const std::vector<std::string> declared = CommandLineOptionNames();
    const std::set<std::string> names(declared.begin(), declared.end());
    EXPECT_EQ(names.size(), declared.size());

    const QString help = QString::fromStdString(CommandLineHelp());
    const QString options = help.section("\nOptions:\n", 1);
    ASSERT_FALSE(options.isEmpty()) << help.toStdString();
    EXPECT_EQ(Matches(options, R"(^  (?:-h, )?--([a-z]+(?:-[a-z]+)*))"), names);
    // Each mode's usage is there too.
    for (const char* usage : {"tesselink [MAP] [--screenshot OUT.png]", "tesselink --render MAP --picture PICTURE",
                              "tesselink --render MAP --video IN", "tesselink --lineup MAP --output OUT.png",
                              "tesselink --convert IN OUT [--head FILE]"})
        EXPECT_TRUE(help.contains(usage)) << usage;

    QFile page(QString(TESSELINK_SOURCE) + "/res/tesselink.1");
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString man = QString::fromUtf8(page.readAll());
    // Every item of OPTIONS: the line after ".TP" names it, as "\-\-name".
    const QString items = man.section(".SH OPTIONS", 1).section("\n.SH ", 0, 0);
    EXPECT_EQ(Matches(items, R"(^\.TP\n\.B[IR]? (?:\\-h ", " )?\\-\\-([a-z]+(?:\\-[a-z]+)*))"), names);
    // And the synopsis names every option too.
    const QString synopsis = man.section(".SH SYNOPSIS", 1).section("\n.SH ", 0, 0);
    EXPECT_EQ(Matches(synopsis, R"(\\-\\-([a-z]+(?:\\-[a-z]+)*))"), names);
}

}  // namespace
}  // namespace tesselink
