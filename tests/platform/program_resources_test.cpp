// The program's real resource lookup, on the files built into this test program: its own
// data (tests/model/data) and every file of the resources/ folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "model/resource_finder.h"
#include "model/t3dm_file.h"
#include "platform/services.h"
#include "support/fake_resources.h"

namespace {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Found(TResourceKind kind, const std::string& name) {
    TResourceBytes bytes;
    if (!ProgramResources().Find(kind, name, bytes)) return "(none)";
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

const std::filesystem::path kData = std::filesystem::path(TIDEWELL_SOURCE_DIR) / "tests" / "model" / "data";

TEST(ProgramResources, FindsEachKindByNameIgnoringCase) {
    const std::string model = ReadFile(kData / "testquad.3dm");
    ASSERT_FALSE(model.empty());
    EXPECT_EQ(Found(rkRawData, "TESTQUAD_3DM"), model);
    EXPECT_EQ(Found(rkRawData, "testQuad_3dm"), model);
    EXPECT_EQ(Found(rkRawData, "testwalk_mfl"), ReadFile(kData / "testwalk.mfl"));
    // A bitmap resource holds the file without its 14-byte file header.
    EXPECT_EQ(Found(rkBitmap, "check2x2_bmp"), ReadFile(kData / "check2x2.bmp").substr(14));
    EXPECT_EQ(Found(rkWave, "TestTone"), ReadFile(kData / "testtone.wav"));

    EXPECT_EQ(Found(rkBitmap, "TESTQUAD_3DM"), "(none)");  // another kind
    EXPECT_EQ(Found(rkRawData, "TESTQUAD"), "(none)");
    EXPECT_EQ(Found(rkRawData, ""), "(none)");
    EXPECT_EQ(Found(rkRawData, "#1"), "(none)");
    EXPECT_EQ(Found(rkRawData, std::string("TESTQUAD_3DM\0X", 14)), "(none)");
}

TEST(ProgramResources, ModelLoadsFromTheProgramByFileName) {
    T3DMFile file;
    file.SetFromResource(true);
    // Model import finds nothing until it is pointed at the program's resources.
    EXPECT_EQ(MessageOf([&] { file.Load("TestQuad.3dm"); }), "Resource TestQuad_3dm not found");
    TScopedResourceFinder scoped(ProgramResources());
    file.Load("C:\\Anywhere\\TestQuad.3dm");
    ASSERT_EQ(file.ObjectCount(), 1);
    EXPECT_EQ(file.Objects(0).Name, "TestQuad");
    EXPECT_EQ(file.Objects(0).VertexFaces.Count(), 2);
    EXPECT_EQ(MessageOf([&] { file.Load("absent.3dm"); }), "Resource absent_3dm not found");
}

// Whatever the art folder holds is built in under the name the program asks for.
TEST(ProgramResources, HoldEveryFileOfTheResourcesFolder) {
    const std::filesystem::path folder = std::filesystem::path(TIDEWELL_SOURCE_DIR) / "resources";
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) GTEST_SKIP() << "no resources folder yet";
    int checked = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        const std::string name = entry.path().filename().string();
        std::string extension = entry.path().extension().string();
        std::transform(extension.begin(), extension.end(), extension.begin(), [](char c) { return static_cast<char>(std::tolower(c)); });
        const std::string bytes = ReadFile(entry.path());
        if (extension == ".wav") {
            EXPECT_EQ(Found(rkWave, entry.path().stem().string()), bytes) << name;
        } else if (extension == ".bmp") {
            EXPECT_EQ(Found(rkBitmap, ResourceNameFromFileName(name)), bytes.substr(14)) << name;
        } else if (extension == ".3dm" || extension == ".mfl" || extension == ".jpg" || extension == ".jepg" ||
                   extension == ".jpeg") {
            EXPECT_EQ(Found(rkRawData, ResourceNameFromFileName(name)), bytes) << name;
        } else {
            continue;
        }
        ++checked;
    }
    RecordProperty("checked", checked);
}

}  // namespace
