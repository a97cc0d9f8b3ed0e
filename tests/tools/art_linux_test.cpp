// The committed art: the generator reproduces it byte for byte, and every file has the shape
// the model import, the texture loader and the sound player expect.
#include <gtest/gtest.h>

#include <jpeglib.h>
#include <png.h>
#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kResources = fs::path(TIDEWELL_SOURCE_DIR) / "resources";

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Vec {
    double x, y, z;
};

// Just enough of a 3DM reader to check the files: one object, its transform, the lists.
struct Model {
    std::array<Vec, 4> rows{};
    std::vector<Vec> vertices;
    std::vector<std::array<int, 3>> faces, texFaces;
    std::vector<int> materialIds;
    std::vector<std::array<double, 2>> texCoords;
    std::map<std::string, int> sections;  // head name -> count
};

Vec ParseVector(const std::string& text) {
    Vec v{};
    EXPECT_EQ(std::sscanf(text.c_str(), "[%lf,%lf,%lf]", &v.x, &v.y, &v.z), 3) << text;
    return v;
}

Model ParseModel(const fs::path& path) {
    Model m;
    std::istringstream in(ReadFile(path));
    std::string line, section;
    int remaining = 0;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line[0] == '#') {
            const auto blank = line.find(' ');
            section = line.substr(1, blank - 1);
            remaining = std::stoi(line.substr(blank + 1));
            m.sections[section] = remaining;
            continue;
        }
        if (remaining-- <= 0) continue;
        if (section == "Transform" && line.rfind("(matrix3", 0) == 0) {
            std::istringstream parts(line.substr(9));
            for (Vec& row : m.rows) {
                std::string triple;
                parts >> triple;
                if (triple.back() == ')') triple.pop_back();
                row = ParseVector(triple);
            }
        } else if (section == "Vertices") {
            m.vertices.push_back(ParseVector(line));
        } else if (section == "VertexFaces" || section == "TextureCoordFaces") {
            std::array<int, 3> f{};
            EXPECT_EQ(std::sscanf(line.c_str(), "[%d,%d,%d]", &f[0], &f[1], &f[2]), 3);
            (section == "VertexFaces" ? m.faces : m.texFaces).push_back(f);
        } else if (section == "FaceMatID") {
            m.materialIds.push_back(std::stoi(line));
        } else if (section == "TextureCoords") {
            const Vec t = ParseVector(line);
            m.texCoords.push_back({t.x, t.y});
        }
    }
    return m;
}

// What the import does with a vertex: place it by the rows, then turn (x, y, z) to (x, z, -y).
Vec Imported(const Model& m, const Vec& p) {
    const Vec q{p.x * m.rows[0].x + p.y * m.rows[1].x + p.z * m.rows[2].x + m.rows[3].x,
                p.x * m.rows[0].y + p.y * m.rows[1].y + p.z * m.rows[2].y + m.rows[3].y,
                p.x * m.rows[0].z + p.y * m.rows[1].z + p.z * m.rows[2].z + m.rows[3].z};
    return {q.x, q.z, -q.y};
}

Vec FaceNormal(const Model& m, const std::array<int, 3>& f) {
    const Vec a = Imported(m, m.vertices[f[0] - 1]), b = Imported(m, m.vertices[f[1] - 1]),
              c = Imported(m, m.vertices[f[2] - 1]);
    const Vec u{b.x - a.x, b.y - a.y, b.z - a.z}, v{c.x - a.x, c.y - a.y, c.z - a.z};
    return {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
}

void ExpectRows(const Model& m, const std::array<Vec, 4>& rows) {
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(m.rows[i].x, rows[i].x) << "row " << i;
        EXPECT_EQ(m.rows[i].y, rows[i].y) << "row " << i;
        EXPECT_EQ(m.rows[i].z, rows[i].z) << "row " << i;
    }
}

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    double At(int x, int y, int c) const { return rgb[(static_cast<std::size_t>(y) * width + x) * 3 + c]; }
};

Picture DecodeJpeg(const fs::path& path) {
    const std::string bytes = ReadFile(path);
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    Picture p{static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height), {}};
    p.rgb.resize(static_cast<std::size_t>(p.width) * p.height * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        unsigned char* row = &p.rgb[static_cast<std::size_t>(cinfo.output_scanline) * p.width * 3];
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return p;
}

bool PowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

// Mean difference across the wrap (last column to first) against the mean difference between
// neighbouring columns inside the picture: a seam stands out as a much larger step.
double SeamRatio(const Picture& p, bool vertical) {
    auto step = [&](int a, int b) {
        double sum = 0;
        const int n = vertical ? p.height : p.width;
        for (int i = 0; i < n; ++i) {
            for (int c = 0; c < 3; ++c) {
                sum += vertical ? std::fabs(p.At(a, i, c) - p.At(b, i, c)) : std::fabs(p.At(i, a, c) - p.At(i, b, c));
            }
        }
        return sum / n;
    };
    const int last = (vertical ? p.width : p.height) - 1;
    double inside = 0;
    for (int k = 0; k < last; k += 8) inside += step(k, k + 1);
    inside /= (last + 7) / 8;
    return step(last, 0) / std::max(inside, 1e-6);
}

std::uint32_t Le32(const std::string& b, std::size_t at) {
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8 |
           static_cast<unsigned char>(b[at + 2]) << 16 | static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}
int Le16(const std::string& b, std::size_t at) {
    return static_cast<std::int16_t>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8);
}

const char* const kSpecies[] = {"centropyge", "chelton", "zebrasoma"};

}  // namespace

TEST(Art, GeneratorReproducesTheCommittedFilesByteForByte) {
    char pattern[] = "/tmp/tidewell_art_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path fresh = pattern;
    const std::string command = std::string("\"") + TIDEWELL_ARTGEN + "\" \"" + fresh.string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::vector<std::string> committed, generated;
    for (const auto& e : fs::directory_iterator(kResources)) committed.push_back(e.path().filename().string());
    for (const auto& e : fs::directory_iterator(fresh)) generated.push_back(e.path().filename().string());
    std::sort(committed.begin(), committed.end());
    std::sort(generated.begin(), generated.end());
    EXPECT_EQ(committed, generated);
    for (const std::string& name : generated) {
        EXPECT_TRUE(ReadFile(fresh / name) == ReadFile(kResources / name)) << name << " differs from a fresh run";
    }
    fs::remove_all(fresh);
}

TEST(Art, EveryNamedFileIsThere) {
    std::vector<std::string> names = {"dnoK00f.3dm", "Puzir00f.3dm", "puzir.jpg", "puzirA.jpg", "caust5.jpg",
                                      "dno02.jpg", "voda2.jpg", "caust2.jpg", "Pesok01.jpg", "voda1.jpg",
                                      "caust1.jpg", "dno03.jpg", "voda3.jpg", "caust3.jpg", "background.jpg",
                                      "sbubles.wav"};
    for (const char* s : kSpecies) {
        names.push_back(std::string(s) + ".mfl");
        names.push_back(std::string(s) + ".jpg");
        for (int k = 0; k < 6; ++k) names.push_back(std::string(s) + "0" + std::to_string(k) + "f.3dm");
    }
    for (const std::string& name : names) EXPECT_TRUE(fs::exists(kResources / name)) << name;
}

TEST(Art, BottomImportsAsAFlatUpFacingGrid) {
    const Model m = ParseModel(kResources / "dnoK00f.3dm");
    ExpectRows(m, {Vec{1, 0, 0}, Vec{0, 1, 0}, Vec{0, 0, 1}, Vec{0, 5000, 0}});
    ASSERT_EQ(m.vertices.size(), 25u);
    ASSERT_EQ(m.faces.size(), 32u);
    EXPECT_EQ(m.texFaces, m.faces);
    EXPECT_EQ(m.materialIds.size(), 32u);
    double minX = 1e9, maxX = -1e9, minZ = 1e9, maxZ = -1e9;
    for (const Vec& v : m.vertices) {
        const Vec p = Imported(m, v);
        EXPECT_NEAR(p.y, 0, 1e-6);
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minZ = std::min(minZ, p.z), maxZ = std::max(maxZ, p.z);
    }
    EXPECT_EQ(minX, -15000);
    EXPECT_EQ(maxX, 15000);
    EXPECT_EQ(minZ, -10000);
    EXPECT_EQ(maxZ, 0);
    for (const auto& f : m.faces) EXPECT_GT(FaceNormal(m, f).y, 0) << "a face of the bottom looks down";
}

TEST(Art, BubbleImportsAsASquareFacingTheCamera) {
    const Model m = ParseModel(kResources / "Puzir00f.3dm");
    ExpectRows(m, {Vec{1, 0, 0}, Vec{0, 0, 1}, Vec{0, -1, 0}, Vec{0, 0, 0}});
    ASSERT_EQ(m.vertices.size(), 4u);
    const std::vector<std::array<int, 3>> faces{{3, 4, 1}, {2, 3, 1}};
    EXPECT_EQ(m.faces, faces);
    EXPECT_EQ(m.texFaces, faces);
    for (const Vec& v : m.vertices) {
        EXPECT_EQ(std::fabs(v.x), 100);
        EXPECT_EQ(std::fabs(v.y), 100);
        EXPECT_EQ(v.z, 0);
        const Vec p = Imported(m, v);
        EXPECT_NEAR(p.x, v.x, 1e-9);
        EXPECT_NEAR(p.y, v.y, 1e-9);
    }
    for (const auto& f : m.faces) EXPECT_GT(FaceNormal(m, f).z, 0) << "a bubble face looks away from the camera";
}

TEST(Art, FishPosesShareTopologyLoopAndPointTheHeadAlongX) {
    for (const char* species : kSpecies) {
        SCOPED_TRACE(species);
        std::vector<Model> poses;
        for (int k = 0; k < 6; ++k) {
            poses.push_back(ParseModel(kResources / (std::string(species) + "0" + std::to_string(k) + "f.3dm")));
        }
        const Model& first = poses[0];
        EXPECT_GE(first.vertices.size(), 300u);
        EXPECT_LE(first.vertices.size(), 1500u);
        ASSERT_EQ(first.texCoords.size(), first.vertices.size());
        EXPECT_EQ(first.texFaces, first.faces);
        // The image is the fish seen from the side, upright: on the body, s grows with the
        // imported x (head at the image's right), t with y (back at the top). A wrong turn
        // breaks this.
        std::vector<char> onBody(first.vertices.size(), 0);
        for (std::size_t f = 0; f < first.faces.size(); ++f) {
            if (first.materialIds[f] == 1) {
                for (int k : first.faces[f]) onBody[k - 1] = 1;
            }
        }
        double sx = 0, sy = 0, ss = 0, st = 0, sxs = 0, syt = 0, sxx = 0, syy = 0, sss = 0, stt = 0, n = 0;
        for (std::size_t i = 0; i < first.vertices.size(); ++i) {
            if (!onBody[i]) continue;
            n += 1;
            const Vec v = Imported(first, first.vertices[i]);
            const double s = first.texCoords[i][0], t = first.texCoords[i][1];
            sx += v.x, sy += v.y, ss += s, st += t;
            sxs += v.x * s, syt += v.y * t, sxx += v.x * v.x, syy += v.y * v.y, sss += s * s, stt += t * t;
        }
        auto correlation = [&n](double a, double b, double ab, double aa, double bb) {
            return (ab - a * b / n) / std::sqrt((aa - a * a / n) * (bb - b * b / n));
        };
        EXPECT_GT(correlation(sx, ss, sxs, sxx, sss), 0.999);
        EXPECT_GT(correlation(sy, st, syt, syy, stt), 0.999);
        for (const Model& p : poses) {
            EXPECT_EQ(p.faces, first.faces);
            EXPECT_EQ(p.texFaces, first.texFaces);
            EXPECT_EQ(p.materialIds, first.materialIds);
            EXPECT_EQ(p.vertices.size(), first.vertices.size());
            EXPECT_EQ(p.sections.at("MaterialMultiSubObject"), 2);
        }
        // Pose 5 closes the loop; the poses between move.
        for (std::size_t i = 0; i < first.vertices.size(); ++i) {
            EXPECT_EQ(poses[5].vertices[i].x, first.vertices[i].x);
            EXPECT_EQ(poses[5].vertices[i].y, first.vertices[i].y);
            EXPECT_EQ(poses[5].vertices[i].z, first.vertices[i].z);
        }
        for (int k = 1; k < 5; ++k) {
            double moved = 0;
            for (std::size_t i = 0; i < first.vertices.size(); ++i) {
                moved = std::max(moved, std::fabs(poses[k].vertices[i].y - first.vertices[i].y));
            }
            EXPECT_GT(moved, 5.0) << "pose " << k << " barely differs from pose 0";
        }
        // Exactly the ids 1 (body) and 2 (fins).
        int body = 0, fins = 0;
        for (int id : first.materialIds) {
            EXPECT_TRUE(id == 1 || id == 2) << id;
            (id == 1 ? body : fins)++;
        }
        EXPECT_GT(body, 0);
        EXPECT_GT(fins, 0);
        // After import: the body is a closed surface facing out (positive volume), longer along
        // x than tall, and flat across z; the snout (front-most point) is body, the tail fin
        // (rear-most point) is fin.
        for (const Model& p : poses) {
            double volume = 0, minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9, minZ = 1e9, maxZ = -1e9;
            int front = 0, back = 0;
            for (std::size_t f = 0; f < p.faces.size(); ++f) {
                for (int k : p.faces[f]) {
                    const Vec v = Imported(p, p.vertices[k - 1]);
                    if (v.x > maxX) maxX = v.x, front = p.materialIds[f];
                    if (v.x < minX) minX = v.x, back = p.materialIds[f];
                    if (p.materialIds[f] == 1) {
                        minY = std::min(minY, v.y), maxY = std::max(maxY, v.y);
                        minZ = std::min(minZ, v.z), maxZ = std::max(maxZ, v.z);
                    }
                }
                if (p.materialIds[f] != 1) continue;
                const Vec a = Imported(p, p.vertices[p.faces[f][0] - 1]), b = Imported(p, p.vertices[p.faces[f][1] - 1]),
                          c = Imported(p, p.vertices[p.faces[f][2] - 1]);
                volume += (a.x * (b.y * c.z - b.z * c.y) - a.y * (b.x * c.z - b.z * c.x) + a.z * (b.x * c.y - b.y * c.x)) / 6;
            }
            EXPECT_GT(volume, 0);
            EXPECT_EQ(front, 1);
            EXPECT_EQ(back, 2);
            EXPECT_GT(maxX - minX, 150);
            EXPECT_LT(maxX - minX, 400);
            EXPECT_GT(maxY - minY, 1.8 * (maxZ - minZ)) << "the body is not laterally compressed";
        }
    }
}

TEST(Art, FrameListsNameSixPosesOverOneSecond) {
    for (const char* species : kSpecies) {
        std::string expected = "1 1.0\r\n";
        const char* times[] = {"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"};
        for (int k = 0; k < 6; ++k) expected += std::string(times[k]) + " " + species + "0" + std::to_string(k) + "f.3dm\r\n";
        EXPECT_EQ(ReadFile(kResources / (std::string(species) + ".mfl")), expected);
    }
}

TEST(Art, TexturesHavePowerOfTwoSidesAndTileWithoutSeams) {
    for (const char* name : {"dno02.jpg", "voda2.jpg", "caust2.jpg", "Pesok01.jpg", "voda1.jpg", "caust1.jpg",
                             "dno03.jpg", "voda3.jpg", "caust3.jpg"}) {
        SCOPED_TRACE(name);
        const Picture p = DecodeJpeg(kResources / name);
        EXPECT_TRUE(PowerOfTwo(p.width) && PowerOfTwo(p.height));
        EXPECT_LT(SeamRatio(p, true), 2.0);
        EXPECT_LT(SeamRatio(p, false), 2.0);
    }
    for (const char* name : {"centropyge.jpg", "chelton.jpg", "zebrasoma.jpg", "caust5.jpg"}) {
        const Picture p = DecodeJpeg(kResources / name);
        EXPECT_TRUE(PowerOfTwo(p.width) && PowerOfTwo(p.height)) << name;
    }
    const Picture dialog = DecodeJpeg(kResources / "background.jpg");
    EXPECT_EQ(dialog.width, 150);
    EXPECT_EQ(dialog.height, 110);
}

TEST(Art, BubbleAlphaIsClearOutsideTheCircleAndTheRimShows) {
    const Picture colour = DecodeJpeg(kResources / "puzir.jpg"), alpha = DecodeJpeg(kResources / "puzirA.jpg");
    ASSERT_EQ(colour.width, alpha.width);
    ASSERT_EQ(colour.height, alpha.height);
    ASSERT_TRUE(PowerOfTwo(alpha.width) && PowerOfTwo(alpha.height));
    auto mean = [&](int x, int y) { return (alpha.At(x, y, 0) + alpha.At(x, y, 1) + alpha.At(x, y, 2)) / 3; };
    const int n = alpha.width;
    // The scene's alpha test drops alpha at or below 0.1 (25.5 of 255).
    EXPECT_LT(mean(0, 0), 20);
    EXPECT_LT(mean(n - 1, n - 1), 20);
    EXPECT_GT(mean(n / 2, n / 2), 25);  // the shell shows across the middle
    double rim = 0;
    for (int x = 0; x < n / 2; ++x) rim = std::max(rim, mean(x, n / 2));
    EXPECT_GT(rim, mean(n / 2, n / 2) + 60);  // a bright rim around a clearer middle
}

TEST(Art, SoundIsALoopingStereoMsAdpcmWave) {
    const std::string b = ReadFile(kResources / "sbubles.wav");
    ASSERT_GT(b.size(), 100u);
    EXPECT_EQ(b.substr(0, 4), "RIFF");
    EXPECT_EQ(Le32(b, 4), b.size() - 8);
    EXPECT_EQ(b.substr(8, 4), "WAVE");
    EXPECT_EQ(b.substr(12, 4), "fmt ");
    EXPECT_EQ(Le32(b, 16), 50u);
    EXPECT_EQ(Le16(b, 20), 2);      // Microsoft ADPCM
    EXPECT_EQ(Le16(b, 22), 2);      // channels
    EXPECT_EQ(Le32(b, 24), 11025u);
    EXPECT_EQ(Le16(b, 32), 512);    // block align
    EXPECT_EQ(Le16(b, 34), 4);      // bits per sample
    EXPECT_EQ(Le16(b, 36), 32);     // extra format bytes
    EXPECT_EQ(Le16(b, 38), 500);    // samples per block
    ASSERT_EQ(Le16(b, 40), 7);
    const int coefficients[7][2] = {{256, 0}, {512, -256}, {0, 0}, {192, 64}, {240, 0}, {460, -208}, {392, -232}};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(Le16(b, 42 + 4 * i), coefficients[i][0]);
        EXPECT_EQ(Le16(b, 44 + 4 * i), coefficients[i][1]);
    }
    ASSERT_EQ(b.substr(70, 4), "fact");
    EXPECT_EQ(Le32(b, 74), 4u);
    const std::uint32_t frames = Le32(b, 78);
    ASSERT_EQ(b.substr(82, 4), "data");
    const std::uint32_t data = Le32(b, 86);
    EXPECT_EQ(90 + data, b.size());
    EXPECT_EQ(data % 512, 0u);
    EXPECT_EQ(frames, data / 512 * 500);
    const double seconds = frames / 11025.0;
    EXPECT_GT(seconds, 2.0);
    EXPECT_LT(seconds, 8.0);

    // Decoded, the loop joins without a jump: the step across the end is like the steps inside.
    SF_INFO info{};
    SNDFILE* file = sf_open((kResources / "sbubles.wav").c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr);
    std::vector<short> pcm(static_cast<std::size_t>(info.frames) * info.channels);
    ASSERT_EQ(sf_readf_short(file, pcm.data(), info.frames), info.frames);
    sf_close(file);
    for (int c = 0; c < 2; ++c) {
        std::vector<double> steps;
        double peak = 0;
        for (sf_count_t i = 1; i < info.frames; ++i) {
            steps.push_back(std::fabs(pcm[i * 2 + c] - pcm[(i - 1) * 2 + c]));
            peak = std::max(peak, std::fabs(static_cast<double>(pcm[i * 2 + c])));
        }
        std::sort(steps.begin(), steps.end());
        const double wrap = std::fabs(pcm[c] - pcm[(info.frames - 1) * 2 + c]);
        EXPECT_LE(wrap, steps[steps.size() * 99 / 100]) << "click at the loop point, channel " << c;
        EXPECT_GT(peak, 8000) << "channel " << c << " is nearly silent";
    }
    // The two channels are not copies of each other.
    double same = 0, energy = 0;
    for (sf_count_t i = 0; i < info.frames; ++i) {
        same += static_cast<double>(pcm[i * 2]) * pcm[i * 2 + 1];
        energy += std::sqrt(static_cast<double>(pcm[i * 2]) * pcm[i * 2] * pcm[i * 2 + 1] * pcm[i * 2 + 1]);
    }
    EXPECT_LT(std::fabs(same) / energy, 0.5);
}

// The icon: every size in the .ico (the small ones as bitmaps with a mask, 256 as PNG) and as a
// PNG for the icon theme, clear in the tile's corners and opaque over the fish; and the setup's
// side picture.
TEST(Art, IconHasEverySizeClearCornersAndAnOpaqueFish) {
    const std::string ico = ReadFile(kResources / "3dtidewell.ico");
    ASSERT_GT(ico.size(), 6u);
    EXPECT_EQ(Le16(ico, 2), 1);  // an icon
    ASSERT_EQ(Le16(ico, 4), 4);
    const int sizes[] = {16, 32, 48, 256};
    for (int i = 0; i < 4; ++i) {
        const std::size_t entry = 6 + 16 * i;
        EXPECT_EQ(static_cast<unsigned char>(ico[entry]), sizes[i] & 0xFF) << sizes[i];
        EXPECT_EQ(Le16(ico, entry + 6), 32);
        const std::uint32_t bytes = Le32(ico, entry + 8), offset = Le32(ico, entry + 12);
        ASSERT_LE(offset + bytes, ico.size());
        if (sizes[i] == 256)
            EXPECT_EQ(ico.substr(offset, 8), "\x89PNG\r\n\x1a\n");
        else
            EXPECT_EQ(Le32(ico, offset + 8), static_cast<std::uint32_t>(sizes[i] * 2));  // the bitmap and its mask

        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        const fs::path png = kResources / ("3dtidewell_" + std::to_string(sizes[i]) + ".png");
        ASSERT_TRUE(png_image_begin_read_from_file(&image, png.c_str())) << png;
        image.format = PNG_FORMAT_RGBA;
        std::vector<std::uint8_t> rgba(PNG_IMAGE_SIZE(image));
        ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr));
        ASSERT_EQ(image.width, static_cast<unsigned>(sizes[i]));
        ASSERT_EQ(image.height, static_cast<unsigned>(sizes[i]));
        const auto alpha = [&](unsigned x, unsigned y) { return rgba[(y * image.width + x) * 4 + 3]; };
        EXPECT_EQ(alpha(0, 0), 0) << sizes[i];
        EXPECT_EQ(alpha(image.width - 1, image.height - 1), 0) << sizes[i];
        const std::uint8_t* fish = &rgba[(image.height / 2 * image.width + image.width / 2) * 4];
        EXPECT_EQ(fish[3], 255) << sizes[i];
        EXPECT_GT(fish[0], 200) << sizes[i];  // yellow: red and green high, blue low
        EXPECT_GT(fish[1], 150) << sizes[i];
        EXPECT_LT(fish[2], 120) << sizes[i];
    }
    // The setup's side picture: a 24-bit BMP of the size its pages show.
    const std::string side = ReadFile(kResources / "3dtidewell_setup.dib");
    ASSERT_GT(side.size(), 54u);
    EXPECT_EQ(side.substr(0, 2), "BM");
    EXPECT_EQ(Le32(side, 2), side.size());
    EXPECT_EQ(Le32(side, 18), 164u);
    EXPECT_EQ(Le32(side, 22), 314u);
    EXPECT_EQ(Le16(side, 28), 24);
}
