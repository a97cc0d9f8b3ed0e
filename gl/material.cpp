#include "gl/material.h"

#include "gl/gl_api.h"

void TGLMaterial::SetAmbient(const Colour& c) {
    ambient_ = c;
    changed_ |= kAmbient;
}

void TGLMaterial::SetDiffuse(const Colour& c) {
    diffuse_ = c;
    changed_ |= kDiffuse;
}

void TGLMaterial::SetSpecular(const Colour& c) {
    specular_ = c;
    changed_ |= kSpecular;
}

void TGLMaterial::SetEmission(const Colour& c) {
    emission_ = c;
    changed_ |= kEmission;
}

void TGLMaterial::SetShininess(float s) {
    shininess_ = s;
    changed_ |= kShininess;
}

void TGLMaterial::SetBackFace(bool on) {
    backFace_ = on;
    changed_ |= kAll;
}

void TGLMaterial::SetFrontFace(bool on) {
    frontFace_ = on;
    changed_ |= kAll;
}

void TGLMaterial::Apply() {
    if (changed_ == 0) return;
    const GLenum face = frontFace_ && backFace_ ? GL_FRONT_AND_BACK : frontFace_ ? GL_FRONT : GL_BACK;
    if (changed_ & kAmbient) gl.Materialfv(face, GL_AMBIENT, &ambient_.r);
    if (changed_ & kDiffuse) gl.Materialfv(face, GL_DIFFUSE, &diffuse_.r);
    if (changed_ & kSpecular) gl.Materialfv(face, GL_SPECULAR, &specular_.r);
    if (changed_ & kEmission) gl.Materialfv(face, GL_EMISSION, &emission_.r);
    if (changed_ & kShininess) gl.Materialf(face, GL_SHININESS, shininess_);
    changed_ = 0;
}

void TGLMaterial::ApplyAll() {
    changed_ = 0x7FFFFFFF;
    Apply();
}
