#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "scene/profile.h"
#include "support/temp_dir.h"

namespace {

using Query = std::pair<std::string, std::string>;

struct Case {
    const char* text;
    std::vector<Query> queries;
};

// Texts that probe the rules where readers tend to differ. On Windows the file is read by the
// system's profile functions, so this proves our reader agrees with them.
const std::vector<Case> kCorpus = {
    {"[View]\nFar=100\nnear = 5 \n", {{"View", "Far"}, {"view", "NEAR"}, {"View", "Missing"}, {"Other", "Far"}}},
    {"key=before\n[A]\nk=1\n[a]\nk=2\nj=3\n", {{"A", "k"}, {"a", "j"}, {"", "key"}}},
    {"[A]\nk=first\nk=second\n", {{"A", "k"}}},
    {"[A]\nq=\"quoted value\"\nr='single'\ns=\"mismatch'\nt=\"\"\nu=\"\n", {{"A", "q"}, {"A", "r"}, {"A", "s"}, {"A", "t"}, {"A", "u"}}},
    {"[A]\nempty=\nnovalue\n  spaced key  =  spaced value  \n", {{"A", "empty"}, {"A", "novalue"}, {"A", "spaced key"}}},
    {"  [B]  \r\nx=1\r\n[ C ]\ny=2\n[D\nz=3\n", {{"B", "x"}, {"C", "y"}, {" C ", "y"}, {"D", "z"}, {"C", "z"}, {"B", "[D"}}},
    {"[A]\nk=a=b\n;c=comment\n[A]]\nm=4\n", {{"A", "k"}, {"A", ";c"}, {"A]", "m"}, {"A", "m"}}},
    {"[Colors]\nAmbientColor=255, 128\nTrailing=1,2,3,\n", {{"Colors", "AmbientColor"}, {"Colors", "Trailing"}}},
};

std::string Show(const std::optional<std::string>& v) { return v ? "\"" + *v + "\"" : "(missing)"; }

TEST(ProfileText, FileReaderAgreesWithOurReaderOnEveryCase) {
    TempDir dir;
    int index = 0;
    for (const auto& c : kCorpus) {
        const std::string path = dir.Write("case" + std::to_string(index++) + ".ini", c.text);
        auto file = OpenProfileFile(path);
        ASSERT_NE(file, nullptr);
        TProfileText ours(c.text);
        for (const auto& [section, key] : c.queries)
            EXPECT_EQ(Show(file->Read(section, key)), Show(ours.Read(section, key)))
                << "[" << section << "] " << key << " in:\n"
                << c.text;
    }
    EXPECT_EQ(OpenProfileFile((dir.Path() / "absent.ini").string()), nullptr);
}

TEST(ProfileText, MatchesWithoutCaseTakesTheFirstMatchAndTrims) {
    TProfileText p(kCorpus[0].text);
    EXPECT_EQ(p.Read("VIEW", "far"), "100");
    EXPECT_EQ(p.Read("View", "near"), "5");
    EXPECT_EQ(p.Read(" View ", " Far "), "100");
    EXPECT_EQ(p.Read("View", "Missing"), std::nullopt);

    TProfileText dup(kCorpus[1].text);
    EXPECT_EQ(dup.Read("a", "k"), "1");
    EXPECT_EQ(dup.Read("A", "j"), std::nullopt);  // only the first section of a name counts
    TProfileText twice(kCorpus[2].text);
    EXPECT_EQ(twice.Read("A", "k"), "first");
}

TEST(ProfileText, QuotesEmptyValuesAndOddLines) {
    TProfileText q(kCorpus[3].text);
    EXPECT_EQ(q.Read("A", "q"), "quoted value");
    EXPECT_EQ(q.Read("A", "r"), "single");
    EXPECT_EQ(q.Read("A", "s"), "\"mismatch'");
    EXPECT_EQ(q.Read("A", "t"), "");
    EXPECT_EQ(q.Read("A", "u"), "\"");

    TProfileText e(kCorpus[4].text);
    EXPECT_EQ(e.Read("A", "empty"), "");
    EXPECT_EQ(e.Read("A", "novalue"), std::nullopt);
    EXPECT_EQ(e.Read("A", "spaced key"), "spaced value");

    TProfileText s(kCorpus[5].text);
    EXPECT_EQ(s.Read("C", "y"), "2");  // blanks inside the brackets do not count
    EXPECT_EQ(s.Read("B", "[D"), std::nullopt);
    EXPECT_EQ(s.Read("D", "z"), std::nullopt);  // "[D" without a bracket is a key of [C]
    EXPECT_EQ(s.Read("C", "z"), "3");
    TProfileText headless(kCorpus[1].text);
    EXPECT_EQ(headless.Read("", "key"), "before");

    TProfileText o(kCorpus[6].text);
    EXPECT_EQ(o.Read("A", "k"), "a=b");
    EXPECT_EQ(o.Read("A]", "m"), "4");
}

}  // namespace
