#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "model/t3dm_file.h"
#include "support/fake_resources.h"

namespace {

std::string Lines(std::initializer_list<const char*> lines, const char* end = "\r\n") {
    std::string text;
    for (const char* line : lines) text += std::string(line) + end;
    return text;
}

std::string ReadSeed(const char* name) {
    std::ifstream in(std::string(TIDEWELL_SOURCE_DIR) + "/tests/fuzz/seeds/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const T3DMMaterialStandard& Standard(const T3DMMaterialList& list, int i) {
    auto* material = dynamic_cast<const T3DMMaterialStandard*>(list.Items(i));
    if (!material) throw std::runtime_error("not a standard material");
    return *material;
}

TEST(T3DMFile, ReadsEverySectionOfAFullModel) {
    T3DMFile file;
    file.LoadFromText(ReadSeed("full.3dm"));
    EXPECT_EQ(file.Version(), 1);
    ASSERT_EQ(file.ObjectCount(), 1);
    ASSERT_EQ(file.Materials().Count(), 2);

    const T3DMMaterialStandard& m = Standard(file.Materials(), 0);
    EXPECT_EQ(m.Name(), "Material #90");
    EXPECT_EQ(m.ShaderType, 1);  // "1 Blinn"
    EXPECT_FALSE(m.Faceted);
    EXPECT_TRUE(m.TwoSided);
    EXPECT_EQ(m.WireSize, 1);
    EXPECT_FLOAT_EQ(m.Opacity, 100);
    EXPECT_FLOAT_EQ(m.Ambient.red, 45.6662f);
    EXPECT_FLOAT_EQ(m.Ambient.blue, 16.6665f);
    EXPECT_FLOAT_EQ(m.Specular.green, 229.5f);
    EXPECT_FLOAT_EQ(m.SpecularLevel, 5);
    EXPECT_FLOAT_EQ(m.Glossiness, 25);
    EXPECT_EQ(m.DiffuseMap, "caust5.jpg");
    EXPECT_EQ(m.OpacityMap, "");
    EXPECT_EQ(m.BumpMap, "");  // "UNDEFINED" in capitals

    auto* multi = dynamic_cast<T3DMMaterialMultiSubObject*>(file.Materials().Items(1));
    ASSERT_NE(multi, nullptr);
    EXPECT_EQ(multi->Name(), "Multi");
    ASSERT_EQ(multi->SubMaterials().Count(), 2);
    EXPECT_EQ(Standard(multi->SubMaterials(), 0).Name(), "Sub A");
    EXPECT_FLOAT_EQ(Standard(multi->SubMaterials(), 0).Opacity, 50);
    EXPECT_EQ(Standard(multi->SubMaterials(), 1).Name(), "Sub B");

    const T3DMObject& o = file.Objects(0);
    EXPECT_EQ(o.Name, "Fish");
    EXPECT_TRUE(o.HasTransform);
    EXPECT_FLOAT_EQ(o.Transform[1].z, 1);
    EXPECT_FLOAT_EQ(o.Transform[2].y, -1);
    ASSERT_EQ(o.Vertices.Count(), 4);
    EXPECT_FLOAT_EQ(o.Vertices.Items(1).x, 273.97f);
    EXPECT_FLOAT_EQ(o.Vertices.Items(1).z, -38.0664f);
    EXPECT_FLOAT_EQ(o.Vertices.Items(2).y, 2.5e-7f);  // blanks after commas, exponent
    EXPECT_EQ(o.VertexFaces.Items(0).corner, (std::array<std::int32_t, 3>{3, 4, 1}));
    EXPECT_EQ(o.FaceMatIDs.Count(), 2);
    EXPECT_EQ(o.FaceMatIDs.Items(1), 2);
    EXPECT_EQ(o.Normals.Count(), 4);
    EXPECT_TRUE(o.HasTextureCoords);
    EXPECT_FLOAT_EQ(o.TextureCoords.Items(1).s, 0.9995f);
    EXPECT_FLOAT_EQ(o.TextureCoords.Items(1).t, 0.9995f);
    EXPECT_EQ(o.TextureCoordFaces.Count(), 2);
    EXPECT_TRUE(o.HasColors);
    EXPECT_FLOAT_EQ(o.Colors.Items(2).green, 255);
    EXPECT_EQ(o.ColorFaces.Items(1).corner[0], 2);
    EXPECT_EQ(MessageOf([&] { o.Vertices.Items(0); }), "List index out of bounds (0)");
    EXPECT_EQ(MessageOf([&] { o.VertexFaces.Items(2); }), "List index out of bounds (2)");

    file.Clear();
    EXPECT_EQ(file.ObjectCount(), 0);
    EXPECT_EQ(file.Materials().Count(), 0);
}

TEST(T3DMFile, EmptyTextAndTextEndingInsideASectionKeepWhatWasRead) {
    T3DMFile file;
    file.LoadFromText("");
    EXPECT_EQ(file.ObjectCount(), 0);
    EXPECT_EQ(file.Materials().Count(), 0);

    std::string text = "#Object 1\nName Cut\n#Vertices 237\n";
    for (int i = 0; i < 100; ++i) text += "[" + std::to_string(i) + ",0,0]\n";
    file.LoadFromText(text);
    ASSERT_EQ(file.ObjectCount(), 1);
    EXPECT_EQ(file.Objects(0).Vertices.Count(), 100);

    file.LoadFromText("#MaterialStandard 5\nName Half\nOpacity 40\n");
    ASSERT_EQ(file.Materials().Count(), 1);
    EXPECT_EQ(Standard(file.Materials(), 0).Name(), "Half");
    EXPECT_EQ(file.ObjectCount(), 0);  // a new load starts from nothing
}

TEST(T3DMFile, PropertySectionsStopAtTheirKeyAndSkipTheRest) {
    T3DMFile file;
    file.LoadFromText(Lines({"#Header 3", "Version 7", "Version 8", "junk", "#Object 3", "Id 5", "Name Two Words",
                             "Name Later", "#Vertices 1", "[1,2,3]"}));
    EXPECT_EQ(file.Version(), 7);
    ASSERT_EQ(file.ObjectCount(), 1);
    EXPECT_EQ(file.Objects(0).Name, "Two Words");
    EXPECT_EQ(file.Objects(0).Vertices.Count(), 1);
}

TEST(T3DMFile, TransformTakesTheMatrixLineAndIgnoresTheOthers) {
    T3DMFile file;
    file.LoadFromText(Lines({"#Object 1", "Name T", "#Transform 4", "Position [9,9,9]", "Rotation 90.0 [1,0,0]",
                             "Scale (matrix3 [5,5,5] [5,5,5] [5,5,5] [5,5,5])",
                             "(matrix3 [1,0,0] [0,0,1] [0,-1,0] [0,5000,0])"}));
    const auto& rows = file.Objects(0).Transform;
    EXPECT_TRUE(file.Objects(0).HasTransform);
    EXPECT_EQ(rows[0].x, 1);
    EXPECT_EQ(rows[1].z, 1);
    EXPECT_EQ(rows[2].y, -1);
    EXPECT_EQ(rows[3].y, 5000);
    EXPECT_EQ(rows[0].y + rows[1].x + rows[3].x, 0);

    // A line that ends early fills what it reaches; the rest keeps its value.
    file.LoadFromText(Lines({"#Object 0", "#Transform 1", "(matrix3 [1,2,3] [4,5"}));
    const auto& partial = file.Objects(0).Transform;
    EXPECT_EQ(partial[1].x, 4);
    EXPECT_EQ(partial[1].y, 0);
}

TEST(T3DMFile, GeometrySectionsAppendAndFlagTheirLists) {
    T3DMFile file;
    file.LoadFromText(Lines({"#Object 1", "Name A", "#Vertices 1", "[1,1,1]", "#TextureCoords 0", "#Colors 0",
                             "#Vertices 1", "[2,2,2]  ", "#Object 1", "Name B", "#Colors 1", "(color  1  2 3)"},
                            "\n"));
    ASSERT_EQ(file.ObjectCount(), 2);
    EXPECT_EQ(file.Objects(0).Vertices.Count(), 2);  // the section twice appends
    EXPECT_FALSE(file.Objects(0).HasTextureCoords);
    EXPECT_FALSE(file.Objects(0).HasColors);
    EXPECT_EQ(file.Objects(1).Colors.Items(1).green, 2);
    EXPECT_TRUE(file.Objects(1).HasColors);
    EXPECT_FALSE(file.Objects(1).HasTransform);
}

TEST(T3DMFile, UnknownSectionsSkipTheirCountOfLinesAndBlankLinesDoNotCount) {
    T3DMFile file;
    file.LoadFromText(Lines({"#MaterialCount 1", "Count 1", "#Object 1", "Name X", "#Material 2", "", "   \t",
                             "Ignored is a line", "[9,9,9]", "#FaceMatID 2", "3", "", "  ", "4"}, "\r"));
    ASSERT_EQ(file.ObjectCount(), 1);
    EXPECT_EQ(file.Objects(0).FaceMatIDs.Count(), 2);
    EXPECT_EQ(file.Objects(0).FaceMatIDs.Items(1), 4);
}

TEST(T3DMFile, AHeadLineInsideACountedSectionIsAnErrorNamingIt) {
    // Counts larger than their sections must not swallow the next section's head.
    T3DMFile file;
    EXPECT_EQ(MessageOf([&] { file.LoadFromText(Lines({"#Object 3", "Id 5", "#Vertices 1", "[1,2,3]"})); }),
              "T3DMFile error: line 3 '#Vertices 1' begins a section inside the 3 lines of #Object");
    EXPECT_EQ(MessageOf([&] { file.LoadFromText(Lines({"#Object 0", "#Unknown 2", "", "skip", "#Vertices 1", "[1,2,3]"})); }),
              "T3DMFile error: line 5 '#Vertices 1' begins a section inside the 2 lines of #Unknown");
    EXPECT_EQ(MessageOf([&] { file.LoadFromText(Lines({"#Header 2", "#Object 1", "Name O"})); }),
              "T3DMFile error: line 2 '#Object 1' begins a section inside the 2 lines of #Header");
    EXPECT_EQ(MessageOf([&] {
                  file.LoadFromText(Lines({"#Object 0", "#Transform 2", "Position [0,0,0]", "#Vertices 1", "[1,2,3]"}));
              }),
              "T3DMFile error: line 4 '#Vertices 1' begins a section inside the 2 lines of #Transform");
    EXPECT_EQ(MessageOf([&] { file.LoadFromText(Lines({"#MaterialStandard 4", "Name M", "#Object 1", "Name O"})); }),
              "T3DMFile error: line 3 '#Object 1' begins a section inside the 4 lines of #MaterialStandard");
    EXPECT_EQ(file.Materials().Count(), 1);  // what came before stays
}

TEST(T3DMFile, HeadWithoutABlankHasCountZero) {
    T3DMFile file;
    file.LoadFromText(Lines({"#Object", "Name Lost", "#Vertices", "[1,2,3]", "#MaterialMultiSubObject"}));
    ASSERT_EQ(file.ObjectCount(), 1);
    EXPECT_EQ(file.Objects(0).Name, "");  // the line after a head of count 0 is skipped
    EXPECT_EQ(file.Objects(0).Vertices.Count(), 0);
    ASSERT_EQ(file.Materials().Count(), 1);
    EXPECT_EQ(dynamic_cast<T3DMMaterialMultiSubObject*>(file.Materials().Items(0))->SubMaterials().Count(), 0);
}

TEST(T3DMFile, BooleansMapsAndShaderType) {
    T3DMFile file;
    file.LoadFromText(Lines({"#MaterialStandard 6", "Faceted True", "TwoSided tRUE", "DiffuseMap UnDeFiNeD",
                             "ReflectionMap sea floor.jpg", "ShaderType 2", "Unknown key", "#MaterialStandard 2",
                             "TwoSided false", "Faceted yes"}));
    ASSERT_EQ(file.Materials().Count(), 2);
    const auto& a = Standard(file.Materials(), 0);
    EXPECT_TRUE(a.Faceted);
    EXPECT_TRUE(a.TwoSided);
    EXPECT_EQ(a.DiffuseMap, "");
    EXPECT_EQ(a.ReflectionMap, "sea floor.jpg");
    EXPECT_EQ(a.ShaderType, 2);
    EXPECT_FALSE(Standard(file.Materials(), 1).TwoSided);
    EXPECT_FALSE(Standard(file.Materials(), 1).Faceted);
}

TEST(T3DMFile, ErrorsNameTheBadTextAndKeepWhatCameBefore) {
    T3DMFile file;
    EXPECT_EQ(MessageOf([&] { file.LoadFromText(Lines({"#Object 1", "Name A", "#Vertices 2", "[1,2,3]", "[1,2.2.2,3]"})); }),
              "'2.2.2' is not a valid floating point value");
    ASSERT_EQ(file.ObjectCount(), 1);
    EXPECT_EQ(file.Objects(0).Vertices.Count(), 1);

    // A count larger than the section: the next head is read as data.
    EXPECT_EQ(MessageOf([&] { file.LoadFromText(Lines({"#Object 0", "#FaceMatID 3", "1", "#Normals 1"})); }),
              "'#Normals 1' is not a valid integer value");
    EXPECT_EQ(MessageOf([&] { file.LoadFromText(Lines({"#Object 0", "#Vertices 1", "#Normals 1"})); }),
              "T3DMFile error: bad vector '#Normals 1'");
    EXPECT_EQ(MessageOf([&] { file.LoadFromText(Lines({"#Object 0", "#VertexFaces 1", "[1,2]"})); }),
              "T3DMFile error: bad index triple '[1,2]'");
    EXPECT_EQ(MessageOf([&] { file.LoadFromText(Lines({"#Object 0", "#VertexFaces 1", "[1,2,3,4]"})); }),
              "'3,4' is not a valid integer value");
    EXPECT_EQ(MessageOf([&] { file.LoadFromText(Lines({"#Object 0", "#Colors 1", "(color 1 2)"})); }),
              "T3DMFile error: bad colour '(color 1 2)'");
    EXPECT_EQ(MessageOf([&] { file.LoadFromText(Lines({"#Object 0", "#Colors 1", "(colour 1 2 3)"})); }),
              "T3DMFile error: bad colour '(colour 1 2 3)'");
    EXPECT_EQ(MessageOf([&] { file.LoadFromText(Lines({"#Header 1", "Version one"})); }),
              "'one' is not a valid integer value");
    EXPECT_EQ(MessageOf([&] { file.LoadFromText(Lines({"#Vertices x1"})); }), "'x1' is not a valid integer value");
    EXPECT_EQ(MessageOf([&] { file.LoadFromText(Lines({"#Object 0", "#Vertices -2"})); }),
              "T3DMFile error: negative count in '#Vertices -2'");
}

TEST(T3DMFile, GeometryBeforeTheFirstObjectIsRefused) {
    T3DMFile file;
    for (const char* head : {"#Vertices 1", "#Transform 0", "#Normals 1", "#TextureCoords 1", "#Colors 1",
                             "#VertexFaces 1", "#TextureCoordFaces 1", "#ColorFaces 1", "#FaceMatID 1"}) {
        const std::string name = std::string(head).substr(1, std::string(head).find(' ') - 1);
        EXPECT_EQ(MessageOf([&] { file.LoadFromText(Lines({"#Header 1", "Version 1", head, "[1,2,3]"})); }),
                  "T3DMFile error: #" + name + " comes before the first #Object");
    }
    file.LoadFromText(Lines({"#Material 1", "x", "#MaterialStandard 1", "Name M"}));  // no geometry: fine
    EXPECT_EQ(file.Materials().Count(), 1);
}

TEST(T3DMFile, MultiMaterialWantsStandardSubMaterials) {
    T3DMFile file;
    EXPECT_EQ(MessageOf([&] {
                  file.LoadFromText(Lines({"#MaterialMultiSubObject 2", "NumSubs 2", "Name M", "#MaterialStandard 1",
                                           "Name S", "#Object 1"}));
              }),
              "T3DMFile error: SubMaterial is not Standard");
    ASSERT_EQ(file.Materials().Count(), 1);
    EXPECT_EQ(file.Materials().Items(0)->Name(), "M");
}

TEST(T3DMFile, LoadsFromFilesAndFromResourcesByTheirName) {
    const std::string text = Lines({"#Header 1", "Version 3"});
    FakeResources resources;
    resources.Put(rkRawData, "DNOK00F_3DM", text);
    TScopedResourceFinder scoped(resources);

    T3DMFile file;
    file.SetFromResource(true);
    file.Load("C:\\art\\dnoK00f.3dm");
    EXPECT_EQ(file.Version(), 3);
    EXPECT_EQ(MessageOf([&] { file.Load("missing.3dm"); }), "Resource missing_3dm not found");
    EXPECT_EQ(file.Version(), 0);

    const std::string path = testing::TempDir() + "t3dm_file_test.3dm";
    std::ofstream(path, std::ios::binary) << text;
    file.SetFromResource(false);
    file.Load(path);
    EXPECT_EQ(file.Version(), 3);
    std::remove(path.c_str());
    EXPECT_EQ(MessageOf([&] { file.Load(path); }), "Cannot open file \"" + path + "\"");
    EXPECT_EQ(MessageOf([&] { file.Load(testing::TempDir()); }), "Cannot open file \"" + testing::TempDir() + "\"");
}

TEST(ResourceNameFromFileName, DropsTheDirectoryAndTurnsTheFirstDot) {
    EXPECT_EQ(ResourceNameFromFileName("dnoK00f.3dm"), "dnoK00f_3dm");
    EXPECT_EQ(ResourceNameFromFileName("C:\\Program Files\\3D\\centropyge.mfl"), "centropyge_mfl");
    EXPECT_EQ(ResourceNameFromFileName("C:sand.jpg"), "sand_jpg");
    EXPECT_EQ(ResourceNameFromFileName("/usr/share/3dtidewell/a.b.jpg"), "a_b.jpg");
    EXPECT_EQ(ResourceNameFromFileName("noext"), "noext");
    EXPECT_EQ(ResourceNameFromFileName("dir.x\\file"), "file");
}

}  // namespace
