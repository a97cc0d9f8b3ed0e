#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <vector>

#include "model/bitmap.h"
#include "model/import_settings.h"
#include "model/model_import.h"
#include "model/t3dm_file.h"
#include "support/fake_resources.h"
#include "support/temp_dir.h"

namespace {

std::string Lines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

std::string ReadData(const char* name) {
    std::ifstream in(std::string(TIDEWELL_SOURCE_DIR) + "/tests/model/data/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::string kBubbleObject = Lines({
    "#Object 1", "Name Bubble", "#Transform 4", "(matrix3 [1,0,0] [0,0,1] [0,-1,0] [0,0,0])",
    "Position [0,0,0]", "Rotation 0 [0,0,1]", "Scale [1,1,1]", "#Vertices 4", "[100,100,0]", "[-100,100,0]",
    "[-100,-100,0]", "[100,-100,0]", "#VertexFaces 2", "[3,4,1]", "[2,3,1]", "#TextureCoords 4", "[1,1,0]", "[0,1,0]", "[0,0,0]", "[1,0,0]", "#TextureCoordFaces 2", "[3,4,1]", "[2,3,1]",
});

const std::string kBottomObject = Lines({
    "#Object 1", "Name Bottom", "#Transform 1", "(matrix3 [1,0,0] [0,1,0] [0,0,1] [0,5000,0])", "#Vertices 4",
    "[-15000,-5000,0]", "[15000,-5000,0]", "[15000,5000,0]", "[-15000,5000,0]", "#VertexFaces 2", "[1,2,3]",
    "[1,3,4]", "#FaceMatID 2", "1", "1",
});

// A model read from text; stands for the file or for its first object.
struct Parsed {
    std::unique_ptr<T3DMFile> file = std::make_unique<T3DMFile>();
    operator const T3DMFile&() const { return *file; }
    operator const T3DMObject&() const { return file->Objects(0); }
};

Parsed FileFromText(const std::string& text) {
    Parsed parsed;
    parsed.file->LoadFromText(text);
    return parsed;
}

void ExpectVector(const Vector& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-3f);
    EXPECT_NEAR(v.y, y, 1e-3f);
    EXPECT_NEAR(v.z, z, 1e-3f);
}

std::vector<Index> IndicesOf(const TGLPrimitive& p) {
    const auto view = p.Indices.View();
    return {view.begin(), view.end()};
}

// Import settings and the resource finder as the program starts, restored after each test.
class ModelImport : public ::testing::Test {
protected:
    ~ModelImport() override {
        LoadFromResources = false;
        ModelDirectory.clear();
        TextureDirectory.clear();
    }
    void UseResources() { LoadFromResources = true; }

    FakeResources resources_;
    TScopedResourceFinder scope_{resources_};
};

TEST_F(ModelImport, BubbleMergesCornersInFirstSeenOrderAndStaysASquareFacingZ) {
    T3DMFile file;
    file.LoadFromText(kBubbleObject);
    const std::unique_ptr<TGLPrimitive> p = PrimitiveFrom3DMObject(file.Objects(0));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->PrimitiveType(), ptTriangles);
    EXPECT_EQ(IndicesOf(*p), (std::vector<Index>{0, 1, 2, 3, 0, 2}));
    ASSERT_EQ(p->Vertices.Count(), 4);
    // Output vertices are 3DM vertices 3, 4, 1, 2; placement and the turn cancel out here.
    ExpectVector(p->Vertices.GetItem(0), -100, -100, 0);
    ExpectVector(p->Vertices.GetItem(1), 100, -100, 0);
    ExpectVector(p->Vertices.GetItem(2), 100, 100, 0);
    ExpectVector(p->Vertices.GetItem(3), -100, 100, 0);
    ASSERT_EQ(p->TexCoords.Count(), 4);
    EXPECT_EQ(p->TexCoords.GetItem(0).s, 0);  // texture coordinate 3, unchanged
    EXPECT_EQ(p->TexCoords.GetItem(2).s, 1);
    EXPECT_EQ(p->TexCoords.GetItem(2).t, 1);
    // No colours: one white colour for the whole primitive.
    ASSERT_EQ(p->Colors.Count(), 1);
    const Colour white = p->Colors.GetItem(0);
    EXPECT_EQ(white.r + white.g + white.b + white.a, 4.0f);
    ASSERT_EQ(p->Normals.Count(), 4);
    for (int i = 0; i < 4; ++i) ExpectVector(p->Normals.GetItem(i), 0, 0, 1);
}

TEST_F(ModelImport, BottomIsPlacedThenTurnedToLieFlatFacingUp) {
    T3DMFile file;
    file.LoadFromText(kBottomObject);
    const std::unique_ptr<TGLPrimitive> p = PrimitiveFrom3DMObject(file.Objects(0));
    ASSERT_EQ(p->Vertices.Count(), 4);
    ExpectVector(p->Vertices.GetItem(0), -15000, 0, 0);  // [-15000,-5000,0]
    ExpectVector(p->Vertices.GetItem(1), 15000, 0, 0);
    ExpectVector(p->Vertices.GetItem(2), 15000, 0, -10000);
    ExpectVector(p->Vertices.GetItem(3), -15000, 0, -10000);  // [-15000,5000,0]
    for (int i = 0; i < 4; ++i) ExpectVector(p->Normals.GetItem(i), 0, 1, 0);
}

TEST_F(ModelImport, SeamsSplitVerticesColoursDoNotAndNoTransformKeepsPositions) {
    const Parsed file = FileFromText(Lines({
        "#Object 0", "#Vertices 3", "[0,0,0]", "[10,0,0]", "[0,10,0]", "#VertexFaces 2", "[1,2,3]", "[1,3,2]",
        "#TextureCoords 2", "[0,0,0]", "[1,1,0]", "#TextureCoordFaces 2", "[1,1,1]", "[2,1,1]", "#Colors 2",
        "(color 255 0 0)", "(color 0 51 255)", "#ColorFaces 2", "[1,1,1]", "[2,2,2]",
    }));
    const std::unique_ptr<TGLPrimitive> p = PrimitiveFrom3DMObject(file);
    // Vertex 1 with texture coordinates 1 and 2 gives two vertices; vertices 3 and 2 of the
    // second face reuse the first face's (same texture coordinate, other colour).
    EXPECT_EQ(IndicesOf(*p), (std::vector<Index>{0, 1, 2, 3, 2, 1}));
    ASSERT_EQ(p->Vertices.Count(), 4);
    ExpectVector(p->Vertices.GetItem(3), 0, 0, 0);
    ExpectVector(p->Vertices.GetItem(1), 10, 0, 0);  // untransformed
    EXPECT_EQ(p->TexCoords.GetItem(3).s, 1);
    ASSERT_EQ(p->Colors.Count(), 4);
    EXPECT_EQ(p->Colors.GetItem(1).r, 1.0f);  // the first corner's colour
    EXPECT_NEAR(p->Colors.GetItem(3).g, 0.2f, 1e-6f);
    EXPECT_EQ(p->Colors.GetItem(3).a, 1.0f);
}

TEST_F(ModelImport, FaceMaterialIdsGroupFacesInIdOrder) {
    const std::string head = Lines({"#Object 0", "#Vertices 3", "[0,0,0]", "[1,0,0]", "[0,1,0]", "#VertexFaces 3",
                                    "[1,2,3]", "[1,3,2]", "[2,3,1]"});
    auto ids = [&](std::initializer_list<std::string> values) {
        return head + "#FaceMatID " + std::to_string(values.size()) + "\r\n" + Lines(values);
    };
    std::unique_ptr<TGLPrimitiveList> list;
    auto group = [&](const std::string& text) { PrimitiveListFrom3DMObject(FileFromText(text), list); };
    group(ids({"5", "2", "2"}));
    ASSERT_TRUE(list);
    ASSERT_EQ(list->Count(), 2);
    EXPECT_EQ(IndicesOf(*list->Get(0)), (std::vector<Index>{0, 1, 2, 2, 1, 0}));  // faces 1, 2 (id 2)
    EXPECT_EQ(IndicesOf(*list->Get(1)), (std::vector<Index>{0, 1, 2}));           // face 0 (id 5)
    ExpectVector(list->Get(1)->Vertices.GetItem(1), 1, 0, 0);

    group(ids({"1000", "0", "1000"}));
    EXPECT_EQ(list->Count(), 4);  // appended

    // Failures leave what was appended before; nothing leaks.
    EXPECT_EQ(MessageOf([&] { group(ids({"1", "1001", "1"})); }),
              "PrimitiveListFrom3DMObject error: FaceID>1000");
    EXPECT_EQ(MessageOf([&] { group(ids({"1", "-1", "1"})); }), "List index out of bounds (-1)");
    EXPECT_EQ(MessageOf([&] { group(ids({"1", "1", "1", "1"})); }), "List index out of bounds (3)");
    EXPECT_EQ(list->Count(), 4);
    // Corners outside their lists.
    EXPECT_EQ(MessageOf([&] {
                  group(Lines({"#Object 0", "#Vertices 1", "[0,0,0]", "#VertexFaces 1", "[1,2,1]", "#FaceMatID 1", "1"}));
              }),
              "List index out of bounds (2)");  // the file's own index
    EXPECT_EQ(MessageOf([&] {
                  PrimitiveFrom3DMObject(FileFromText(Lines({"#Object 0", "#Vertices 1", "[0,0,0]", "#VertexFaces 1",
                                                             "[1,1,1]", "#TextureCoords 1", "[0,0,0]",
                                                             "#TextureCoordFaces 1", "[1,2,1]"})));
              }),
              "List index out of bounds (2)");
    EXPECT_EQ(list->Count(), 4);

    // No "#FaceMatID": nothing converted.
    std::unique_ptr<TGLPrimitiveList> none;
    PrimitiveListFrom3DMObject(
        FileFromText(Lines({"#Object 0", "#Vertices 3", "[0,0,0]", "[1,0,0]", "[0,1,0]", "#VertexFaces 1", "[1,2,3]"})),
        none);
    ASSERT_TRUE(none);
    EXPECT_EQ(none->Count(), 0);
}

TEST_F(ModelImport, FilePrimitiveAppendsEveryObject) {
    EXPECT_FALSE(PrimitiveFrom3DMFile(FileFromText("#Header 1\r\nVersion 1\r\n")));
    const std::unique_ptr<TGLPrimitive> p = PrimitiveFrom3DMFile(FileFromText(kBubbleObject + kBottomObject));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Vertices.Count(), 8);
    EXPECT_EQ(IndicesOf(*p), (std::vector<Index>{0, 1, 2, 3, 0, 2, 4, 5, 6, 4, 6, 7}));
    ExpectVector(p->Vertices.GetItem(7), -15000, 0, -10000);
    ExpectVector(p->Normals.GetItem(7), 0, 1, 0);
    EXPECT_EQ(p->Normals.Count(), 8);
}

TEST_F(ModelImport, MaterialColoursSpecularMixAndFaces) {
    T3DMMaterialStandard m;
    m.Ambient = {51, 102, 0};
    m.Diffuse = {129, 129, 129};
    m.SelfIllumColor = {0, 0, 255};
    m.Specular = {229.5f, 229.5f, 229.5f};
    m.SpecularLevel = 5;
    m.Opacity = 100;
    m.Glossiness = 25;
    m.TwoSided = true;
    const std::unique_ptr<TGLMaterial> g = MaterialFrom3DMMaterial(m);
    EXPECT_NEAR(g->Specular().r, 0.5256f, 1e-4f);
    EXPECT_NEAR(g->Specular().b, 0.5256f, 1e-4f);
    EXPECT_EQ(g->Specular().a, 1.0f);
    EXPECT_NEAR(g->Ambient().r, 0.2f, 1e-6f);
    EXPECT_NEAR(g->Ambient().g, 0.4f, 1e-6f);
    EXPECT_NEAR(g->Diffuse().g, 129 / 255.0f, 1e-6f);
    EXPECT_EQ(g->Emission().b, 1.0f);
    EXPECT_NEAR(g->Shininess(), 3.2f, 1e-5f);
    EXPECT_TRUE(g->FrontFace());
    EXPECT_TRUE(g->BackFace());

    m.Opacity = 50;
    m.TwoSided = false;
    const std::unique_ptr<TGLMaterial> half = MaterialFrom3DMMaterial(m);
    EXPECT_EQ(half->Ambient().a, 0.5f);
    EXPECT_EQ(half->Diffuse().a, 0.5f);
    EXPECT_EQ(half->Emission().a, 0.5f);
    EXPECT_EQ(half->Specular().a, 0.5f);
    EXPECT_FALSE(half->BackFace());
}

TEST_F(ModelImport, TwoByTwoBitmapTextureFlipsRowsAndReordersChannels) {
    UseResources();
    resources_.Put(rkBitmap, "CHECK2X2_BMP", ReadData("check2x2.bmp").substr(14));
    const std::unique_ptr<TGLTexture> t = TextureFromFile("art\\Check2x2.BMP");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->Format(), tfRGB);
    ASSERT_EQ(t->Width(), 2);
    ASSERT_EQ(t->Height(), 2);
    const std::uint8_t* upper = t->ScanLine(1);
    EXPECT_EQ(std::vector<int>(upper, upper + 6), (std::vector<int>{0, 0, 255, 0, 255, 0}));  // blue, green
    const std::uint8_t* lower = t->ScanLine(0);
    EXPECT_EQ(std::vector<int>(lower, lower + 6), (std::vector<int>{255, 0, 0, 255, 255, 255}));  // red, white

    // Alpha from the same picture: the mean of red, green and blue.
    const std::unique_ptr<TGLTexture> rgba = TextureWithAlphaFromFiles("check2x2.bmp", "CHECK2x2.bmp");
    ASSERT_TRUE(rgba);
    EXPECT_EQ(rgba->Format(), tfRGBA);
    const std::uint8_t* row = rgba->ScanLine(1);
    EXPECT_EQ(std::vector<int>(row, row + 8), (std::vector<int>{0, 0, 255, 85, 0, 255, 0, 85}));
    EXPECT_EQ(rgba->ScanLine(0)[7], 255);
}

TEST_F(ModelImport, TextureKindsSizesAndRefusals) {
    TBitmap odd;
    odd.PixelFormat = pf24bit;
    odd.Width = 3;
    odd.Height = 2;
    odd.Pixels.assign(18, 7);
    EXPECT_EQ(MessageOf([&] { TextureFromBitmap(odd); }), "TGLTexture.SetSize error: a size is not power 2");

    TBitmap grey;
    grey.PixelFormat = pf8bit;
    grey.Width = 4;
    grey.Height = 1;
    grey.Pixels = {0, 1, 2, 3};
    grey.Palette[2] = {10, 20, 30};
    const std::unique_ptr<TGLTexture> t = TextureFromBitmap(grey);
    ASSERT_TRUE(t);
    EXPECT_EQ(std::vector<int>(t->ScanLine(0) + 6, t->ScanLine(0) + 9), (std::vector<int>{10, 20, 30}));

    EXPECT_FALSE(TextureFromBitmap(TBitmap{}));
    EXPECT_FALSE(TextureFromBitmaps(grey, TBitmap{}));
    TBitmap taller = grey;
    taller.Height = 2;
    taller.Pixels.resize(8);
    EXPECT_FALSE(TextureFromBitmaps(grey, taller));  // sizes differ
    const std::unique_ptr<TGLTexture> mixed = TextureFromBitmaps(grey, grey);
    ASSERT_TRUE(mixed);
    EXPECT_EQ(mixed->ScanLine(0)[11], 20);  // (10 + 20 + 30) div 3

    // Only ".bmp", ".jpg" and ".jepg" are pictures; nothing is looked up for the others.
    UseResources();
    EXPECT_FALSE(TextureFromFile("sand.jpeg"));
    EXPECT_FALSE(TextureFromFile("sand.png"));
    EXPECT_FALSE(TextureFromFile("sand.jpg\\x"));
    EXPECT_FALSE(TextureWithAlphaFromFiles("sand.png", "sand.png"));
    EXPECT_EQ(MessageOf([] { TextureFromFile("SAND.JPG"); }), "Resource SAND_JPG not found");
    EXPECT_EQ(MessageOf([] { TextureFromFile("sand.jepg"); }), "Resource sand_jepg not found");
}

// A standard material with a map, a multi material with one mapped and one unmapped
// sub-material, and two objects of two material groups.
const std::string kModel = Lines({
    "#Header 1", "Version 1", "#MaterialCount 2", "1", "2", "#MaterialStandard 3", "Name Plain", "Opacity 100",
    "DiffuseMap check2x2.bmp", "#MaterialMultiSubObject 2", "Name Multi", "NumSubs 2", "#MaterialStandard 2",
    "Name Body", "DiffuseMap check2x2.bmp", "#MaterialStandard 2", "Name Fins", "DiffuseMap undefined",
}) + kBubbleObject + Lines({"#FaceMatID 2", "1", "2"}) + kBottomObject;

TEST_F(ModelImport, ModelFillsTheThreeListsAndReplacesWhatTheyHeld) {
    UseResources();
    ModelDirectory = "C:\\art\\";
    resources_.Put(rkRawData, "model_3dm", kModel);
    resources_.Put(rkBitmap, "check2x2_bmp", ReadData("check2x2.bmp").substr(14));
    std::unique_ptr<TGLTextureList> textures;
    auto materials = std::make_unique<TGLMaterialList>();
    auto stale = std::make_unique<TGLMaterial>();
    materials->Add(stale.release());
    std::unique_ptr<TGLPrimitiveList> primitives;
    Load3DMModel("model.3dm", textures, materials, primitives);
    ASSERT_TRUE(textures && materials && primitives);
    EXPECT_EQ(materials->Count(), 3);  // Plain, Body, Fins
    EXPECT_EQ(materials->Get(0)->Diffuse().a, 1.0f);
    EXPECT_EQ(textures->Count(), 2);  // Fins has no map
    EXPECT_EQ(textures->Get(1)->Width(), 2);
    // The bubble's two material groups, then the bottom's one.
    ASSERT_EQ(primitives->Count(), 3);
    EXPECT_EQ(primitives->Get(0)->Vertices.Count(), 3);
    ExpectVector(primitives->Get(2)->Vertices.GetItem(3), -15000, 0, -10000);

    // A file without objects leaves the lists as they were.
    resources_.Put(rkRawData, "empty_3dm", "#Header 1\r\nVersion 1\r\n");
    TGLTextureList* before = textures.get();
    Load3DMModel("empty.3dm", textures, materials, primitives);
    EXPECT_EQ(textures.get(), before);
    EXPECT_EQ(materials->Count(), 3);
    std::unique_ptr<TGLTextureList> noTextures;
    std::unique_ptr<TGLMaterialList> noMaterials;
    std::unique_ptr<TGLPrimitiveList> noPrimitives;
    Load3DMModel("empty.3dm", noTextures, noMaterials, noPrimitives);
    EXPECT_FALSE(noTextures || noMaterials || noPrimitives);
    EXPECT_FALSE(Load3DMPrimitive("empty.3dm"));

    const std::unique_ptr<TGLPrimitive> whole = Load3DMPrimitive("model.3dm");
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->Vertices.Count(), 8);
}

TEST_F(ModelImport, ModelFailuresPropagateAndKeepWhatWasBuilt) {
    UseResources();
    resources_.Put(rkRawData, "png_3dm",
                   Lines({"#MaterialStandard 2", "Name Odd", "DiffuseMap sand.png"}) + kBottomObject);
    std::unique_ptr<TGLTextureList> textures;
    std::unique_ptr<TGLMaterialList> materials;
    std::unique_ptr<TGLPrimitiveList> primitives;
    EXPECT_EQ(MessageOf([&] { Load3DMModel("png.3dm", textures, materials, primitives); }),
              "TGLTextureList error: Add NIL Texture!");
    ASSERT_TRUE(materials && primitives && textures);
    EXPECT_EQ(materials->Count(), 1);
    EXPECT_EQ(primitives->Count(), 1);
    EXPECT_EQ(textures->Count(), 0);

    resources_.Put(rkRawData, "missing_3dm", Lines({"#MaterialStandard 1", "DiffuseMap gone.jpg"}) + kBottomObject);
    EXPECT_EQ(MessageOf([&] { Load3DMModel("missing.3dm", textures, materials, primitives); }),
              "Resource gone_jpg not found");
    EXPECT_EQ(MessageOf([&] { Load3DMModel("absent.3dm", textures, materials, primitives); }),
              "Resource absent_3dm not found");
    resources_.Put(rkRawData, "badid_3dm", kBottomObject + "#FaceMatID 1\r\n1001\r\n");
    EXPECT_EQ(MessageOf([&] { Load3DMPrimitiveList("badid.3dm", primitives); }),
              "PrimitiveListFrom3DMObject error: FaceID>1000");
    EXPECT_EQ(primitives->Count(), 0);  // emptied before the load
    resources_.Put(rkRawData, "badnumber_3dm", "#Object 0\r\n#Vertices 1\r\n[1,2,x]\r\n");
    EXPECT_NE(MessageOf([&] { Load3DMPrimitive("badnumber.3dm"); }).find("x"), std::string::npos);
}

TEST_F(ModelImport, FilesAreReadFromTheModelAndTextureDirectories) {
    TempDir dir;
    dir.Write("bubble.3dm", Lines({"#MaterialStandard 1", "DiffuseMap check2x2.bmp"}) + kBubbleObject +
                                Lines({"#FaceMatID 2", "1", "1"}));
    std::filesystem::create_directories(dir.Path() / "tex");
    dir.Write("tex/check2x2.bmp", ReadData("check2x2.bmp"));
    ModelDirectory = dir.Path().string() + "/";
    TextureDirectory = (dir.Path() / "tex").string() + "/";
    std::unique_ptr<TGLTextureList> textures;
    std::unique_ptr<TGLMaterialList> materials;
    std::unique_ptr<TGLPrimitiveList> primitives;
    Load3DMModel("bubble.3dm", textures, materials, primitives);
    ASSERT_EQ(textures->Count(), 1);
    EXPECT_EQ(textures->Get(0)->ScanLine(1)[2], 255);
    EXPECT_EQ(primitives->Count(), 1);
    std::unique_ptr<TGLPrimitiveList> list;
    Load3DMPrimitiveList("bubble.3dm", list);
    EXPECT_EQ(list->Count(), 1);
}

// Pose k moves every vertex k units along x in 3DM space; each pose has one material group.
std::string FishPose(int k, bool twoGroups = false, bool extraVertex = false) {
    const std::string x = std::to_string(10 * k);
    return Lines({"#MaterialStandard 1", "DiffuseMap undefined", "#Object 0", "#Transform 1",
                  "(matrix3 [1,0,0] [0,1,0] [0,0,1] [0,0,0])", extraVertex ? "#Vertices 4" : "#Vertices 3",
                  "[" + x + ",0,0]", "[" + x + ",0,30]", "[" + x + ",20,0]"}) +
           (extraVertex ? Lines({"[9,9,9]", "#VertexFaces 2", "[1,2,3]", "[1,2,4]", "#FaceMatID 2", "1", "1"})
                        : Lines({"#VertexFaces 1", "[1,2,3]", "#FaceMatID 1", twoGroups ? "2" : "1"})) +
           (twoGroups ? Lines({"#Object 0", "#Vertices 3", "[0,0,0]", "[1,0,0]", "[0,1,0]", "#VertexFaces 1",
                               "[1,2,3]", "#FaceMatID 1", "1"})
                      : "");
}

class LoadMFLTest : public ModelImport {
protected:
    void SetUp() override {
        UseResources();
        for (int k = 0; k < 6; ++k) resources_.Put(rkRawData, "fish0" + std::to_string(k) + "f_3dm", FishPose(k));
    }
    void Load(const std::string& list) {
        resources_.Put(rkRawData, "fish_mfl", list);
        LoadMFL("fish.mfl", textures, materials, animations, primitives);
    }
    TGLVertexAnimation& Animation(int i) { return dynamic_cast<TGLVertexAnimation&>(*animations->Get(i)); }
    const TGLVectorDArray& KeyVertices(int animation, int key) {
        return dynamic_cast<TGLVertexKey&>(*Animation(animation).GetKey(key)).Vertices;
    }

    std::unique_ptr<TGLTextureList> textures;
    std::unique_ptr<TGLMaterialList> materials;
    std::unique_ptr<TAnimationList> animations;
    std::unique_ptr<TGLPrimitiveList> primitives;
};

const std::string kShipped = "1 1.0\r\n0.0 fish00f.3dm\r\n0.2 fish01f.3dm\r\n0.4 fish02f.3dm\r\n0.6 fish03f.3dm\r\n"
                             "0.8 fish04f.3dm\r\n1.0 fish05f.3dm\r\n";

TEST_F(LoadMFLTest, ShippedListGivesOneLoopingAnimationWithSixKeysInEngineSpace) {
    Load(kShipped);
    ASSERT_EQ(primitives->Count(), 1);
    ASSERT_EQ(materials->Count(), 1);
    EXPECT_EQ(textures->Count(), 0);
    ASSERT_EQ(animations->Count(), 1);
    TGLVertexAnimation& a = Animation(0);
    EXPECT_EQ(a.Primitive, primitives->Get(0));
    EXPECT_TRUE(a.Loop);
    ASSERT_EQ(a.KeyCount(), 6);
    const long double times[] = {0.0L, 0.2L, 0.4L, 0.6L, 0.8L, 1.0L};
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(a.GetKey(k)->Time, times[k]);
        const TGLVectorDArray& v = KeyVertices(0, k);
        ASSERT_EQ(v.Count(), 3);
        ExpectVector(v.GetItem(1), 10.0f * k, 30, 0);  // [x,0,30] turned to (x, 30, 0)
        ExpectVector(v.GetItem(2), 10.0f * k, 0, -20);
    }
    // Halfway between the keys of poses 1 and 2.
    animations->Start(0);
    animations->SetTime(0.3L);
    ExpectVector(primitives->Get(0)->Vertices.GetItem(0), 15, 0, 0);
}

TEST_F(LoadMFLTest, HeaderZeroEmptyLinesRepeatedCallsAndShortLists) {
    Load(kShipped);
    Load("0 1.0\n0.0 fish00f.3dm\n\n   \n0.5 fish03f.3dm\n");
    ASSERT_EQ(animations->Count(), 1);  // only the new one
    EXPECT_FALSE(Animation(0).Loop);
    EXPECT_EQ(Animation(0).KeyCount(), 2);
    EXPECT_EQ(Animation(0).Primitive, primitives->Get(0));

    TGLPrimitiveList* list = primitives.get();
    Load("1 1.0\n");
    EXPECT_EQ(animations->Count(), 0);
    EXPECT_EQ(primitives.get(), list);  // untouched
    EXPECT_EQ(primitives->Count(), 1);

    resources_.Put(rkRawData, "two0f_3dm", FishPose(0, true));
    resources_.Put(rkRawData, "two1f_3dm", FishPose(1, true));
    Load("1 1.0\n0 two0f.3dm\n1 two1f.3dm\n");
    ASSERT_EQ(animations->Count(), 2);  // one per object and material group
    EXPECT_EQ(Animation(1).Primitive, primitives->Get(1));
    ExpectVector(KeyVertices(0, 1).GetItem(0), 10, 0, 0);
    ExpectVector(KeyVertices(1, 1).GetItem(1), 1, 0, 0);  // the untransformed object
}

TEST_F(LoadMFLTest, FailuresAreClearAndLeakNothing) {
    resources_.Put(rkRawData, "empty_3dm", "#Header 1\r\nVersion 1\r\n");
    resources_.Put(rkRawData, "two0f_3dm", FishPose(0, true));
    resources_.Put(rkRawData, "big_3dm", FishPose(1, false, true));
    resources_.Put(rkRawData, "fewer_3dm", "#Object 0\r\n#Vertices 1\r\n[0,0,0]\r\n");

    EXPECT_EQ(MessageOf([&] { Load("1 1.0\n0 empty.3dm\n0.5 fish01f.3dm\n"); }),
              "LoadMFL error: the first pose \"empty.3dm\" holds no object");
    EXPECT_FALSE(primitives);
    ASSERT_TRUE(animations);
    EXPECT_EQ(animations->Count(), 0);

    EXPECT_EQ(MessageOf([&] { Load("1 1.0\n0 fish00f.3dm\n0.5 two0f.3dm\n"); }),
              "LoadMFL error: pose \"two0f.3dm\" has 2 primitives, the first pose 1");
    EXPECT_EQ(MessageOf([&] { Load("1 1.0\n0 fewer.3dm\n0.5 fish01f.3dm\n"); }),
              "LoadMFL error: the first pose \"fewer.3dm\" yields no primitive");
    EXPECT_EQ(MessageOf([&] { Load("1 1.0\n0 fish00f.3dm\n0.5 big.3dm\n"); }),
              "LoadMFL error: pose \"big.3dm\" primitive 0 has 4 vertices, the first pose 3");
    EXPECT_EQ(Animation(0).KeyCount(), 1);  // no key of the wrong size
    EXPECT_EQ(MessageOf([&] { Load("1 1.0\n0 fish00f.3dm\n0.5 gone.3dm\n"); }), "Resource gone_3dm not found");
    EXPECT_NE(MessageOf([&] { Load("x 1.0\n0 fish00f.3dm\n"); }).find("'x'"), std::string::npos);
    EXPECT_NE(MessageOf([&] { Load("1 1.0\n0 fish00f.3dm\nlate fish01f.3dm\n"); }).find("late"), std::string::npos);
    EXPECT_EQ(MessageOf([&] { Load("1 1.0\n0 fish00f.3dm\n0.2fish01f.3dm\n"); }),
              "LoadMFL error: line 3 has no file name: '0.2fish01f.3dm'");
    EXPECT_EQ(MessageOf([&] { LoadMFL("nothing.mfl", textures, materials, animations, primitives); }),
              "Resource nothing_mfl not found");

    // A later pose without primitives is no pose of this species either.
    EXPECT_EQ(MessageOf([&] { Load("1 1.0\n0 fish00f.3dm\n0.5 fewer.3dm\n"); }),
              "LoadMFL error: pose \"fewer.3dm\" has 0 primitives, the first pose 1");
}

TEST_F(LoadMFLTest, ListAndPosesComeFromTheModelDirectoryWithoutResources) {
    LoadFromResources = false;
    TempDir dir;
    dir.Write("walk.mfl", "1 1.0\n0.0 fish00f.3dm\n1.0 fish01f.3dm\n");
    dir.Write("fish00f.3dm", FishPose(0));
    dir.Write("fish01f.3dm", FishPose(1));
    ModelDirectory = dir.Path().string() + "/";
    LoadMFL("walk.mfl", textures, materials, animations, primitives);
    ASSERT_EQ(animations->Count(), 1);
    EXPECT_EQ(Animation(0).KeyCount(), 2);
}

}  // namespace
