// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/PaperShader.h"

#include "render/RenderLog.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <random>
#include <vector>

namespace {

constexpr int noiseEdge = 256;

const char* const vertexSource = R"(#version 120
varying vec2 paper;
varying vec4 creases;
varying vec3 normal;
varying vec3 eyePosition;
void main() {
    gl_Position = ftransform();
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_FrontColor = gl_Color;
    paper = gl_MultiTexCoord1.xy;
    creases = gl_MultiTexCoord2;
    normal = gl_Normal;
    eyePosition = vec3(gl_ModelViewMatrix * gl_Vertex);
}
)";

// The grain is two octaves of the same noise, the finer one turned and at an odd scale, so that
// neither the texture's edge nor its grid repeats visibly. Each effect keeps the picture's mean:
// the noise averages one half.
const char* const fragmentSource = R"(#version 120
uniform sampler2D picture;
uniform sampler2D backPicture;
uniform sampler2D noise;
uniform int backMode;
uniform vec4 backColour;
uniform vec2 mirror;
uniform float grain;
uniform float creaseShading;
uniform float gloss;
uniform float bandWidth;
uniform float grainCell;
uniform vec3 light;
varying vec2 paper;
varying vec4 creases;
varying vec3 normal;
varying vec3 eyePosition;

float band(float distance) {
    float t = 1.0 - clamp(distance / bandWidth, 0.0, 1.0);
    return t * t;
}

vec4 paperColour() {
    vec2 st = gl_TexCoord[0].st;
    if (gl_FrontFacing || backMode == 0)
        return texture2D(picture, st);
    if (backMode == 1)
        return backColour;
    return texture2D(backPicture, mix(st, vec2(1.0) - st, mirror));
}

void main() {
    vec4 colour = paperColour();
    vec3 rgb = colour.rgb * gl_Color.rgb;

    vec2 coarse = paper / grainCell;
    vec2 fine = mat2(0.8, 0.6, -0.6, 0.8) * paper / (grainCell * 0.43);
    float n = 0.65 * texture2D(noise, coarse / 256.0).r + 0.35 * texture2D(noise, fine / 256.0).r;
    rgb *= 1.0 + grain * 0.3 * (n - 0.5);

    float bend = creases.z * band(paper.x - creases.x) + creases.w * band(creases.y - paper.x);
    bend *= creaseShading;
    rgb = bend > 0.0 ? mix(rgb, vec3(1.0), 0.6 * bend) : rgb * (1.0 + 0.6 * bend);

    vec3 halfway = normalize(light + normalize(-eyePosition));
    float specular = pow(max(dot(normalize(normal), halfway), 0.0), 16.0);
    rgb += gloss * 0.4 * specular;

    gl_FragColor = vec4(clamp(rgb, 0.0, 1.0), colour.a * gl_Color.a);
}
)";

QString shaderLog(GLuint shader) {
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    QByteArray log(qMax(length, 1), '\0');
    glGetShaderInfoLog(shader, length, nullptr, log.data());
    return QString::fromUtf8(log).trimmed();
}

// Compiles one stage and attaches it; the program keeps it alive once linked.
QString attach(GLuint program, GLenum type, const char* source) {
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    QString failure;
    if (compiled)
        glAttachShader(program, shader);
    else
        failure = shaderLog(shader);
    glDeleteShader(shader);
    return failure;
}

} // namespace

std::unique_ptr<PaperShader> PaperShader::create(QString* failure) {
    std::unique_ptr<PaperShader> shader(new PaperShader);
    const QString whatFailed = shader->build();
    if (whatFailed.isEmpty()) {
        shader->makeNoise();
        return shader;
    }
    qCWarning(renderLog) << "No paper shader:" << whatFailed;
    if (failure)
        *failure = whatFailed;
    return nullptr;
}

PaperShader::~PaperShader() {
    glDeleteProgram(_program);
    glDeleteTextures(1, &_noise);
}

QString PaperShader::build() {
    _program = glCreateProgram();
    if (_program == 0)
        return QStringLiteral("no program object");
    QString failure = attach(_program, GL_VERTEX_SHADER, vertexSource);
    if (failure.isEmpty())
        failure = attach(_program, GL_FRAGMENT_SHADER, fragmentSource);
    if (!failure.isEmpty())
        return failure;
    glLinkProgram(_program);
    GLint linked = GL_FALSE;
    glGetProgramiv(_program, GL_LINK_STATUS, &linked);
    if (linked)
        return {};
    GLint length = 0;
    glGetProgramiv(_program, GL_INFO_LOG_LENGTH, &length);
    QByteArray log(qMax(length, 1), '\0');
    glGetProgramInfoLog(_program, length, nullptr, log.data());
    return QString::fromUtf8(log).trimmed();
}

// Value noise: random texels, filtered linearly and repeated. A fixed seed gives every renderer,
// tile and export the same paper.
void PaperShader::makeNoise() {
    std::mt19937 generator(22);
    std::uniform_int_distribution<int> level(0, 255);
    std::vector<GLubyte> texels(noiseEdge * noiseEdge);
    for (GLubyte& texel : texels)
        texel = GLubyte(level(generator));
    glGenTextures(1, &_noise);
    glBindTexture(GL_TEXTURE_2D, _noise);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE, noiseEdge, noiseEdge, 0, GL_LUMINANCE,
                 GL_UNSIGNED_BYTE, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void PaperShader::begin(const PaperLook& look, QVector3D light, bool hasBackPicture,
                        bool mirrorAcross) {
    glUseProgram(_program);
    const auto at = [this](const char* name) { return glGetUniformLocation(_program, name); };
    int backMode = 0;
    if (look.back == PaperLook::Back::paper)
        backMode = 1;
    else if (look.back == PaperLook::Back::picture && hasBackPicture)
        backMode = 2;
    glUniform1i(at("picture"), 0);
    glUniform1i(at("backPicture"), 1);
    glUniform1i(at("noise"), 2);
    glUniform1i(at("backMode"), backMode);
    glUniform4f(at("backColour"), float(look.backColour.redF()), float(look.backColour.greenF()),
                float(look.backColour.blueF()), 1.0f);
    glUniform2f(at("mirror"), mirrorAcross ? 0.0f : 1.0f, mirrorAcross ? 1.0f : 0.0f);
    glUniform1f(at("grain"), look.grain);
    glUniform1f(at("creaseShading"), look.creaseShading);
    glUniform1f(at("gloss"), look.gloss);
    glUniform1f(at("bandWidth"), creaseBandWidth);
    glUniform1f(at("grainCell"), grainCell);
    glUniform3f(at("light"), light.x(), light.y(), light.z());
    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, _noise);
    glActiveTexture(GL_TEXTURE0);
}

void PaperShader::end() {
    glUseProgram(0);
    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
}
