#include "gl/light.h"

#include "gl/gl_api.h"

void TGLLight::SetAmbient(const Colour& c) { ambient_ = c; changed_ |= kAmbient; }
void TGLLight::SetDiffuse(const Colour& c) { diffuse_ = c; changed_ |= kDiffuse; }
void TGLLight::SetSpecular(const Colour& c) { specular_ = c; changed_ |= kSpecular; }
void TGLLight::SetPosition(const Vector& v) { position_ = v; changed_ |= kPosition; }
void TGLLight::SetSpotDirection(const Vector& v) { spotDirection_ = v; changed_ |= kSpotDirection; }
void TGLLight::SetSpotExponent(float value) { spotExponent_ = value; changed_ |= kSpotExponent; }
void TGLLight::SetSpotCutoff(float value) { spotCutoff_ = value; changed_ |= kSpotCutoff; }
void TGLLight::SetConstantAttenuation(float value) { constantAttenuation_ = value; changed_ |= kConstantAttenuation; }
void TGLLight::SetLinearAttenuation(float value) { linearAttenuation_ = value; changed_ |= kLinearAttenuation; }
void TGLLight::SetQuadraticAttenuation(float value) { quadraticAttenuation_ = value; changed_ |= kQuadraticAttenuation; }
void TGLLight::SetDirectional(bool on) { directional_ = on; changed_ |= kDirectional; }
void TGLLight::SetLocalViewer(bool on) { localViewer_ = on; changed_ |= kLocalViewer; }
void TGLLight::SetTwoSide(bool on) { twoSide_ = on; changed_ |= kTwoSide; }
void TGLLight::SetLightIndex(std::int32_t index) { lightIndex_ = index; changed_ |= kAll; }

void TGLLight::Apply() {
    if (changed_ == 0) return;
    const GLenum n = GL_LIGHT0 + static_cast<GLenum>(lightIndex_);
    if (changed_ & kAmbient) gl.Lightfv(n, GL_AMBIENT, &ambient_.r);
    if (changed_ & kDiffuse) gl.Lightfv(n, GL_DIFFUSE, &diffuse_.r);
    if (changed_ & kSpecular) gl.Lightfv(n, GL_SPECULAR, &specular_.r);
    if (directional_) {
        // A directional light shines along SpotDirection: OpenGL wants the vector towards it.
        if (changed_ & (kDirectional | kSpotDirection)) {
            const GLfloat towards[4] = {-spotDirection_.x, -spotDirection_.y, -spotDirection_.z, 0.0f};
            gl.Lightfv(n, GL_POSITION, towards);
        }
    } else {
        if (changed_ & (kDirectional | kPosition)) {
            const GLfloat position[4] = {position_.x, position_.y, position_.z, 1.0f};
            gl.Lightfv(n, GL_POSITION, position);
        }
        if (changed_ & kSpotDirection) gl.Lightfv(n, GL_SPOT_DIRECTION, &spotDirection_.x);
    }
    if (changed_ & kSpotExponent) gl.Lightf(n, GL_SPOT_EXPONENT, spotExponent_);
    if (changed_ & kSpotCutoff) gl.Lightf(n, GL_SPOT_CUTOFF, spotCutoff_);
    if (changed_ & kLocalViewer) gl.LightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, localViewer_ ? 1 : 0);
    if (changed_ & kTwoSide) gl.LightModeli(GL_LIGHT_MODEL_TWO_SIDE, twoSide_ ? 1 : 0);
    if (changed_ & kConstantAttenuation) gl.Lightf(n, GL_CONSTANT_ATTENUATION, constantAttenuation_);
    if (changed_ & kLinearAttenuation) gl.Lightf(n, GL_LINEAR_ATTENUATION, linearAttenuation_);
    if (changed_ & kQuadraticAttenuation) gl.Lightf(n, GL_QUADRATIC_ATTENUATION, quadraticAttenuation_);
    changed_ = 0;
}

void TGLLight::ApplyAll() {
    changed_ = 0x7FFFFFFF;
    Apply();
}

void TGLLight::Enable() {
    ApplyAll();
    gl.Enable(GL_LIGHT0 + static_cast<GLenum>(lightIndex_));
}
