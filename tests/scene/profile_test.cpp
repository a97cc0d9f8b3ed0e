#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/services.h"
#include "scene/profile.h"
#include "support/temp_dir.h"

namespace {

struct Query {
    std::string section, key;
    std::optional<std::string> expected;
};

struct Case {
    std::string text;
    std::vector<Query> queries;
};

const std::nullopt_t missing = std::nullopt;

// A literal with its NUL bytes.
template <std::size_t N>
std::string Bytes(const char (&literal)[N]) {
    return std::string(literal, N - 1);
}

// Texts that probe the rules where readers tend to differ, with the answers Windows' profile
// functions give. On Windows the file reader is the system's own, so both readers are held to them.
const std::vector<Case> kCorpus = {
    {"[View]\nFar=100\nnear = 5 \n",
     {{"View", "Far", "100"}, {"VIEW", "far", "100"}, {"view", "NEAR", "5"}, {" View ", " Far ", "100"},
      {"View", "Missing", missing}, {"Other", "Far", missing}}},
    // Only the first section of a name is searched; entries before any header have no section name.
    {"key=before\n[A]\nk=1\n[a]\nk=2\nj=3\n", {{"A", "k", "1"}, {"a", "j", missing}, {"", "key", "before"}}},
    {"[A]\nk=first\nk=second\n", {{"A", "k", "first"}}},
    {"[A]\nq=\"quoted value\"\nr='single'\ns=\"mismatch'\nt=\"\"\nu=\"\n",
     {{"A", "q", "quoted value"}, {"A", "r", "single"}, {"A", "s", "\"mismatch'"}, {"A", "t", ""}, {"A", "u", "\""}}},
    {"[A]\nempty=\nnovalue\n  spaced key  =  spaced value  \n",
     {{"A", "empty", ""}, {"A", "novalue", missing}, {"A", "spaced key", "spaced value"}}},
    // "[D" without its bracket is a key of [C].
    {"  [B]  \r\nx=1\r\n[ C ]\ny=2\n[D\nz=3\n",
     {{"B", "x", "1"}, {"C", "y", "2"}, {" C ", "y", "2"}, {"D", "z", missing}, {"C", "z", "3"}, {"B", "[D", missing}}},
    {"[A]\nk=a=b\n;c=comment\n[A]]\nm=4\n", {{"A", "k", "a=b"}, {"A", ";c", "comment"}, {"A]", "m", "4"}, {"A", "m", missing}}},
    {"[Colors]\nAmbientColor=255, 128\nTrailing=1,2,3,\n",
     {{"Colors", "AmbientColor", "255, 128"}, {"Colors", "Trailing", "1,2,3,"}}},
    // A UTF-8 byte-order mark does not hide the first section; lines may end in a lone CR.
    {"\xEF\xBB\xBF[View]\r\nFar=100\r\n", {{"View", "Far", "100"}}},
    {"[View]\rFar=100\r[Fish]\rShineOpacity=0.5\r", {{"View", "Far", "100"}, {"Fish", "ShineOpacity", "0.5"}}},
    // UTF-16 with its mark, little and big endian.
    {Bytes("\xFF\xFE[\0A\0]\0\r\0\n\0k\0=\0" "7\0"), {{"A", "k", "7"}}},
    {Bytes("\xFE\xFF\0[\0A\0]\0\n\0k\0=\0" "8"), {{"A", "k", "8"}}},
};

std::string Show(const std::optional<std::string>& v) { return v ? "\"" + *v + "\"" : "(missing)"; }

TEST(ProfileText, BothReadersGiveTheSystemsAnswers) {
    TempDir dir;
    int index = 0;
    for (const auto& c : kCorpus) {
        const std::string path = dir.Write("case" + std::to_string(index++) + ".ini", c.text);
        auto file = OpenProfileFile(path);
        ASSERT_NE(file, nullptr);
        TProfileText ours(c.text);
        for (const auto& q : c.queries) {
            EXPECT_EQ(Show(ours.Read(q.section, q.key)), Show(q.expected)) << "[" << q.section << "] " << q.key << " in case " << index - 1;
            EXPECT_EQ(Show(file->Read(q.section, q.key)), Show(q.expected)) << "file reader, [" << q.section << "] " << q.key << " in case " << index - 1;
        }
    }
    EXPECT_EQ(OpenProfileFile((dir.Path() / "absent.ini").string()), nullptr);
}

}  // namespace
