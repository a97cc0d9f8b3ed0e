#pragma once
// The OpenGL 1.1 (plus 1.2 additions), GLU and WGL entry points the program calls, resolved by
// name at run time into one process-wide table. Portable code calls GL only through `gl`.
// The constants share their names with <GL/gl.h>'s macros: never include both in one file.
#include <cstddef>
#include <cstdint>

// The calling convention of the system's GL entry points. The build defines it where it is not
// the compiler's default (__stdcall on 32-bit Windows, in the top CMakeLists.txt).
#ifndef TW_APIENTRY
#define TW_APIENTRY
#endif

using GLenum = unsigned int;
using GLbitfield = unsigned int;
using GLuint = unsigned int;
using GLint = int;
using GLsizei = int;
using GLboolean = unsigned char;
using GLbyte = signed char;
using GLshort = short;
using GLubyte = unsigned char;
using GLushort = unsigned short;
using GLfloat = float;
using GLclampf = float;
using GLdouble = double;
using GLclampd = double;
using GLvoid = void;

// Boolean and error values
constexpr GLboolean GL_FALSE = 0;
constexpr GLboolean GL_TRUE = 1;
constexpr GLenum GL_NO_ERROR = 0;
constexpr GLenum GL_INVALID_ENUM = 0x0500;
constexpr GLenum GL_INVALID_VALUE = 0x0501;
constexpr GLenum GL_INVALID_OPERATION = 0x0502;
constexpr GLenum GL_STACK_OVERFLOW = 0x0503;
constexpr GLenum GL_STACK_UNDERFLOW = 0x0504;
constexpr GLenum GL_OUT_OF_MEMORY = 0x0505;

// Primitives
constexpr GLenum GL_POINTS = 0x0000;
constexpr GLenum GL_LINES = 0x0001;
constexpr GLenum GL_LINE_LOOP = 0x0002;
constexpr GLenum GL_LINE_STRIP = 0x0003;
constexpr GLenum GL_TRIANGLES = 0x0004;
constexpr GLenum GL_TRIANGLE_STRIP = 0x0005;
constexpr GLenum GL_TRIANGLE_FAN = 0x0006;
constexpr GLenum GL_QUADS = 0x0007;
constexpr GLenum GL_QUAD_STRIP = 0x0008;
constexpr GLenum GL_POLYGON = 0x0009;

// Buffers
constexpr GLbitfield GL_DEPTH_BUFFER_BIT = 0x00000100;
constexpr GLbitfield GL_STENCIL_BUFFER_BIT = 0x00000400;
constexpr GLbitfield GL_COLOR_BUFFER_BIT = 0x00004000;
constexpr GLenum GL_FRONT = 0x0404;
constexpr GLenum GL_BACK = 0x0405;
constexpr GLenum GL_FRONT_AND_BACK = 0x0408;

// Capabilities
constexpr GLenum GL_POINT_SMOOTH = 0x0B10;
constexpr GLenum GL_LINE_SMOOTH = 0x0B20;
constexpr GLenum GL_POLYGON_SMOOTH = 0x0B41;
constexpr GLenum GL_CULL_FACE = 0x0B44;
constexpr GLenum GL_LIGHTING = 0x0B50;
constexpr GLenum GL_COLOR_MATERIAL = 0x0B57;
constexpr GLenum GL_FOG = 0x0B60;
constexpr GLenum GL_DEPTH_TEST = 0x0B71;
constexpr GLenum GL_STENCIL_TEST = 0x0B90;
constexpr GLenum GL_NORMALIZE = 0x0BA1;
constexpr GLenum GL_ALPHA_TEST = 0x0BC0;
constexpr GLenum GL_DITHER = 0x0BD0;
constexpr GLenum GL_BLEND = 0x0BE2;
constexpr GLenum GL_SCISSOR_TEST = 0x0C11;
constexpr GLenum GL_TEXTURE_1D = 0x0DE0;
constexpr GLenum GL_TEXTURE_2D = 0x0DE1;
constexpr GLenum GL_TEXTURE_3D = 0x806F;

// Client arrays
constexpr GLenum GL_VERTEX_ARRAY = 0x8074;
constexpr GLenum GL_NORMAL_ARRAY = 0x8075;
constexpr GLenum GL_COLOR_ARRAY = 0x8076;
constexpr GLenum GL_TEXTURE_COORD_ARRAY = 0x8078;
constexpr GLenum GL_VERTEX_ARRAY_POINTER = 0x808E;
constexpr GLenum GL_NORMAL_ARRAY_POINTER = 0x808F;
constexpr GLenum GL_COLOR_ARRAY_POINTER = 0x8090;
constexpr GLenum GL_TEXTURE_COORD_ARRAY_POINTER = 0x8092;
constexpr GLenum GL_VERTEX_ARRAY_STRIDE = 0x807C;
constexpr GLenum GL_NORMAL_ARRAY_STRIDE = 0x807F;
constexpr GLenum GL_COLOR_ARRAY_STRIDE = 0x8083;
constexpr GLenum GL_TEXTURE_COORD_ARRAY_STRIDE = 0x808A;

// Data types
constexpr GLenum GL_BYTE = 0x1400;
constexpr GLenum GL_UNSIGNED_BYTE = 0x1401;
constexpr GLenum GL_SHORT = 0x1402;
constexpr GLenum GL_UNSIGNED_SHORT = 0x1403;
constexpr GLenum GL_INT = 0x1404;
constexpr GLenum GL_UNSIGNED_INT = 0x1405;
constexpr GLenum GL_FLOAT = 0x1406;
constexpr GLenum GL_DOUBLE = 0x140A;

// Matrices
constexpr GLenum GL_MATRIX_MODE = 0x0BA0;
constexpr GLenum GL_MODELVIEW = 0x1700;
constexpr GLenum GL_PROJECTION = 0x1701;
constexpr GLenum GL_TEXTURE = 0x1702;
constexpr GLenum GL_MODELVIEW_MATRIX = 0x0BA6;
constexpr GLenum GL_PROJECTION_MATRIX = 0x0BA7;
constexpr GLenum GL_VIEWPORT = 0x0BA2;

// Current values
constexpr GLenum GL_CURRENT_COLOR = 0x0B00;
constexpr GLenum GL_CURRENT_NORMAL = 0x0B02;
constexpr GLenum GL_CURRENT_TEXTURE_COORDS = 0x0B03;

// Polygons and shading
constexpr GLenum GL_POINT = 0x1B00;
constexpr GLenum GL_LINE = 0x1B01;
constexpr GLenum GL_FILL = 0x1B02;
constexpr GLenum GL_POLYGON_MODE = 0x0B40;
constexpr GLenum GL_FLAT = 0x1D00;
constexpr GLenum GL_SMOOTH = 0x1D01;
constexpr GLenum GL_SHADE_MODEL = 0x0B54;
constexpr GLenum GL_CW = 0x0900;
constexpr GLenum GL_CCW = 0x0901;

// Hints
constexpr GLenum GL_PERSPECTIVE_CORRECTION_HINT = 0x0C50;
constexpr GLenum GL_POINT_SMOOTH_HINT = 0x0C51;
constexpr GLenum GL_LINE_SMOOTH_HINT = 0x0C52;
constexpr GLenum GL_POLYGON_SMOOTH_HINT = 0x0C53;
constexpr GLenum GL_FOG_HINT = 0x0C54;
constexpr GLenum GL_DONT_CARE = 0x1100;
constexpr GLenum GL_FASTEST = 0x1101;
constexpr GLenum GL_NICEST = 0x1102;

// Lights and materials
constexpr GLenum GL_LIGHT0 = 0x4000;
constexpr GLenum GL_LIGHT1 = 0x4001;
constexpr GLenum GL_LIGHT2 = 0x4002;
constexpr GLenum GL_AMBIENT = 0x1200;
constexpr GLenum GL_DIFFUSE = 0x1201;
constexpr GLenum GL_SPECULAR = 0x1202;
constexpr GLenum GL_POSITION = 0x1203;
constexpr GLenum GL_SPOT_DIRECTION = 0x1204;
constexpr GLenum GL_SPOT_EXPONENT = 0x1205;
constexpr GLenum GL_SPOT_CUTOFF = 0x1206;
constexpr GLenum GL_CONSTANT_ATTENUATION = 0x1207;
constexpr GLenum GL_LINEAR_ATTENUATION = 0x1208;
constexpr GLenum GL_QUADRATIC_ATTENUATION = 0x1209;
constexpr GLenum GL_EMISSION = 0x1600;
constexpr GLenum GL_SHININESS = 0x1601;
constexpr GLenum GL_AMBIENT_AND_DIFFUSE = 0x1602;
constexpr GLenum GL_LIGHT_MODEL_LOCAL_VIEWER = 0x0B51;
constexpr GLenum GL_LIGHT_MODEL_TWO_SIDE = 0x0B52;
constexpr GLenum GL_LIGHT_MODEL_AMBIENT = 0x0B53;

// Blending, depth, alpha test, fog
constexpr GLenum GL_ZERO = 0;
constexpr GLenum GL_ONE = 1;
constexpr GLenum GL_SRC_COLOR = 0x0300;
constexpr GLenum GL_ONE_MINUS_SRC_COLOR = 0x0301;
constexpr GLenum GL_SRC_ALPHA = 0x0302;
constexpr GLenum GL_ONE_MINUS_SRC_ALPHA = 0x0303;
constexpr GLenum GL_DST_ALPHA = 0x0304;
constexpr GLenum GL_ONE_MINUS_DST_ALPHA = 0x0305;
constexpr GLenum GL_DST_COLOR = 0x0306;
constexpr GLenum GL_ONE_MINUS_DST_COLOR = 0x0307;
constexpr GLenum GL_NEVER = 0x0200;
constexpr GLenum GL_LESS = 0x0201;
constexpr GLenum GL_EQUAL = 0x0202;
constexpr GLenum GL_LEQUAL = 0x0203;
constexpr GLenum GL_GREATER = 0x0204;
constexpr GLenum GL_NOTEQUAL = 0x0205;
constexpr GLenum GL_GEQUAL = 0x0206;
constexpr GLenum GL_ALWAYS = 0x0207;
constexpr GLenum GL_FOG_MODE = 0x0B65;
constexpr GLenum GL_FOG_DENSITY = 0x0B62;
constexpr GLenum GL_FOG_START = 0x0B63;
constexpr GLenum GL_FOG_END = 0x0B64;
constexpr GLenum GL_FOG_COLOR = 0x0B66;
constexpr GLenum GL_EXP = 0x0800;
constexpr GLenum GL_EXP2 = 0x0801;

// Textures
constexpr GLenum GL_TEXTURE_MAG_FILTER = 0x2800;
constexpr GLenum GL_TEXTURE_MIN_FILTER = 0x2801;
constexpr GLenum GL_TEXTURE_WRAP_S = 0x2802;
constexpr GLenum GL_TEXTURE_WRAP_T = 0x2803;
constexpr GLenum GL_TEXTURE_PRIORITY = 0x8066;
constexpr GLenum GL_TEXTURE_WIDTH = 0x1000;
constexpr GLenum GL_TEXTURE_HEIGHT = 0x1001;
constexpr GLenum GL_TEXTURE_INTERNAL_FORMAT = 0x1003;
constexpr GLenum GL_TEXTURE_BINDING_1D = 0x8068;
constexpr GLenum GL_TEXTURE_BINDING_2D = 0x8069;
constexpr GLenum GL_NEAREST = 0x2600;
constexpr GLenum GL_LINEAR = 0x2601;
constexpr GLenum GL_NEAREST_MIPMAP_NEAREST = 0x2700;
constexpr GLenum GL_LINEAR_MIPMAP_NEAREST = 0x2701;
constexpr GLenum GL_NEAREST_MIPMAP_LINEAR = 0x2702;
constexpr GLenum GL_LINEAR_MIPMAP_LINEAR = 0x2703;
constexpr GLenum GL_CLAMP = 0x2900;
constexpr GLenum GL_REPEAT = 0x2901;
constexpr GLenum GL_TEXTURE_ENV = 0x2300;
constexpr GLenum GL_TEXTURE_ENV_MODE = 0x2200;
constexpr GLenum GL_TEXTURE_ENV_COLOR = 0x2201;
// Texture units and the combine environment (OpenGL 1.3, GL_ARB_multitexture and
// GL_ARB_texture_env_combine).
constexpr GLenum GL_TEXTURE0 = 0x84C0;
constexpr GLenum GL_TEXTURE1 = 0x84C1;
constexpr GLenum GL_TEXTURE2 = 0x84C2;
constexpr GLenum GL_MAX_TEXTURE_UNITS = 0x84E2;
constexpr GLenum GL_PRIMARY_COLOR = 0x8577;
constexpr GLenum GL_COMBINE = 0x8570;
constexpr GLenum GL_COMBINE_RGB = 0x8571;
constexpr GLenum GL_COMBINE_ALPHA = 0x8572;
constexpr GLenum GL_INTERPOLATE = 0x8575;
constexpr GLenum GL_CONSTANT = 0x8576;
constexpr GLenum GL_PREVIOUS = 0x8578;
constexpr GLenum GL_SOURCE0_RGB = 0x8580;
constexpr GLenum GL_SOURCE1_RGB = 0x8581;
constexpr GLenum GL_SOURCE2_RGB = 0x8582;
constexpr GLenum GL_SOURCE0_ALPHA = 0x8588;
constexpr GLenum GL_OPERAND0_RGB = 0x8590;
constexpr GLenum GL_OPERAND1_RGB = 0x8591;
constexpr GLenum GL_OPERAND2_RGB = 0x8592;
constexpr GLenum GL_OPERAND0_ALPHA = 0x8598;
constexpr GLenum GL_S = 0x2000;
constexpr GLenum GL_T = 0x2001;
constexpr GLenum GL_TEXTURE_GEN_MODE = 0x2500;
constexpr GLenum GL_SPHERE_MAP = 0x2402;
constexpr GLenum GL_TEXTURE_GEN_S = 0x0C60;
constexpr GLenum GL_TEXTURE_GEN_T = 0x0C61;
constexpr GLenum GL_MODULATE = 0x2100;
constexpr GLenum GL_DECAL = 0x2101;
constexpr GLenum GL_REPLACE = 0x1E01;
constexpr GLenum GL_RGB = 0x1907;
constexpr GLenum GL_RGBA = 0x1908;
constexpr GLenum GL_RGB8 = 0x8051;
constexpr GLenum GL_RGBA8 = 0x8058;
constexpr GLenum GL_UNPACK_ALIGNMENT = 0x0CF5;
constexpr GLenum GL_PACK_ALIGNMENT = 0x0D05;

// Strings
constexpr GLenum GL_VENDOR = 0x1F00;
constexpr GLenum GL_RENDERER = 0x1F01;
constexpr GLenum GL_VERSION = 0x1F02;
constexpr GLenum GL_EXTENSIONS = 0x1F03;
constexpr GLenum GLU_VERSION = 100800;
constexpr GLenum GLU_EXTENSIONS = 100801;

// Pixel read-back
constexpr GLenum GL_READ_BUFFER = 0x0C02;
constexpr GLenum GL_DRAW_BUFFER = 0x0C01;
constexpr GLenum GL_MAX_TEXTURE_SIZE = 0x0D33;
constexpr GLenum GL_MAX_LIGHTS = 0x0D31;
constexpr GLenum GL_MAX_MODELVIEW_STACK_DEPTH = 0x0D36;
constexpr GLenum GL_MAX_NAME_STACK_DEPTH = 0x0D37;
constexpr GLenum GL_MAX_VIEWPORT_DIMS = 0x0D3A;

// Every entry point: X(return type, name without the gl prefix, parameter list).
#define TW_GL_FUNCTIONS(X)                                                                              \
    X(void, Accum, (GLenum op, GLfloat value))                                                            \
    X(void, AlphaFunc, (GLenum func, GLclampf ref))                                                       \
    X(void, Begin, (GLenum mode))                                                                          \
    X(void, BindTexture, (GLenum target, GLuint texture))                                                 \
    X(void, BlendFunc, (GLenum sfactor, GLenum dfactor))                                                  \
    X(void, CallList, (GLuint list))                                                                       \
    X(void, Clear, (GLbitfield mask))                                                                      \
    X(void, ClearColor, (GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha))                    \
    X(void, ClearDepth, (GLclampd depth))                                                                  \
    X(void, ClearStencil, (GLint s))                                                                       \
    X(void, Color3f, (GLfloat red, GLfloat green, GLfloat blue))                                          \
    X(void, Color4f, (GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha))                           \
    X(void, Color4fv, (const GLfloat* v))                                                                 \
    X(void, Color4ub, (GLubyte red, GLubyte green, GLubyte blue, GLubyte alpha))                          \
    X(void, ColorMask, (GLboolean red, GLboolean green, GLboolean blue, GLboolean alpha))                 \
    X(void, ColorMaterial, (GLenum face, GLenum mode))                                                    \
    X(void, ColorPointer, (GLint size, GLenum type, GLsizei stride, const GLvoid* pointer))               \
    X(void, CullFace, (GLenum mode))                                                                       \
    X(void, DeleteLists, (GLuint list, GLsizei range))                                                    \
    X(void, DeleteTextures, (GLsizei n, const GLuint* textures))                                          \
    X(void, DepthFunc, (GLenum func))                                                                      \
    X(void, DepthMask, (GLboolean flag))                                                                   \
    X(void, Disable, (GLenum cap))                                                                         \
    X(void, DisableClientState, (GLenum array))                                                           \
    X(void, DrawArrays, (GLenum mode, GLint first, GLsizei count))                                        \
    X(void, DrawBuffer, (GLenum mode))                                                                     \
    X(void, DrawElements, (GLenum mode, GLsizei count, GLenum type, const GLvoid* indices))               \
    X(void, Enable, (GLenum cap))                                                                          \
    X(void, EnableClientState, (GLenum array))                                                            \
    X(void, End, ())                                                                                       \
    X(void, EndList, ())                                                                                   \
    X(void, Finish, ())                                                                                    \
    X(void, Flush, ())                                                                                     \
    X(void, Fogf, (GLenum pname, GLfloat param))                                                          \
    X(void, Fogfv, (GLenum pname, const GLfloat* params))                                                 \
    X(void, Fogi, (GLenum pname, GLint param))                                                            \
    X(void, FrontFace, (GLenum mode))                                                                      \
    X(void, Frustum, (GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,       \
                      GLdouble zFar))                                                                      \
    X(GLuint, GenLists, (GLsizei range))                                                                   \
    X(void, GenTextures, (GLsizei n, GLuint* textures))                                                   \
    X(void, GetBooleanv, (GLenum pname, GLboolean* params))                                               \
    X(void, GetDoublev, (GLenum pname, GLdouble* params))                                                 \
    X(GLenum, GetError, ())                                                                                \
    X(void, GetFloatv, (GLenum pname, GLfloat* params))                                                   \
    X(void, GetIntegerv, (GLenum pname, GLint* params))                                                   \
    X(void, GetLightfv, (GLenum light, GLenum pname, GLfloat* params))                                    \
    X(void, GetMaterialfv, (GLenum face, GLenum pname, GLfloat* params))                                  \
    X(void, GetPointerv, (GLenum pname, GLvoid** params))                                                 \
    X(const GLubyte*, GetString, (GLenum name))                                                            \
    X(void, GetTexEnvfv, (GLenum target, GLenum pname, GLfloat* params))                                  \
    X(void, GetTexEnviv, (GLenum target, GLenum pname, GLint* params))                                    \
    X(void, GetTexImage, (GLenum target, GLint level, GLenum format, GLenum type, GLvoid* pixels))        \
    X(void, GetTexLevelParameteriv, (GLenum target, GLint level, GLenum pname, GLint* params))           \
    X(void, GetTexParameterfv, (GLenum target, GLenum pname, GLfloat* params))                            \
    X(void, GetTexParameteriv, (GLenum target, GLenum pname, GLint* params))                              \
    X(void, Hint, (GLenum target, GLenum mode))                                                            \
    X(GLboolean, IsEnabled, (GLenum cap))                                                                  \
    X(GLboolean, IsTexture, (GLuint texture))                                                              \
    X(void, LightModelf, (GLenum pname, GLfloat param))                                                   \
    X(void, LightModelfv, (GLenum pname, const GLfloat* params))                                          \
    X(void, LightModeli, (GLenum pname, GLint param))                                                     \
    X(void, Lightf, (GLenum light, GLenum pname, GLfloat param))                                          \
    X(void, Lightfv, (GLenum light, GLenum pname, const GLfloat* params))                                 \
    X(void, LoadIdentity, ())                                                                              \
    X(void, LoadMatrixf, (const GLfloat* m))                                                              \
    X(void, Materialf, (GLenum face, GLenum pname, GLfloat param))                                        \
    X(void, Materialfv, (GLenum face, GLenum pname, const GLfloat* params))                               \
    X(void, MatrixMode, (GLenum mode))                                                                     \
    X(void, MultMatrixf, (const GLfloat* m))                                                              \
    X(void, NewList, (GLuint list, GLenum mode))                                                          \
    X(void, Normal3f, (GLfloat nx, GLfloat ny, GLfloat nz))                                               \
    X(void, Normal3fv, (const GLfloat* v))                                                                \
    X(void, NormalPointer, (GLenum type, GLsizei stride, const GLvoid* pointer))                          \
    X(void, Ortho, (GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,         \
                    GLdouble zFar))                                                                        \
    X(void, PixelStorei, (GLenum pname, GLint param))                                                     \
    X(void, PointSize, (GLfloat size))                                                                     \
    X(void, PolygonMode, (GLenum face, GLenum mode))                                                      \
    X(void, PopMatrix, ())                                                                                 \
    X(void, PushMatrix, ())                                                                                \
    X(void, ReadBuffer, (GLenum mode))                                                                     \
    X(void, ReadPixels, (GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,     \
                         GLvoid* pixels))                                                                  \
    X(void, Rotatef, (GLfloat angle, GLfloat x, GLfloat y, GLfloat z))                                    \
    X(void, Scalef, (GLfloat x, GLfloat y, GLfloat z))                                                    \
    X(void, Scissor, (GLint x, GLint y, GLsizei width, GLsizei height))                                   \
    X(void, ShadeModel, (GLenum mode))                                                                     \
    X(void, TexCoord2f, (GLfloat s, GLfloat t))                                                           \
    X(void, TexCoordPointer, (GLint size, GLenum type, GLsizei stride, const GLvoid* pointer))            \
    X(void, TexEnvf, (GLenum target, GLenum pname, GLfloat param))                                        \
    X(void, TexEnvfv, (GLenum target, GLenum pname, const GLfloat* params))                               \
    X(void, TexEnvi, (GLenum target, GLenum pname, GLint param))                                          \
    X(void, TexGeni, (GLenum coord, GLenum pname, GLint param))                                           \
    X(void, TexImage1D, (GLenum target, GLint level, GLint internalformat, GLsizei width, GLint border,   \
                         GLenum format, GLenum type, const GLvoid* pixels))                               \
    X(void, TexImage2D, (GLenum target, GLint level, GLint internalformat, GLsizei width, GLsizei height, \
                         GLint border, GLenum format, GLenum type, const GLvoid* pixels))                 \
    X(void, TexParameterf, (GLenum target, GLenum pname, GLfloat param))                                  \
    X(void, TexParameteri, (GLenum target, GLenum pname, GLint param))                                    \
    X(void, TexSubImage2D, (GLenum target, GLint level, GLint xoffset, GLint yoffset, GLsizei width,      \
                            GLsizei height, GLenum format, GLenum type, const GLvoid* pixels))            \
    X(void, Translatef, (GLfloat x, GLfloat y, GLfloat z))                                                \
    X(void, Vertex2f, (GLfloat x, GLfloat y))                                                             \
    X(void, Vertex3f, (GLfloat x, GLfloat y, GLfloat z))                                                  \
    X(void, Vertex3fv, (const GLfloat* v))                                                                \
    X(void, VertexPointer, (GLint size, GLenum type, GLsizei stride, const GLvoid* pointer))              \
    X(void, Viewport, (GLint x, GLint y, GLsizei width, GLsizei height))

// OpenGL 1.2 and 1.3 additions: not exported by every OpenGL library (Windows' OpenGL32.DLL has
// none of them), so they may stay empty; on Windows they are looked up again once a context exists.
#define TW_GL12_FUNCTIONS(X)                                                                            \
    X(void, ActiveTexture, (GLenum texture))                                                              \
    X(void, ClientActiveTexture, (GLenum texture))                                                        \
    X(void, DrawRangeElements, (GLenum mode, GLuint start, GLuint end, GLsizei count, GLenum type,       \
                                const GLvoid* indices))                                                    \
    X(void, TexImage3D, (GLenum target, GLint level, GLint internalformat, GLsizei width, GLsizei height, \
                         GLsizei depth, GLint border, GLenum format, GLenum type, const GLvoid* pixels))  \
    X(void, BlendColor, (GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha))                    \
    X(void, BlendEquation, (GLenum mode))

// GLU, from the GLU library.
#define TW_GLU_FUNCTIONS(X)                                                                             \
    X(const GLubyte*, ErrorString, (GLenum errorCode))                                                    \
    X(const GLubyte*, GetString, (GLenum name))                                                           \
    X(void, LookAt, (GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,     \
                     GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ))                         \
    X(void, Ortho2D, (GLdouble left, GLdouble right, GLdouble bottom, GLdouble top))                      \
    X(void, Perspective, (GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar))                 \
    X(GLint, Build2DMipmaps, (GLenum target, GLint components, GLint width, GLint height, GLenum format,  \
                              GLenum type, const void* data))

// WGL entry points exported by Windows' OpenGL library; empty elsewhere. Handles are opaque.
#define TW_WGL_FUNCTIONS(X)                                                                             \
    X(void*, CreateContext, (void* dc))                                                                    \
    X(int, DeleteContext, (void* rc))                                                                      \
    X(int, MakeCurrent, (void* dc, void* rc))                                                              \
    X(void*, GetCurrentContext, ())                                                                        \
    X(void*, GetProcAddress, (const char* name))

#define TW_GL_DECLARE_ENTRY(ret, name, params) ret(TW_APIENTRY* name) params = nullptr;

struct GLApi {
    TW_GL_FUNCTIONS(TW_GL_DECLARE_ENTRY)
    TW_GL12_FUNCTIONS(TW_GL_DECLARE_ENTRY)
};

struct GLUApi {
    TW_GLU_FUNCTIONS(TW_GL_DECLARE_ENTRY)
};

struct WGLApi {
    TW_WGL_FUNCTIONS(TW_GL_DECLARE_ENTRY)
};

// The process-wide tables, filled by LoadOpenGL and emptied by UnloadOpenGL.
extern GLApi gl;
extern GLUApi glu;
extern WGLApi wgl;
