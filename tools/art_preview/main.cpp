// Headless preview of the art: a contact sheet PNG with each species in poses 0, 2 and 4 from
// the side and from above, lit as the aquarium lights its fish, and every texture tiled 2 x 2
// so that seams show. A second mode draws a still of the aquarium (blue theme) to judge sizes.
//
//   tidewell_art_preview sheet <out.png> [--generator]
//   tidewell_art_preview tank <out.png> [--generator]
//   tidewell_art_preview swim <out.png> [--generator]   (all six poses from above)
//   tidewell_art_preview sound <out.png>   (waveform and spectrogram of the bubbling loop)
//
// The fish and pictures are read from resources/ by the program's own model import (frame
// lists, pose models, textures), so the sheet shows what the aquarium will draw. With
// --generator the meshes come straight from the generator instead, to compare the two.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "model/bitmap.h"
#include "model/import_settings.h"
#include "model/model_import.h"
#include "platform/headless/egl_context.h"
#include "tools/artgen/fish.h"
#include "tools/artgen/image.h"
#include "tools/artgen/sound.h"

using namespace art;

namespace {

struct Art {
    std::vector<FishArt> fishes;
    std::map<std::string, Image> images;
};

bool fromGenerator = false;

Image ImageFromBitmap(const TBitmap& bitmap) {
    Image image(bitmap.Width, bitmap.Height);
    for (int y = 0; y < bitmap.Height; ++y) {
        const std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width; ++x) {
            const TBitmapColour c = bitmap.ColourAt(row, x);
            image.At(x, y) = {c.red / 255.0f, c.green / 255.0f, c.blue / 255.0f};
        }
    }
    return image;
}

// Texture rows run from the bottom, image rows from the top.
Image ImageFromTexture(const TGLTexture& texture) {
    Image image(texture.Width(), texture.Height());
    for (int y = 0; y < texture.Height(); ++y) {
        const std::uint8_t* row = texture.Pixels() + static_cast<std::size_t>(texture.RowSize()) * (texture.Height() - 1 - y);
        for (int x = 0; x < texture.Width(); ++x) {
            const std::uint8_t* p = row + texture.BytesPerPixel() * x;
            image.At(x, y) = {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f};
        }
    }
    return image;
}

// One mesh per pose from the imported model: the body primitive (material 1) then the fins
// (material 2), the positions of each pose taken from the animation keys.
std::vector<Mesh> PosesFromImport(const TGLPrimitiveList& primitives, const TAnimationList& animations) {
    std::vector<Mesh> poses;
    const int keys = dynamic_cast<TKeyAnimation&>(*animations.Get(0)).KeyCount();
    for (int k = 0; k < keys; ++k) {
        Mesh mesh;
        for (int i = 0; i < primitives.Count(); ++i) {
            const TGLPrimitive& p = *primitives.Get(i);
            auto& animation = dynamic_cast<TGLVertexAnimation&>(*animations.Get(i));
            const TGLVectorDArray& vertices = dynamic_cast<TGLVertexKey&>(*animation.GetKey(k)).Vertices;
            const int offset = static_cast<int>(mesh.vertices.size());
            for (int v = 0; v < vertices.Count(); ++v) {
                const Vector q = vertices.GetItem(v);
                mesh.vertices.push_back({q.x, q.y, q.z});
                const TexCoord st = p.TexCoords.GetItem(v);
                mesh.texCoords.push_back({st.s, st.t});
            }
            for (int j = 0; j + 2 < p.Indices.Count(); j += 3) {
                mesh.faces.push_back({offset + p.Indices.GetIndex(j), offset + p.Indices.GetIndex(j + 1),
                                      offset + p.Indices.GetIndex(j + 2)});
                mesh.materialIds.push_back(i + 1);
            }
        }
        poses.push_back(std::move(mesh));
    }
    return poses;
}

// Fish and pictures through the model import from resources/ (or the generator's meshes).
Art LoadArt() {
    Art a;
    const std::filesystem::path folder = std::filesystem::path(TIDEWELL_SOURCE_DIR) / "resources";
    LoadFromResources = false;
    ModelDirectory = TextureDirectory = folder.string() + "/";
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == ".jpg") {
            const std::string name = entry.path().filename().string();
            a.images.emplace(name, ImageFromBitmap(BitmapFromFile(name)));
        }
    }
    a.fishes = MakeFishes();
    for (FishArt& f : a.fishes) {
        if (fromGenerator) {
            f.texture = a.images.at(f.textureName);
            continue;
        }
        std::unique_ptr<TGLTextureList> textures;
        std::unique_ptr<TGLMaterialList> materials;
        std::unique_ptr<TAnimationList> animations;
        std::unique_ptr<TGLPrimitiveList> primitives;
        LoadMFL(f.baseName + ".mfl", textures, materials, animations, primitives);
        f.poses = PosesFromImport(*primitives, *animations);
        f.texture = ImageFromTexture(*textures->Get(0));
    }
    return a;
}

GLuint Upload(const Image& image, const Image* alpha = nullptr) {
    std::vector<std::uint8_t> rgba;
    // Texture rows run from the bottom, image rows from the top.
    for (int y = image.Height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.Width(); ++x) {
            const Rgb& p = image.At(x, y);
            rgba.push_back(static_cast<std::uint8_t>(std::lround(Clamp01(p.r) * 255)));
            rgba.push_back(static_cast<std::uint8_t>(std::lround(Clamp01(p.g) * 255)));
            rgba.push_back(static_cast<std::uint8_t>(std::lround(Clamp01(p.b) * 255)));
            const float a = alpha ? alpha->At(x, y).r : 1.0f;
            rgba.push_back(static_cast<std::uint8_t>(std::lround(Clamp01(a) * 255)));
        }
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.Width(), image.Height(), 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return name;
}

std::vector<Vec3> Normals(const Mesh& m, int material) {
    std::vector<Vec3> n(m.vertices.size());
    for (std::size_t f = 0; f < m.faces.size(); ++f) {
        if (m.materialIds[f] != material) continue;
        const auto& t = m.faces[f];
        const Vec3 c = Cross(m.vertices[t[1]] - m.vertices[t[0]], m.vertices[t[2]] - m.vertices[t[0]]);
        for (int k : t) n[k] = n[k] + c;
    }
    for (Vec3& v : n) v = Normalised(v);
    return n;
}

void DrawPass(const Mesh& m, int material) {
    const std::vector<Vec3> normals = Normals(m, material);
    glBegin(GL_TRIANGLES);
    for (std::size_t f = 0; f < m.faces.size(); ++f) {
        if (m.materialIds[f] != material) continue;
        for (int k : m.faces[f]) {
            glNormal3f(normals[k].x, normals[k].y, normals[k].z);
            glTexCoord2f(m.texCoords[k].s, m.texCoords[k].t);
            glVertex3f(m.vertices[k].x, m.vertices[k].y, m.vertices[k].z);
        }
    }
    glEnd();
}

// The aquarium's fish lighting: global ambient 0.6, one directional light of 0.4 from
// (1, 1, 1), material colour of the blue theme, fins blended at its alpha.
void SetFishLighting() {
    const GLfloat ambient[] = {0.6f, 0.6f, 0.6f, 1}, zero[] = {0, 0, 0, 1}, light[] = {0.4f, 0.4f, 0.4f, 1};
    const GLfloat position[] = {1, 1, 1, 0}, fish[] = {0.804f, 0.882f, 1.0f, 0.7843f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_AMBIENT, zero);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, light);
    glLightfv(GL_LIGHT0, GL_SPECULAR, zero);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glEnable(GL_LIGHT0);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, fish);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, fish);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, fish);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 10);
}

void DrawFish(const Mesh& m, GLuint texture) {
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glDepthFunc(GL_LEQUAL);
    glDisable(GL_BLEND);
    DrawPass(m, 1);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    DrawPass(m, 2);
    glDisable(GL_BLEND);
}

struct Sheet {
    int width, height;
    std::vector<std::uint8_t> rgb;
    Sheet(int w, int h) : width(w), height(h), rgb(static_cast<std::size_t>(w) * h * 3, 40) {}
    void Put(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        if (x < 0 || y < 0 || x >= width || y >= height) return;
        std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
        p[0] = r;
        p[1] = g;
        p[2] = b;
    }
    // Pixels from glReadPixels: bottom row first.
    void Blit(const std::vector<std::uint8_t>& rgba, int w, int h, int left, int top) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const std::uint8_t* p = &rgba[(static_cast<std::size_t>(h - 1 - y) * w + x) * 4];
                Put(left + x, top + y, p[0], p[1], p[2]);
            }
        }
    }
    // Tiling images repeat 2 x 2 (a seam would show as a cross), the others show once.
    void Tiled(const Image& image, int left, int top, int size, int repeat) {
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const Rgb c = image.At((x * image.Width() * repeat / size) % image.Width(),
                                       (y * image.Height() * repeat / size) % image.Height());
                Put(left + x, top + y, static_cast<std::uint8_t>(Clamp01(c.r) * 255),
                    static_cast<std::uint8_t>(Clamp01(c.g) * 255), static_cast<std::uint8_t>(Clamp01(c.b) * 255));
            }
        }
    }
};

// Every pose of every species from above: the swim cycle, pose 5 repeating pose 0.
int MakeSwim(const std::string& out) {
    constexpr int cell = 240, cellH = 160;
    const Art a = LoadArt();
    const int rows = static_cast<int>(a.fishes.size());
    Sheet sheet(cell * kPoseCount, cellH * rows);
    HeadlessGLContext gl({cell, cellH, 24, 0});
    for (int r = 0; r < rows; ++r) {
        const GLuint texture = Upload(a.fishes[r].texture);
        for (int pose = 0; pose < kPoseCount; ++pose) {
            glViewport(0, 0, cell, cellH);
            glClearColor(0.0f, 0.42f, 0.61f, 1);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            glOrtho(-170, 170, -170.0 * cellH / cell, 170.0 * cellH / cell, -1000, 1000);
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            SetFishLighting();
            glRotatef(90, 1, 0, 0);
            DrawFish(a.fishes[r].poses[pose], texture);
            sheet.Blit(gl.ReadPixels(), cell, cellH, pose * cell, r * cellH);
        }
        glDeleteTextures(1, &texture);
    }
    WritePng(out, sheet.width, sheet.height, sheet.rgb);
    std::printf("%s: %d x %d\n", out.c_str(), sheet.width, sheet.height);
    return 0;
}

int MakeSheet(const std::string& out) {
    constexpr int cell = 300, cellH = 240;
    const Art a = LoadArt();
    const int rows = static_cast<int>(a.fishes.size());
    const int tileSize = 200;
    const int perRow = 8;
    const int textureRows = (static_cast<int>(a.images.size()) + perRow - 1) / perRow;
    Sheet sheet(cell * 6, cellH * rows + textureRows * (tileSize + 10) + 10);
    HeadlessGLContext gl({cell, cellH, 24, 0});
    for (int r = 0; r < rows; ++r) {
        const FishArt& fish = a.fishes[r];
        const GLuint texture = Upload(fish.texture);
        for (int c = 0; c < 6; ++c) {
            const int pose = (c % 3) * 2;
            const bool above = c >= 3;
            glViewport(0, 0, cell, cellH);
            glClearColor(0.0f, 0.42f, 0.61f, 1);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            const float half = 190.0f;
            glOrtho(-half, half, -half * cellH / cell, half * cellH / cell, -1000, 1000);
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            SetFishLighting();  // light fixed in the camera's frame, as in the aquarium
            if (above) glRotatef(90, 1, 0, 0);  // look down on the back
            else glRotatef(-12, 0, 1, 0);       // a little from the front, as they swim past
            DrawFish(fish.poses[pose], texture);
            sheet.Blit(gl.ReadPixels(), cell, cellH, c * cell, r * cellH);
        }
        glDeleteTextures(1, &texture);
    }
    int i = 0;
    for (const auto& [name, image] : a.images) {
        const int left = 10 + (i % perRow) * (tileSize + 10), top = cellH * rows + 10 + (i / perRow) * (tileSize + 10);
        const bool tiles = name.rfind("dno", 0) == 0 || name.rfind("Pesok", 0) == 0 || name.rfind("voda", 0) == 0 ||
                           (name.rfind("caust", 0) == 0 && name != "caust5.jpg");
        sheet.Tiled(image, left, top, tileSize, tiles ? 2 : 1);
        ++i;
    }
    WritePng(out, sheet.width, sheet.height, sheet.rgb);
    std::printf("%s: %d x %d\n", out.c_str(), sheet.width, sheet.height);
    return 0;
}

void DrawLayer(GLuint texture, float height, float alpha, float repeat, float shift) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glColor4f(1, 1, 1, alpha);
    glBegin(GL_TRIANGLES);
    const float xs[] = {-15000, 15000}, zs[] = {0, -10000};
    auto v = [&](int i, int j) {
        glTexCoord2f((xs[i] + 15000) / repeat + shift, -zs[j] / repeat + shift);
        glVertex3f(xs[i], height, zs[j]);
    };
    v(0, 0), v(1, 0), v(1, 1);
    v(0, 0), v(1, 1), v(0, 1);
    glEnd();
}

// A still of the aquarium with the scene's camera: 75 degrees, 100 to 10000, sand at -3000,
// surface at 5000; fish of each species at a few depths.
int MakeTank(const std::string& out) {
    constexpr int w = 800, h = 600;
    const Art a = LoadArt();
    HeadlessGLContext gl({w, h, 24, 0});
    glViewport(0, 0, w, h);
    glClearColor(0, 0.416f, 0.612f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double top = std::tan(37.5 * 3.14159265 / 180) * 100;
    glFrustum(-top * w / h, top * w / h, -top, top, 100, 10000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    const GLuint sand = Upload(a.images.at("dno02.jpg")), water = Upload(a.images.at("voda2.jpg"));
    const GLuint caustics = Upload(a.images.at("caust2.jpg"));
    for (GLuint t : {sand, water, caustics}) {
        glBindTexture(GL_TEXTURE_2D, t);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    }
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    DrawLayer(water, 5000, 1, 2500, 0);
    DrawLayer(sand, -3000, 1, 2500, 0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    DrawLayer(caustics, 5000, 0.65f, 2500, 0.3f);
    DrawLayer(caustics, -3000, 0.35f, 2500, 0.1f);
    // Distance fade toward the horizon, as the fade layers do.
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_QUADS);
    for (float y : {5000.0f, -3000.0f}) {
        const float c = y > 0 ? 1.0f : 0.0f;
        const float r = 0, g = c ? 120 / 255.0f : 80 / 255.0f, b = c ? 200 / 255.0f : 140 / 255.0f;
        glColor4f(r, g, b, 0);
        glVertex3f(-15000, y, -6000);
        glVertex3f(15000, y, -6000);
        glColor4f(r, g, b, 1);
        glVertex3f(15000, y, -10000);
        glVertex3f(-15000, y, -10000);
    }
    glEnd();
    glDisable(GL_BLEND);
    glColor4f(1, 1, 1, 1);
    glClear(GL_DEPTH_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    SetFishLighting();
    struct Place {
        int species, pose;
        float x, y, depth, yaw;
    };
    const Place places[] = {
        {0, 0, -250, -150, 900, 5},   {1, 2, 500, 300, 1800, -8},  {2, 4, -900, 700, 2500, 3},
        {0, 3, 1200, -900, 3200, 10}, {2, 1, -2600, -1500, 4500, -5}, {1, 0, 2200, 1400, 6000, 0},
        {2, 2, 300, -200, 500, 12},   {1, 4, -1800, 200, 3800, -12},
    };
    std::vector<GLuint> textures;
    for (const FishArt& f : a.fishes) textures.push_back(Upload(f.texture));
    std::vector<Place> sorted(std::begin(places), std::end(places));
    std::sort(sorted.begin(), sorted.end(), [](const Place& p, const Place& q) { return p.depth > q.depth; });
    for (const Place& p : sorted) {
        glPushMatrix();
        glTranslatef(p.x, p.y, -p.depth);
        glRotatef(p.yaw, 0, 1, 0);
        DrawFish(a.fishes[p.species].poses[p.pose], textures[p.species]);
        glPopMatrix();
    }
    // Bubbles: textured squares facing the camera.
    const GLuint bubble = Upload(a.images.at("puzir.jpg"), &a.images.at("puzirA.jpg"));
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.1f);
    glBindTexture(GL_TEXTURE_2D, bubble);
    glColor4f(0.784f, 0.902f, 1, 1);
    for (int k = 0; k < 24; ++k) {
        const float depth = 1500 + (k % 3) * 1700, x = -1400 + (k % 3) * 1900.0f, y = -2800 + (k / 3) * 700.0f;
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0), glVertex3f(x - 100, y - 100, -depth);
        glTexCoord2f(1, 0), glVertex3f(x + 100, y - 100, -depth);
        glTexCoord2f(1, 1), glVertex3f(x + 100, y + 100, -depth);
        glTexCoord2f(0, 1), glVertex3f(x - 100, y + 100, -depth);
        glEnd();
    }
    Sheet sheet(w, h);
    sheet.Blit(gl.ReadPixels(), w, h, 0, 0);
    WritePng(out, w, h, sheet.rgb);
    std::printf("%s: %d x %d\n", out.c_str(), w, h);
    return 0;
}

// Waveform of both channels over the whole loop and a spectrogram of the left one (0 to
// 5.5 kHz, bottom to top), drawn twice side by side so the loop point sits in the middle.
int MakeSoundPicture(const std::string& out) {
    const std::vector<short> pcm = MakeBubbling();
    const int frames = static_cast<int>(pcm.size() / 2);
    constexpr int w = 1200, wave = 120, spectrum = 256;
    Sheet sheet(w, wave * 2 + spectrum);
    for (int x = 0; x < w; ++x) {
        for (int c = 0; c < 2; ++c) {
            int lo = 0, hi = 0;
            const int from = static_cast<int>(static_cast<long>(x) * 2 * frames / w);
            const int to = static_cast<int>(static_cast<long>(x + 1) * 2 * frames / w);
            for (int i = from; i < to; ++i) {
                lo = std::min<int>(lo, pcm[(i % frames) * 2 + c]);
                hi = std::max<int>(hi, pcm[(i % frames) * 2 + c]);
            }
            for (int y = wave / 2 - hi * wave / 65536; y <= wave / 2 - lo * wave / 65536; ++y) {
                sheet.Put(x, c * wave + y, 120, 220, 255);
            }
        }
        const int centre = static_cast<int>(static_cast<long>(x) * 2 * frames / w);
        for (int bin = 0; bin < spectrum; ++bin) {
            double re = 0, im = 0;
            for (int k = 0; k < 512; ++k) {
                const double hann = 0.5 - 0.5 * std::cos(2 * 3.14159265 * k / 512);
                const double v = pcm[((centre + k) % frames) * 2] * hann;
                re += v * std::cos(2 * 3.14159265 * bin * k / 512);
                im -= v * std::sin(2 * 3.14159265 * bin * k / 512);
            }
            const double db = 10 * std::log10(re * re + im * im + 1) - 80;
            const auto level = static_cast<std::uint8_t>(std::clamp(db * 4, 0.0, 255.0));
            sheet.Put(x, 2 * wave + spectrum - 1 - bin, level, level, static_cast<std::uint8_t>(std::min(255, level + 40)));
        }
    }
    WritePng(out, sheet.width, sheet.height, sheet.rgb);
    std::printf("%s: %d x %d\n", out.c_str(), sheet.width, sheet.height);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[3]) == "--generator") fromGenerator = true;
    if (argc != 3 && !fromGenerator) {
        std::fprintf(stderr, "usage: %s sheet|tank|swim|sound <out.png> [--generator]\n", argv[0]);
        return 2;
    }
    try {
        const std::string mode = argv[1];
        if (mode == "tank") return MakeTank(argv[2]);
        if (mode == "sound") return MakeSoundPicture(argv[2]);
        if (mode == "swim") return MakeSwim(argv[2]);
        return MakeSheet(argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tidewell_art_preview: %s\n", e.what());
        return 1;
    }
}
