#include "scene/fps_overlay.h"

#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "gl/gl_api.h"

namespace {

// Rows of three bits, top first.
const std::uint8_t* Glyph(char c) {
    static const std::uint8_t digits[10][5] = {{7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7},
                                               {5, 5, 7, 1, 1}, {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 2, 2},
                                               {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7}};
    static const std::uint8_t f[5] = {7, 4, 6, 4, 4}, p[5] = {7, 5, 7, 4, 4}, s[5] = {7, 4, 7, 1, 7},
                              colon[5] = {0, 2, 0, 2, 0};
    if (c >= '0' && c <= '9') return digits[c - '0'];
    switch (c) {
        case 'F': return f;
        case 'P': return p;
        case 'S': return s;
        case ':': return colon;
        default: return nullptr;
    }
}

// The lit cells of `text` as (column, row) from the top left; a character takes 4 columns with
// its gap. Characters the font lacks are blanks.
std::vector<std::pair<int, int>> FpsOverlayCells(const std::string& text) {
    std::vector<std::pair<int, int>> cells;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::uint8_t* rows = Glyph(text[i]);
        if (!rows) continue;
        for (int row = 0; row < 5; ++row)
            for (int column = 0; column < 3; ++column)
                if (rows[row] & (4 >> column)) cells.emplace_back(static_cast<int>(i) * 4 + column, row);
    }
    return cells;
}

}  // namespace

void DrawFpsOverlay(int width, int height, std::int32_t rate) {
    if (width <= 0 || height <= 0) return;
    const auto cells = FpsOverlayCells("FPS: " + std::to_string(rate));
    const float cell = height >= 600 ? 4.0f : 2.0f;
    const float left = 2 * cell, top = static_cast<float>(height) - 9 * cell;

    const GLenum caps[] = {GL_LIGHTING, GL_TEXTURE_2D, GL_DEPTH_TEST, GL_FOG, GL_CULL_FACE, GL_BLEND, GL_ALPHA_TEST,
                           GL_STENCIL_TEST, GL_COLOR_MATERIAL};
    GLboolean enabled[std::size(caps)];
    for (std::size_t i = 0; i < std::size(caps); ++i) {
        enabled[i] = gl.IsEnabled(caps[i]);
        gl.Disable(caps[i]);
    }
    GLfloat colour[4];
    gl.GetFloatv(GL_CURRENT_COLOR, colour);
    gl.MatrixMode(GL_PROJECTION);
    gl.PushMatrix();
    gl.LoadIdentity();
    // y down, as the cells count their rows.
    gl.Ortho(0, width, height, 0, -1, 1);
    gl.MatrixMode(GL_MODELVIEW);
    gl.PushMatrix();
    gl.LoadIdentity();
    gl.Begin(GL_QUADS);
    // A dark shadow one cell down and right keeps the digits readable over bright water.
    for (const float shift : {cell, 0.0f}) {
        if (shift > 0)
            gl.Color4f(0, 0, 0, 1);
        else
            gl.Color4f(1, 1, 0.6f, 1);
        for (const auto& [column, row] : cells) {
            const float x = left + column * cell + shift, y = top + row * cell + shift;
            gl.Vertex2f(x, y);
            gl.Vertex2f(x, y + cell);
            gl.Vertex2f(x + cell, y + cell);
            gl.Vertex2f(x + cell, y);
        }
    }
    gl.End();
    gl.PopMatrix();
    gl.MatrixMode(GL_PROJECTION);
    gl.PopMatrix();
    gl.MatrixMode(GL_MODELVIEW);
    gl.Color4fv(colour);
    for (std::size_t i = 0; i < std::size(caps); ++i)
        if (enabled[i]) gl.Enable(caps[i]);
}
