// The aquarium's drawing passes: the background (layers, caustics, fades, backdrop), each
// species' opaque and translucent pass with its shine, and the bubbles.
#include <algorithm>
#include <initializer_list>
#include <utility>

#include "gl/gl_api.h"
#include "scene/aquarium_scene.h"
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

}  // namespace

void TAquarium::DrawBackground() {
    // Without depth the background lies behind everything drawn after it.
    DisableLighting();
    DisableDepthTest();
    DisableFog();
    EnableTexturing();
    TThemeTextures& textures = CurrentThemeTextures();
    const TWaterTheme& theme = Theme();
    if (singlePassLayers_) {
        DrawWaterLayer(*surfaceModel_, textures.WaterTexture.get(), *surfaceCaustics_, textures.CausticsTexture.get(),
                       settings_.SurfaceCausticsAlpha, *surfaceFade_, theme.UpperColor, settings_.SurfaceY);
        DrawWaterLayer(*bottomModel_, textures.BottomTexture.get(), *bottomCaustics_, textures.CausticsTexture.get(),
                       settings_.BottomCausticsAlpha, *bottomFade_, theme.LowerColor, settings_.BottomY);
        DrawBackdrop();
        return;
    }
    {
        DrawLayer(*surfaceModel_, textures.WaterTexture.get(), settings_.SurfaceY);
        DrawLayer(*bottomModel_, textures.BottomTexture.get(), settings_.BottomY);
        DrawCaustics(*surfaceCaustics_, textures.CausticsTexture.get(), settings_.SurfaceCausticsAlpha,
                     settings_.SurfaceY);
        DrawCaustics(*bottomCaustics_, textures.CausticsTexture.get(), settings_.BottomCausticsAlpha,
                     settings_.BottomY);
    }
    DrawFade(*surfaceFade_, theme.UpperColor, settings_.SurfaceY);
    DrawFade(*bottomFade_, theme.LowerColor, settings_.BottomY);
    DrawBackdrop();
}

void TAquarium::DrawLayer(TGLPrimitive& layer, TGLTexture* texture, float height) {
    DisableBlending();
    BindOrUnbind(texture);
    gl.PushMatrix();
    gl.Translatef(0, height, 0);
    layer.Draw();
    gl.PopMatrix();
}

void TAquarium::DrawCaustics(TGLPrimitive& layer, TGLTexture* texture, float opacity, float height) {
    EnableBlending();
    gl.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    SetSingleColour(layer, {1.0f, 1.0f, 1.0f, opacity});
    if (opacity <= 0.0f) return;
    BindOrUnbind(texture);
    gl.PushMatrix();
    gl.Translatef(0, height, 0);
    layer.Draw();
    gl.PopMatrix();
}

namespace {

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

}  // namespace

void TAquarium::DrawWaterLayer(TGLPrimitive& layer, TGLTexture* texture, const TGLPrimitive& caustics,
                               TGLTexture* causticsTexture, float opacity, TGLPrimitive& fade, const Colour& fadeColour,
                               float height) {
    const std::int32_t vertexCount = layer.Vertices.Count();
    if (!texture || !causticsTexture || layer.PrimitiveType() != ptTriangles || caustics.TexCoords.Count() != vertexCount ||
        layer.TexCoords.Count() != vertexCount || fade.Vertices.Count() != vertexCount) {
        DrawLayer(layer, texture, height);
        DrawCaustics(const_cast<TGLPrimitive&>(caustics), causticsTexture, opacity, height);
        DrawFade(fade, fadeColour, height);
        return;
    }
    FadeColors(fade.Vertices, fade.Colors, {fadeColour.r, fadeColour.g, fadeColour.b, 0.0f},
               {fadeColour.r, fadeColour.g, fadeColour.b, 1.0f}, -settings_.FadeStart, -settings_.FadeEnd);
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

    gl.PushMatrix();
    gl.Translatef(0, height, 0);
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
    if (layer.Indices.Count() > 0)
        gl.DrawElements(GL_TRIANGLES, layer.Indices.Count(), GL_UNSIGNED_INT, layer.Indices.Data());
    else
        gl.DrawArrays(GL_TRIANGLES, 0, vertexCount);
    gl.PopMatrix();

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

void TAquarium::DrawFade(TGLPrimitive& layer, const Colour& colour, float height) {
    DisableFog();
    DisableTexturing();
    EnableBlending();
    gl.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const Colour clear{colour.r, colour.g, colour.b, 0.0f};
    const Colour full{colour.r, colour.g, colour.b, 1.0f};
    FadeColors(layer.Vertices, layer.Colors, clear, full, -settings_.FadeStart, -settings_.FadeEnd);

    gl.PushMatrix();
    gl.Translatef(0, height, 0);
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
            gl.DrawElements(GL_TRIANGLES, kept, GL_UNSIGNED_INT, visibleFade_.Data());
        }
    } else {
        layer.Draw();
    }
    gl.PopMatrix();
}

void TAquarium::DrawBackdrop() {
    DisableFog();
    DisableBlending();
    DisableTexturing();
    const TWaterTheme& theme = Theme();
    const auto corners = BackdropVertices(settings_.FieldOfView, settings_.FarDistance, tankWidth_, tankHeight_,
                                          settings_.SurfaceY, settings_.BottomY);
    std::copy(corners.begin(), corners.end(), backdrop_->Vertices.Items());
    if (backdrop_->Colors.Count() != 4) backdrop_->Colors.SetCount(4);
    Colour* colours = backdrop_->Colors.Items();
    colours[0] = theme.UpperColor;
    colours[1] = theme.LowerColor;
    colours[2] = theme.LowerColor;
    colours[3] = theme.UpperColor;
    backdrop_->Draw();
}

void TAquarium::DrawSpecies(TSpeciesObjects& species, int pass) {
    DisableFog();
    EnableLighting();
    EnableDepthTest();
    light_->SetSpotDirection({-1, -1, -1});
    light_->Enable();
    DrawFishPass(species, pass);
    if (settings_.ShineAlpha > 0.0f) DrawShine(species);
}

void TAquarium::DrawFishPass(TSpeciesObjects& species, int pass) {
    if (!species.Primitives || species.Primitives->Count() <= pass) return;
    gl.DepthFunc(GL_LEQUAL);
    if (pass == 1)
        EnableBlending();
    else
        DisableBlending();
    gl.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const Colour& fishColor = Theme().FishColor;
    material_->SetDiffuse(fishColor);
    material_->SetAmbient(fishColor);
    material_->SetSpecular(fishColor);
    material_->Apply();
    EnableTexturing();
    BindOrUnbind(species.Texture.get());

    const TGLPrimitive& primitive = *species.Primitives->Get(pass);
    TFishes& fishes = *species.Fishes;
    DrawEachFish(primitive, fishes);
    if (pass == 0) fishDrawn_ += fishes.Count;
}

// Every fish back to front, placed and turned by its particle.
void TAquarium::DrawEachFish(const TGLPrimitive& primitive, TFishes& fishes) {
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

void TAquarium::DrawShine(TSpeciesObjects& species) {
    if (!species.Primitives || species.Primitives->Count() == 0) return;
    const TGLPrimitive& primitive = *species.Primitives->Get(0);
    EnableBlending();
    gl.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    gl.DepthFunc(GL_EQUAL);
    gl.TexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    gl.TexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    gl.Enable(GL_TEXTURE_GEN_S);
    gl.Enable(GL_TEXTURE_GEN_T);
    material_->SetAmbient({1, 1, 1, 1});
    material_->SetSpecular({1, 1, 1, 1});
    material_->SetDiffuse({1, 1, 1, settings_.ShineAlpha});
    material_->Apply();
    BindOrUnbind(shineTexture_.get());
    DrawEachFish(primitive, *species.Fishes);
    gl.Disable(GL_TEXTURE_GEN_S);
    gl.Disable(GL_TEXTURE_GEN_T);
    ++shinePasses_;
}

void TAquarium::DrawBubbles() {
    DisableFog();
    // Lit, with the bubble colour as the material's emission and nothing else: the same colour
    // as unlit, through the fish's vertex path. A software renderer (llvmpipe) then builds one
    // triangle-setup routine fewer for the first frame (some 5 ms of LLVM compiling at start).
    const Colour& colour = Theme().BubbleColor;
    EnableLighting();
    material_->SetAmbient({0, 0, 0, 0});
    material_->SetSpecular({0, 0, 0, 0});
    material_->SetDiffuse({0, 0, 0, colour.a});
    material_->SetEmission({colour.r, colour.g, colour.b, 1});
    material_->Apply();
    EnableBlending();
    gl.Enable(GL_ALPHA_TEST);
    gl.AlphaFunc(GL_GREATER, 0.1f);
    gl.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    gl.DepthFunc(GL_LEQUAL);
    EnableDepthTest();
    EnableTexturing();
    BindOrUnbind(bubbleTexture_.get());
    SetSingleColour(*bubbleModel_, colour);
    for (std::int32_t i = 0; i < bubbles_->Count; ++i) {
        const Vector& position = bubbles_->Items[static_cast<std::size_t>(i)].Position;
        gl.PushMatrix();
        gl.Translatef(position.x, position.y, position.z);
        bubbleModel_->Draw();
        gl.PopMatrix();
    }
    gl.Disable(GL_ALPHA_TEST);
    // The fish set every other term of the material themselves.
    material_->SetEmission({0, 0, 0, 0});
    material_->Apply();
}
