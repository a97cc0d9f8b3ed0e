// The aquarium's picture stays what it was when its references were made: each theme rendered
// offline at a fixed simulated time against tests/tools/data/reference_theme<N>.png. Drawing
// changes made for speed must keep 99.5 % of the pixels within 3/255 and every pixel within
// 24/255. Regenerate the references only for a change meant to alter the picture:
//   build/linux/tools/tidewell_render --size 480x270 --theme N --seconds 10 --out <that file>
#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
};

Picture ReadPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Picture picture;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return picture;
    image.format = PNG_FORMAT_RGB;
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr)) return {};
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    return picture;
}

TEST(RenderReference, EveryThemeMatchesItsReferencePicture) {
    TempDir dir;
    for (int theme = 0; theme < 3; ++theme) {
        const std::string out = (dir.Path() / ("theme" + std::to_string(theme) + ".png")).string();
        const std::string command = std::string(TIDEWELL_RENDER) + " --size 480x270 --theme " + std::to_string(theme) +
                                    " --seconds 10 --out " + out + " >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const Picture drawn = ReadPng(out);
        const Picture reference =
            ReadPng(std::string(TIDEWELL_SOURCE_DIR) + "/tests/tools/data/reference_theme" + std::to_string(theme) + ".png");
        ASSERT_EQ(reference.width, 480);
        ASSERT_EQ(drawn.width, reference.width);
        ASSERT_EQ(drawn.height, reference.height);
        std::size_t close = 0;
        int worst = 0;
        for (std::size_t p = 0; p < drawn.rgb.size(); p += 3) {
            int pixelWorst = 0;
            for (std::size_t c = 0; c < 3; ++c) pixelWorst = std::max(pixelWorst, std::abs(drawn.rgb[p + c] - reference.rgb[p + c]));
            if (pixelWorst <= 3) ++close;
            worst = std::max(worst, pixelWorst);
        }
        const double share = static_cast<double>(close) / static_cast<double>(drawn.rgb.size() / 3);
        EXPECT_GE(share, 0.995) << "theme " << theme;
        EXPECT_LE(worst, 24) << "theme " << theme;
    }
}

}  // namespace
