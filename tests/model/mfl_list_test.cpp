#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "model/import_settings.h"
#include "model/mfl_list.h"
#include "support/fake_resources.h"

namespace {

const char* kCentropyge =
    "1 1.0\r\n0.0 centropyge00f.3dm\r\n0.2 centropyge01f.3dm\r\n0.4 centropyge02f.3dm\r\n"
    "0.6 centropyge03f.3dm\r\n0.8 centropyge04f.3dm\r\n1.0 centropyge05f.3dm\r\n";

TEST(ParseMFL, ReadsTheShippedListWithSixKeys) {
    const TMFLFrameList list = ParseMFL(kCentropyge);
    EXPECT_TRUE(list.Loop());
    ASSERT_EQ(list.Poses.size(), 6u);
    const long double times[] = {0.0L, 0.2L, 0.4L, 0.6L, 0.8L, 1.0L};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(list.Poses[i].Time, times[i]);
        EXPECT_EQ(list.Poses[i].FileName, "centropyge0" + std::to_string(i) + "f.3dm");
    }
    EXPECT_EQ(list.Span(), 1.0L);
}

TEST(ParseMFL, LoopFlagEmptyAndBlankLinesAndShortLists) {
    TMFLFrameList list = ParseMFL("0 1.0\n0.5 b.3dm\n\n   \n\t\n0.25  a.3dm  \n");
    EXPECT_FALSE(list.Loop());
    ASSERT_EQ(list.Poses.size(), 2u);
    EXPECT_EQ(list.Poses[1].FileName, "a.3dm");
    EXPECT_EQ(list.Span(), 0.25L);
    EXPECT_FALSE(ParseMFL("-3\r0 x.3dm").Loop());
    EXPECT_TRUE(ParseMFL("1 1.0\n").Poses.empty());  // only a header: nothing to build
    EXPECT_TRUE(ParseMFL("").Poses.empty());
    EXPECT_EQ(ParseMFL("").Span(), 0.0L);
}

TEST(ParseMFL, BadLinesRaiseErrorsNamingThem) {
    EXPECT_EQ(MessageOf([] { ParseMFL("1.0 1.0\n0.0 a.3dm"); }), "'1.0' is not a valid integer value");
    EXPECT_EQ(MessageOf([] { ParseMFL("1 1.0\n0,2 a.3dm"); }), "'0,2' is not a valid floating point value");
    EXPECT_EQ(MessageOf([] { ParseMFL("1 1.0\n0.0 a.3dm\n\n0.4b.3dm"); }),
              "LoadMFL error: line 4 has no file name: '0.4b.3dm'");
    EXPECT_EQ(MessageOf([] { ParseMFL("1\n\n0.0 a.3dm"); }), "LoadMFL error: line 2 has no file name: ''");
}

TEST(ReadMFL, ReadsFromResourcesOrFromTheModelDirectory) {
    FakeResources resources;
    resources.Put(rkRawData, "CENTROPYGE_MFL", kCentropyge);
    TScopedResourceFinder scoped(resources);
    LoadFromResources = true;
    ModelDirectory = "C:\\Program Files\\3D Tidewell\\";
    EXPECT_EQ(ReadMFL("centropyge.mfl").Poses.size(), 6u);
    EXPECT_EQ(MessageOf([] { ReadMFL("zebrasoma.mfl"); }), "Resource zebrasoma_mfl not found");

    LoadFromResources = false;
    ModelDirectory = testing::TempDir();
    std::ofstream(ModelDirectory + "mfl_list_test.mfl", std::ios::binary) << "1 1.0\n0.0 a.3dm\n";
    EXPECT_EQ(ReadMFL("mfl_list_test.mfl").Poses.size(), 1u);
    std::remove((ModelDirectory + "mfl_list_test.mfl").c_str());
    ModelDirectory.clear();
}

}  // namespace
