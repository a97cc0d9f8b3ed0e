#include "scene/tank_drawing.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

#include "gl/gl_api.h"
#include "gl/opengl_engine.h"
#include "scene/layer_math.h"

namespace {

void SetSingleColour(TGLPrimitive& primitive, const Colour& colour) {
    if (primitive.Colors.Count() != 1) primitive.Colors.SetCount(1);
    primitive.Colors.Items()[0] = colour;
}

// A missing texture draws the layer untextured, never with whatever was bound before.
void BindOrUnbind(TGLTexture* texture) {
    if (texture)
        texture->Bind();
    else
        gl.BindTexture(GL_TEXTURE_2D, 0);
}

// draw(x) with the layer moved to x across and height up: the layer itself first, then its
// copies outward. The built-in layers' pictures repeat a whole number of times across a layer, so
// the copies join it without a seam.
template <typename F>
void AtEachTile(const TLayerTiles& tiles, float height, F&& draw) {
    auto at = [&](float x) {
        gl.PushMatrix();
        gl.Translatef(x, height, 0);
        draw();
        gl.PopMatrix();
    };
    at(0);
    for (std::int32_t k = 1; k <= std::max(tiles.Left, tiles.Right); ++k) {
        if (k <= tiles.Left) at(-tiles.Width * static_cast<float>(k));
        if (k <= tiles.Right) at(tiles.Width * static_cast<float>(k));
    }
}

void DrawLayer(TGLPrimitive& layer, TGLTexture* texture, float height, const TLayerTiles& tiles) {
    DisableBlending();
    BindOrUnbind(texture);
    AtEachTile(tiles, height, [&] { layer.Draw(); });
}

void DrawCaustics(TGLPrimitive& layer, TGLTexture* texture, float opacity, float height, const TLayerTiles& tiles) {
    EnableBlending();
    gl.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    SetSingleColour(layer, {1.0f, 1.0f, 1.0f, opacity});
    if (opacity <= 0.0f) return;
    BindOrUnbind(texture);
    AtEachTile(tiles, height, [&] { layer.Draw(); });
}

void SetCombine(GLenum rgb, std::initializer_list<std::pair<GLenum, GLenum>> sources) {
    gl.TexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, static_cast<GLint>(GL_COMBINE));
    gl.TexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, static_cast<GLint>(rgb));
    GLenum source = GL_SOURCE0_RGB, operand = GL_OPERAND0_RGB;
    for (const auto& [from, part] : sources) {
        gl.TexEnvi(GL_TEXTURE_ENV, source++, static_cast<GLint>(from));
        gl.TexEnvi(GL_TEXTURE_ENV, operand++, static_cast<GLint>(part));
    }
    gl.TexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, static_cast<GLint>(GL_REPLACE));
    gl.TexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_ALPHA, static_cast<GLint>(GL_PREVIOUS));
    gl.TexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_ALPHA, static_cast<GLint>(GL_SRC_ALPHA));
}

void DrawBackdrop(TGLPrimitive& backdrop, const TTankLook& look) {
    DisableFog();
    DisableBlending();
    DisableTexturing();
    const TSceneSettings& settings = look.Settings;
    const auto corners = BackdropVertices(settings.FieldOfView, settings.FarDistance, look.Width, look.Height,
                                          settings.SurfaceY, settings.BottomY);
    std::copy(corners.begin(), corners.end(), backdrop.Vertices.Items());
    if (backdrop.Colors.Count() != 4) backdrop.Colors.SetCount(4);
    Colour* colours = backdrop.Colors.Items();
    colours[0] = look.Theme.UpperColor;
    colours[1] = look.Theme.LowerColor;
    colours[2] = look.Theme.LowerColor;
    colours[3] = look.Theme.UpperColor;
    backdrop.Draw();
}

// Every fish back to front, placed and turned by its particle.
void DrawEachFish(const TGLPrimitive& primitive, TFishes& fishes) {
    for (std::int32_t i = 0; i < fishes.Count; ++i) {
        const TParticle p = fishes.SortItems(i);
        gl.PushMatrix();
        gl.Translatef(p.Position.x, p.Position.y, p.Position.z);
        gl.Rotatef(p.Rotation.y, 0, 1, 0);
        gl.Rotatef(p.Rotation.x, 1, 0, 0);
        gl.Rotatef(p.Rotation.z, 0, 0, 1);
        primitive.Draw();
        gl.PopMatrix();
    }
}

// False when the species has no primitive for the pass.
bool DrawFishPass(TGLMaterial& material, const TSpeciesAssets& species, TFishes& fishes, int pass,
                  const Colour& fishColor) {
    if (!species.Primitives || species.Primitives->Count() <= pass) return false;
    gl.DepthFunc(GL_LEQUAL);
    if (pass == 1)
        EnableBlending();
    else
        DisableBlending();
    gl.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    material.SetDiffuse(fishColor);
    material.SetAmbient(fishColor);
    material.SetSpecular(fishColor);
    material.Apply();
    EnableTexturing();
    BindOrUnbind(species.Texture.get());
    DrawEachFish(*species.Primitives->Get(pass), fishes);
    return true;
}

// False when the species has no primitive to shine on.
bool DrawShine(TGLMaterial& material, TGLTexture* shineTexture, const TSpeciesAssets& species, TFishes& fishes,
               float shineAlpha) {
    if (!species.Primitives || species.Primitives->Count() == 0) return false;
    const TGLPrimitive& primitive = *species.Primitives->Get(0);
    EnableBlending();
    gl.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    gl.DepthFunc(GL_EQUAL);
    gl.TexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    gl.TexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    gl.Enable(GL_TEXTURE_GEN_S);
    gl.Enable(GL_TEXTURE_GEN_T);
    material.SetAmbient({1, 1, 1, 1});
    material.SetSpecular({1, 1, 1, 1});
    material.SetDiffuse({1, 1, 1, shineAlpha});
    material.Apply();
    BindOrUnbind(shineTexture);
    DrawEachFish(primitive, fishes);
    gl.Disable(GL_TEXTURE_GEN_S);
    gl.Disable(GL_TEXTURE_GEN_T);
    return true;
}

void DrawBubbles(TAquariumAssets& assets, const TBubbles& bubbles, const Colour& colour) {
    DisableFog();
    // Lit, with the bubble colour as the material's emission and nothing else: the same colour
    // as unlit, through the fish's vertex path. A software renderer (llvmpipe) then builds one
    // triangle-setup routine fewer for the first frame (some 5 ms of LLVM compiling at start).
    TGLMaterial& material = *assets.Material;
    EnableLighting();
    material.SetAmbient({0, 0, 0, 0});
    material.SetSpecular({0, 0, 0, 0});
    material.SetDiffuse({0, 0, 0, colour.a});
    material.SetEmission({colour.r, colour.g, colour.b, 1});
    material.Apply();
    EnableBlending();
    gl.Enable(GL_ALPHA_TEST);
    gl.AlphaFunc(GL_GREATER, 0.1f);
    gl.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    gl.DepthFunc(GL_LEQUAL);
    EnableDepthTest();
    EnableTexturing();
    BindOrUnbind(assets.BubbleTexture.get());
    TGLPrimitive& model = *assets.BubbleModel;
    SetSingleColour(model, colour);
    for (std::int32_t i = 0; i < bubbles.Count; ++i) {
        const Vector& position = bubbles.Items[static_cast<std::size_t>(i)].Position;
        gl.PushMatrix();
        gl.Translatef(position.x, position.y, position.z);
        model.Draw();
        gl.PopMatrix();
    }
    gl.Disable(GL_ALPHA_TEST);
    // The fish set every other term of the material themselves.
    material.SetEmission({0, 0, 0, 0});
    material.Apply();
}

}  // namespace

void TTankDrawing::Draw(TAquariumAssets& assets, TTank& tank, const TTankLook& look) {
    DrawBackground(assets, look);
    const std::int32_t species = std::min<std::int32_t>(tank.SpeciesCount(), static_cast<std::int32_t>(assets.Species.size()));
    for (std::int32_t i = 0; i < species; ++i) {
        tank.Fishes(i).Sort();
        DrawSpecies(assets, assets.Species[static_cast<std::size_t>(i)], tank.Fishes(i), 0, look);
    }
    for (std::int32_t i = 0; i < species; ++i)
        DrawSpecies(assets, assets.Species[static_cast<std::size_t>(i)], tank.Fishes(i), 1, look);
    DrawBubbles(assets, tank.Bubbles(), look.Theme.BubbleColor);
}

void TTankDrawing::DrawBackground(TAquariumAssets& assets, const TTankLook& look) {
    // Without depth the background lies behind everything drawn after it.
    DisableLighting();
    DisableDepthTest();
    DisableFog();
    EnableTexturing();
    const TSceneSettings& settings = look.Settings;
    const TWaterTheme& theme = look.Theme;
    TThemeTextures& textures = look.Textures;
    // A view wider than the layers reach (21:9, 32:9, monitors side by side) sees copies of them.
    const double aspect = static_cast<double>(look.Width) / std::max<std::int32_t>(look.Height, 1);
    const TLayerTiles surface = LayerTiles(assets.SurfaceModel->Vertices, settings.FieldOfView, aspect);
    const TLayerTiles bottom = LayerTiles(assets.BottomModel->Vertices, settings.FieldOfView, aspect);
    if (look.SinglePassLayers) {
        DrawWaterLayer(*assets.SurfaceModel, textures.WaterTexture.get(), *assets.SurfaceCaustics,
                       textures.CausticsTexture.get(), settings.SurfaceCausticsAlpha, *assets.SurfaceFade,
                       theme.UpperColor, settings.SurfaceY, surface, settings);
        DrawWaterLayer(*assets.BottomModel, textures.BottomTexture.get(), *assets.BottomCaustics,
                       textures.CausticsTexture.get(), settings.BottomCausticsAlpha, *assets.BottomFade,
                       theme.LowerColor, settings.BottomY, bottom, settings);
        DrawBackdrop(*assets.Backdrop, look);
        return;
    }
    DrawLayer(*assets.SurfaceModel, textures.WaterTexture.get(), settings.SurfaceY, surface);
    DrawLayer(*assets.BottomModel, textures.BottomTexture.get(), settings.BottomY, bottom);
    DrawCaustics(*assets.SurfaceCaustics, textures.CausticsTexture.get(), settings.SurfaceCausticsAlpha,
                 settings.SurfaceY, surface);
    DrawCaustics(*assets.BottomCaustics, textures.CausticsTexture.get(), settings.BottomCausticsAlpha,
                 settings.BottomY, bottom);
    DrawFade(*assets.SurfaceFade, theme.UpperColor, settings.SurfaceY, surface, settings);
    DrawFade(*assets.BottomFade, theme.LowerColor, settings.BottomY, bottom, settings);
    DrawBackdrop(*assets.Backdrop, look);
}

void TTankDrawing::DrawWaterLayer(TGLPrimitive& layer, TGLTexture* texture, const TGLPrimitive& caustics,
                                  TGLTexture* causticsTexture, float opacity, TGLPrimitive& fade,
                                  const Colour& fadeColour, float height, const TLayerTiles& tiles,
                                  const TSceneSettings& settings) {
    const std::int32_t vertexCount = layer.Vertices.Count();
    if (!texture || !causticsTexture || layer.PrimitiveType() != ptTriangles || caustics.TexCoords.Count() != vertexCount ||
        layer.TexCoords.Count() != vertexCount || fade.Vertices.Count() != vertexCount) {
        DrawLayer(layer, texture, height, tiles);
        DrawCaustics(const_cast<TGLPrimitive&>(caustics), causticsTexture, opacity, height, tiles);
        DrawFade(fade, fadeColour, height, tiles, settings);
        return;
    }
    FadeColors(fade.Vertices, fade.Colors, {fadeColour.r, fadeColour.g, fadeColour.b, 0.0f},
               {fadeColour.r, fadeColour.g, fadeColour.b, 1.0f}, -settings.FadeStart, -settings.FadeEnd);
    DisableBlending();
    DisableLighting();
    EnableTexturing();
    // Three stages give what the layer, its blended caustics and its blended fade give as passes:
    // unit 0 the layer's texture; unit 1 caustics * a + that * (1 - a) with a the caustics'
    // opacity; unit 2 fade * f + that * (1 - f) with the fade's colour and opacity f per vertex.
    texture->Bind();
    gl.TexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, static_cast<GLint>(GL_REPLACE));
    gl.ActiveTexture(GL_TEXTURE1);
    gl.Enable(GL_TEXTURE_2D);
    causticsTexture->Bind();
    SetCombine(GL_INTERPOLATE, {{GL_TEXTURE, GL_SRC_COLOR}, {GL_PREVIOUS, GL_SRC_COLOR}, {GL_CONSTANT, GL_SRC_ALPHA}});
    const GLfloat constant[4] = {0.0f, 0.0f, 0.0f, std::max(opacity, 0.0f)};
    gl.TexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, constant);
    gl.ActiveTexture(GL_TEXTURE2);
    gl.Enable(GL_TEXTURE_2D);  // a stage runs only with a texture; its texels are not used
    causticsTexture->Bind();
    SetCombine(GL_INTERPOLATE,
               {{GL_PRIMARY_COLOR, GL_SRC_COLOR}, {GL_PREVIOUS, GL_SRC_COLOR}, {GL_PRIMARY_COLOR, GL_SRC_ALPHA}});
    gl.ActiveTexture(GL_TEXTURE0);

    gl.EnableClientState(GL_VERTEX_ARRAY);
    gl.VertexPointer(3, GL_FLOAT, 12, layer.Vertices.Data());
    gl.EnableClientState(GL_COLOR_ARRAY);
    gl.ColorPointer(4, GL_FLOAT, 16, fade.Colors.Data());
    gl.DisableClientState(GL_NORMAL_ARRAY);
    gl.EnableClientState(GL_TEXTURE_COORD_ARRAY);
    gl.TexCoordPointer(2, GL_FLOAT, 8, layer.TexCoords.Data());
    gl.ClientActiveTexture(GL_TEXTURE1);
    gl.EnableClientState(GL_TEXTURE_COORD_ARRAY);
    gl.TexCoordPointer(2, GL_FLOAT, 8, caustics.TexCoords.Data());
    gl.ClientActiveTexture(GL_TEXTURE2);
    gl.EnableClientState(GL_TEXTURE_COORD_ARRAY);
    gl.TexCoordPointer(2, GL_FLOAT, 8, caustics.TexCoords.Data());
    AtEachTile(tiles, height, [&] {
        if (layer.Indices.Count() > 0)
            gl.DrawElements(GL_TRIANGLES, layer.Indices.Count(), GL_UNSIGNED_INT, layer.Indices.Data());
        else
            gl.DrawArrays(GL_TRIANGLES, 0, vertexCount);
    });

    // Units 1 and 2 off and unit 0 modulating again: every later pass draws as before.
    for (GLenum unit : {GL_TEXTURE2, GL_TEXTURE1}) {
        gl.ClientActiveTexture(unit);
        gl.DisableClientState(GL_TEXTURE_COORD_ARRAY);
        gl.ActiveTexture(unit);
        gl.TexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, static_cast<GLint>(GL_MODULATE));
        gl.Disable(GL_TEXTURE_2D);
    }
    gl.ClientActiveTexture(GL_TEXTURE0);
    gl.ActiveTexture(GL_TEXTURE0);
    gl.TexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, static_cast<GLint>(GL_MODULATE));
    gl.DisableClientState(GL_COLOR_ARRAY);
}

void TTankDrawing::DrawFade(TGLPrimitive& layer, const Colour& colour, float height, const TLayerTiles& tiles,
                            const TSceneSettings& settings) {
    DisableFog();
    DisableTexturing();
    EnableBlending();
    gl.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const Colour clear{colour.r, colour.g, colour.b, 0.0f};
    const Colour full{colour.r, colour.g, colour.b, 1.0f};
    FadeColors(layer.Vertices, layer.Colors, clear, full, -settings.FadeStart, -settings.FadeEnd);

    const std::int32_t vertexCount = layer.Vertices.Count();
    if (layer.PrimitiveType() == ptTriangles && layer.Colors.Count() == vertexCount && layer.Indices.Count() >= 3) {
        // Triangles whose three corners are fully transparent change no pixel (no depth is
        // written here): draw only the others. Near the camera they cover most of the screen.
        const Index* indices = layer.Indices.Items();
        const Colour* colours = layer.Colors.Items();
        const std::int32_t indexCount = layer.Indices.Count() / 3 * 3;
        std::int32_t kept = 0;
        auto opaque = [&](Index i) { return i < 0 || i >= vertexCount || colours[i].a != 0.0f; };
        for (std::int32_t i = 0; i < indexCount; i += 3)
            if (opaque(indices[i]) || opaque(indices[i + 1]) || opaque(indices[i + 2])) kept += 3;
        if (visibleFade_.Count() != kept) visibleFade_.SetCount(kept);
        Index* out = visibleFade_.Items();
        for (std::int32_t i = 0; i < indexCount; i += 3)
            if (opaque(indices[i]) || opaque(indices[i + 1]) || opaque(indices[i + 2])) {
                *out++ = indices[i];
                *out++ = indices[i + 1];
                *out++ = indices[i + 2];
            }
        if (kept > 0) {
            gl.EnableClientState(GL_VERTEX_ARRAY);
            gl.VertexPointer(3, GL_FLOAT, 12, layer.Vertices.Data());
            gl.EnableClientState(GL_COLOR_ARRAY);
            gl.ColorPointer(4, GL_FLOAT, 16, layer.Colors.Data());
            gl.DisableClientState(GL_NORMAL_ARRAY);
            gl.DisableClientState(GL_TEXTURE_COORD_ARRAY);
            AtEachTile(tiles, height, [&] { gl.DrawElements(GL_TRIANGLES, kept, GL_UNSIGNED_INT, visibleFade_.Data()); });
        }
    } else {
        AtEachTile(tiles, height, [&] { layer.Draw(); });
    }
}

void TTankDrawing::DrawSpecies(TAquariumAssets& assets, const TSpeciesAssets& species, TFishes& fishes, int pass,
                               const TTankLook& look) {
    DisableFog();
    EnableLighting();
    EnableDepthTest();
    assets.Light->SetSpotDirection({-1, -1, -1});
    assets.Light->Enable();
    if (DrawFishPass(*assets.Material, species, fishes, pass, look.Theme.FishColor) && pass == 0)
        FishDrawn += fishes.Count;
    if (look.Settings.ShineAlpha > 0.0f &&
        DrawShine(*assets.Material, assets.ShineTexture.get(), species, fishes, look.Settings.ShineAlpha))
        ++ShinePasses;
}
