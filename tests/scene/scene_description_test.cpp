#include <gtest/gtest.h>

#include <memory>

#include "app/exception.h"
#include "platform/services.h"
#include "scene/scene_description.h"
#include "support/temp_dir.h"

namespace {

class FakePriority final : public IProcessPriority {
public:
    std::string calls;
    void SetNormal() override { calls += "N"; }
    void SetHigh() override { calls += "H"; }
};

struct Scene {
    TSceneSettings settings;
    FakePriority priority;
    bool log = false;
    Scene() { SetSceneDefaults(settings, priority); }
    void Read(const std::string& ini) {
        TProfileText profile(ini);
        ReadSceneDescription(profile, settings, log, priority);
    }
};

TEST(SceneDefaults, AreTheBuiltInScene) {
    Scene scene;
    const auto& s = scene.settings;
    EXPECT_EQ(s.FarDistance, 10000);
    EXPECT_EQ(s.FieldOfView, 75);
    EXPECT_EQ(s.BottomY, -3000);
    EXPECT_EQ(s.SpeciesCount, 3);
    EXPECT_EQ(s.Species[1].Name, "Chelmon");
    EXPECT_EQ(s.Species[1].TextureFile, "chelton.jpg");
    EXPECT_EQ(s.Species[0].DepthMax, 5000);
    EXPECT_EQ(s.Species[5].DepthMax, 6500);
    EXPECT_EQ(s.Species[5].Name, "");
    EXPECT_EQ(s.Themes[1].UpperColor.b, 181.0f / 255.0f);
    EXPECT_EQ(s.Themes[2].BottomTextureName, "dno03.jpg");
    EXPECT_EQ(scene.priority.calls, "N");

    // A missing file changes nothing.
    TempDir dir;
    const TSceneSettings before = scene.settings;
    ReadSceneDescription(OpenProfileFile, (dir.Path() / "none.ini").string(), scene.settings, scene.log, scene.priority);
    EXPECT_EQ(scene.settings.FieldOfView, before.FieldOfView);
    EXPECT_EQ(scene.settings.Species[0].Name, "Centropyge");
}

TEST(SceneDescription, ReadsEachKindOfValueAndKeepsWhatIsNotANumber) {
    Scene scene;
    scene.Read(
        "[View]\nFieldOfView=60\nFarDistance=abc\nNearDistance=1.5e2\n"
        "[Landscape]\nBottomHeight=-2500\nBottomModel=\"other.3dm\"\n"
        "[General]\nPriority=$2\nLog=0x1\n");
    const auto& s = scene.settings;
    EXPECT_EQ(s.FieldOfView, 60);
    EXPECT_EQ(s.FarDistance, 10000);
    EXPECT_EQ(s.NearDistance, 150);
    EXPECT_EQ(s.BottomY, -2500);
    EXPECT_EQ(s.BottomModelName, "other.3dm");
    EXPECT_EQ(s.Priority, 2);
    EXPECT_EQ(scene.priority.calls, "NH");
    EXPECT_TRUE(scene.log);

    scene.Read("[General]\nPriority=7\n");  // leaves the class alone; no Log entry turns it off
    EXPECT_EQ(scene.priority.calls, "NH");
    EXPECT_FALSE(scene.log);
}

TEST(SceneDescription, ColourFieldsFollowTheCommaRule) {
    const Colour start{0.1f, 0.2f, 0.3f, 0.4f};
    const Colour two = ParseColour("255,128", start);
    EXPECT_EQ(two.r, 1.0f);
    EXPECT_FLOAT_EQ(two.g, 128.0f / 255.0f);
    EXPECT_EQ(two.b, 0.3f);
    EXPECT_EQ(two.a, 0.4f);

    const Colour gaps = ParseColour(",, 51", start);  // empty fields keep their component
    EXPECT_EQ(gaps.r, 0.1f);
    EXPECT_EQ(gaps.g, 0.2f);
    EXPECT_EQ(gaps.b, 0.2f);
    EXPECT_EQ(gaps.a, 0.4f);
    EXPECT_EQ(ParseColour("", start).r, 0.1f);
    // The last character is never a separator, so "3," is the third field and fails to convert.
    EXPECT_THROW(ParseColour("1,2,3,", start), Exception);
    try {
        ParseColour("1,2,3,", start);
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find("'3,'"), std::string::npos) << e.what();
    }
    const Colour five = ParseColour("0,0,0,0,9", start);  // a fifth field is not read
    EXPECT_EQ(five.a, 0.0f);
    EXPECT_THROW(ParseColour("red", start), Exception);

    Scene scene;
    EXPECT_THROW(scene.Read("[Theme2]\nClearColor=10,20,30,\n"), Exception);
    scene.Read("[Theme3]\nFishColor=255, 128\nWaterImage=sea.jpg\n");
    EXPECT_EQ(scene.settings.Themes[2].FishColor.r, 1.0f);
    EXPECT_EQ(scene.settings.Themes[2].FishColor.a, 0.7843f);
    EXPECT_EQ(scene.settings.Themes[2].WaterTextureName, "sea.jpg");
}

TEST(SceneDescription, SpeciesCountNamesAndSections) {
    Scene capped;
    capped.Read("[Fish]\nSpeciesCount=25\n");
    EXPECT_EQ(capped.settings.SpeciesCount, 20);
    EXPECT_EQ(capped.settings.Species[19].Name, "Chelmon");

    Scene none;
    none.Read("[Fish]\nSpeciesCount=0\n");
    EXPECT_EQ(none.settings.SpeciesCount, 0);
    EXPECT_EQ(none.settings.Species[0].Name, "Centropyge");

    // Without name entries every used slot is "Chelmon" and reads the [Chelmon] section.
    Scene unnamed;
    unnamed.Read("[Fish]\nShineOpacity=0.5\n[Chelmon]\nFarthestDepth=4000\nLowestHeight=-100\n");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(unnamed.settings.Species[i].Name, "Chelmon");
        EXPECT_EQ(unnamed.settings.Species[i].DepthMax, 4000);
        EXPECT_EQ(unnamed.settings.Species[i].HeightMin, -100);
    }
    EXPECT_EQ(unnamed.settings.Species[0].TextureFile, "centropyge.jpg");  // files stay the slot's own
    EXPECT_EQ(unnamed.settings.ShineAlpha, 0.5f);

    Scene named;
    named.Read(
        "[Fish]\nSpeciesCount=4\nSpecies1=Zebrasoma\nSpecies4=Angel\n"
        "[Angel]\nTexture=angel.jpg\nFrameList=angel.mfl\nHighestSpeed=900\n");
    EXPECT_EQ(named.settings.Species[0].Name, "Zebrasoma");
    EXPECT_EQ(named.settings.Species[3].Name, "Angel");
    EXPECT_EQ(named.settings.Species[3].TextureFile, "angel.jpg");
    EXPECT_EQ(named.settings.Species[3].SpeedMax, 900);
    EXPECT_EQ(named.settings.Species[3].DepthMax, 6500);
}

// Slots past the built-in three: an error must name what to give, never an empty resource name.
TEST(SceneDescription, EveryUsedSpeciesSlotHasFilesOrTheReadSaysWhichAreMissing) {
    Scene huge;
    huge.Read("[Fish]\nSpeciesCount=999999\nSpecies5=zebrasoma\n[Chelmon]\nFarthestDepth=4000\n");
    ASSERT_EQ(huge.settings.SpeciesCount, 20);
    for (int i = 0; i < 20; ++i) {
        EXPECT_FALSE(huge.settings.Species[i].TextureFile.empty()) << i;
        EXPECT_FALSE(huge.settings.Species[i].FrameListFile.empty()) << i;
    }
    EXPECT_EQ(huge.settings.Species[19].FrameListFile, "chelton.mfl");
    EXPECT_EQ(huge.settings.Species[19].DepthMax, 4000);  // its section still counts
    EXPECT_EQ(huge.settings.Species[4].Name, "zebrasoma");
    EXPECT_EQ(huge.settings.Species[4].TextureFile, "zebrasoma.jpg");

    Scene unknown;
    try {
        unknown.Read("[Fish]\nSpeciesCount=4\nSpecies4=Angel\n[Angel]\nTexture=angel.jpg\n");
        ADD_FAILURE() << "a species without a frame list was accepted";
    } catch (const Exception& e) {
        const std::string text = e.what();
        EXPECT_NE(text.find("species 4 has no FrameList in its section [Angel]"), std::string::npos) << text;
    }
}

// The conversion's own message comes first, as it always has; the next line says where the
// value stands: the file, its section and its key.
TEST(SceneDescription, ABadColourSaysTheErrorThenTheFileSectionAndKey) {
    Scene scene;
    const TProfileOpener open = [](const std::string&) {
        return std::make_unique<TProfileText>(std::string("[Theme1]\nClearColor=0\0,5\n", 25));
    };
    try {
        ReadSceneDescription(open, "/home/j\xc3\xbcrgen/3dtidewell.ini", scene.settings, scene.log, scene.priority);
        ADD_FAILURE() << "a NUL in a colour was accepted";
    } catch (const Exception& e) {
        const std::string text = e.what();
        EXPECT_EQ(text.find('\0'), std::string::npos);
        EXPECT_EQ(text.rfind("'0\\x00' is not a valid floating point value\r\n", 0), 0u) << text;
        EXPECT_NE(text.find("/home/j\xc3\xbcrgen/3dtidewell.ini: section [Theme1], key ClearColor"), std::string::npos) << text;
    }
}

// The projection can use no other: each is refused where it is read, naming the entry, instead of
// failing later in OpenGL with a message that names nothing.
TEST(SceneDescription, AViewTheDrawingCannotUseSaysWhichEntryAndWhy) {
    const std::pair<const char*, const char*> refused[] = {
        {"NearDistance=0", "key NearDistance"},      {"NearDistance=-5", "key NearDistance"},
        {"NearDistance=20000", "key NearDistance"},  {"FarDistance=50", "key FarDistance"},
        {"FieldOfView=0", "key FieldOfView"},        {"FieldOfView=180", "key FieldOfView"}};
    for (const auto& [entry, key] : refused) {
        Scene scene;
        const std::string file = std::string("[View]\n") + entry + "\n";
        const TProfileOpener open = [file](const std::string&) {
            return std::make_unique<TProfileText>(file);
        };
        try {
            ReadSceneDescription(open, "/opt/3dtidewell.ini", scene.settings, scene.log, scene.priority);
            ADD_FAILURE() << entry << " was accepted";
        } catch (const Exception& e) {
            const std::string text = e.what();
            EXPECT_EQ(text.rfind(std::string(entry) + " cannot be used: ", 0), 0u) << text;
            EXPECT_NE(text.find("\r\nIn the scene description file /opt/3dtidewell.ini: section [View], " + std::string(key)),
                      std::string::npos)
                << text;
        }
    }
    Scene scene;
    scene.Read("[View]\nNearDistance=1\nFarDistance=2\nFieldOfView=179\n");
    EXPECT_EQ(scene.settings.NearDistance, 1);
    EXPECT_EQ(scene.settings.FieldOfView, 179);
}

TEST(SceneDescription, IntegerAndRealParsing) {
    EXPECT_EQ(ParseInteger("0X1f"), 31);
    EXPECT_EQ(ParseInteger("$ff"), 255);
    EXPECT_EQ(ParseInteger("-12"), -12);
    EXPECT_EQ(ParseInteger("12a"), std::nullopt);
    EXPECT_EQ(ParseInteger("$"), std::nullopt);
    EXPECT_EQ(ParseInteger("99999999999"), std::nullopt);
    EXPECT_EQ(ParseReal("2,5"), std::nullopt);  // the separator is a point whatever the locale
    EXPECT_EQ(ParseReal("+2.5"), 2.5f);
    EXPECT_EQ(ParseReal("1e999"), std::nullopt);
    EXPECT_EQ(ParseReal("1e300"), std::nullopt);  // a double, but no float
    EXPECT_EQ(ParseReal("-1e300"), std::nullopt);
    EXPECT_EQ(ParseReal("3.4e38"), 3.4e38f);
    EXPECT_EQ(ParseReal(""), std::nullopt);
}

}  // namespace
