// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/PaperShader.h"

#include "render/RenderLog.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int noiseEdge = 1024;

const char* const vertexSource = R"(#version 120
uniform vec3 light;
uniform float gloss;
uniform float grainScale;
varying vec2 st;
varying vec4 creases;
varying vec4 paper;
void main() {
    gl_Position = ftransform();
    st = gl_MultiTexCoord0.st;
    vec2 flat = gl_MultiTexCoord1.xy;
    // Distances along the paper to the facet's two creases, and how far each is bent.
    creases = vec4(flat.x - gl_MultiTexCoord2.x, gl_MultiTexCoord2.y - flat.x,
                   gl_MultiTexCoord2.zw);
    // The grain's texture turned off the paper's axes, so that its grid never lines up with them.
    vec2 grain = mat2(0.8, 0.6, -0.6, 0.8) * flat * grainScale;
    // The facets are flat: the highlight is worked out at their corners and spread between.
    vec3 eye = vec3(gl_ModelViewMatrix * gl_Vertex);
    vec3 halfway = normalize(light + normalize(-eye));
    float specular = gloss * 0.35 * pow(max(dot(normalize(gl_Normal), halfway), 0.0), 16.0);
    paper = vec4(grain, specular, gl_Color.r);
}
)";

// Each effect keeps the picture's mean: the grain's texture averages one half.
const char* const fragmentSource = R"(#version 120
uniform sampler2D picture;
uniform sampler2D backPicture;
uniform sampler2D noise;
uniform vec4 backColour;
uniform vec2 mirror;
uniform float grain;
uniform float creaseShading;
uniform float bandWidth;
varying vec2 st;
varying vec4 creases;
varying vec4 paper;

vec4 paperColour() {
#if BACK == 0
    return texture2D(picture, st);
#elif BACK == 1
    return gl_FrontFacing ? texture2D(picture, st) : backColour;
#else
    return gl_FrontFacing ? texture2D(picture, st)
                          : texture2D(backPicture, mix(st, vec2(1.0) - st, mirror));
#endif
}

void main() {
    vec4 colour = paperColour();
    vec3 rgb = colour.rgb * paper.w;
    rgb *= 1.0 + grain * (texture2D(noise, paper.xy).r - 0.5);
    vec2 near = 1.0 - clamp(creases.xy / bandWidth, 0.0, 1.0);
    float bend = creaseShading * dot(creases.zw, near * near);
    rgb = bend > 0.0 ? mix(rgb, vec3(1.0), 0.6 * bend) : rgb * (1.0 + 0.6 * bend);
    gl_FragColor = vec4(min(rgb + paper.z, 1.0), colour.a);
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
    QString whatFailed;
    for (int back = 0; back < backModes && whatFailed.isEmpty(); ++back)
        whatFailed = shader->build(back);
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
    for (unsigned int program : _programs)
        glDeleteProgram(program);
    glDeleteTextures(1, &_noise);
}

// One program for each back, so that a frame pays only for the back it shows.
QString PaperShader::build(int back) {
    const GLuint program = glCreateProgram();
    _programs[back] = program;
    if (program == 0)
        return QStringLiteral("no program object");
    const QByteArray fragment = QByteArray(fragmentSource)
                                    .replace("#version 120\n", "#version 120\n#define BACK " +
                                                                   QByteArray::number(back) + '\n');
    QString failure = attach(program, GL_VERTEX_SHADER, vertexSource);
    if (failure.isEmpty())
        failure = attach(program, GL_FRAGMENT_SHADER, fragment.constData());
    if (!failure.isEmpty())
        return failure;
    glLinkProgram(program);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked)
        return {};
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    QByteArray log(qMax(length, 1), '\0');
    glGetProgramInfoLog(program, length, nullptr, log.data());
    return QString::fromUtf8(log).trimmed();
}

// Two octaves of value noise, random texels and random cells of two texels filtered linearly,
// summed into one texture that repeats seamlessly. A fixed seed gives every renderer, tile and
// export the same paper. Stored around one half, at the strength of full grain.
void PaperShader::makeNoise() {
    std::mt19937 generator(22);
    std::uniform_real_distribution<float> level(0.0f, 1.0f);
    constexpr int coarseEdge = noiseEdge / 2;
    std::vector<float> coarse(coarseEdge * coarseEdge);
    for (float& value : coarse)
        value = level(generator);
    const auto coarseAt = [&](int x, int y) {
        return coarse[size_t((y % coarseEdge) * coarseEdge + x % coarseEdge)];
    };
    std::vector<GLubyte> texels(noiseEdge * noiseEdge);
    for (int y = 0; y < noiseEdge; ++y) {
        for (int x = 0; x < noiseEdge; ++x) {
            const float fx = (x % 2) * 0.5f;
            const float fy = (y % 2) * 0.5f;
            const int cx = x / 2;
            const int cy = y / 2;
            const float smooth =
                (coarseAt(cx, cy) * (1 - fx) + coarseAt(cx + 1, cy) * fx) * (1 - fy) +
                (coarseAt(cx, cy + 1) * (1 - fx) + coarseAt(cx + 1, cy + 1) * fx) * fy;
            const float noise = 0.65f * smooth + 0.35f * level(generator);
            texels[size_t(y * noiseEdge + x)] =
                GLubyte(std::lround(255 * (0.5f + 0.3f * (noise - 0.5f))));
        }
    }
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
    int back = 0;
    if (look.back == PaperLook::Back::paper)
        back = 1;
    else if (look.back == PaperLook::Back::picture && hasBackPicture)
        back = 2;
    const GLuint program = _programs[back];
    glUseProgram(program);
    const auto at = [program](const char* name) { return glGetUniformLocation(program, name); };
    glUniform1i(at("picture"), 0);
    glUniform1i(at("backPicture"), 1);
    glUniform1i(at("noise"), 2);
    glUniform4f(at("backColour"), float(look.backColour.redF()), float(look.backColour.greenF()),
                float(look.backColour.blueF()), 1.0f);
    glUniform2f(at("mirror"), mirrorAcross ? 0.0f : 1.0f, mirrorAcross ? 1.0f : 0.0f);
    glUniform1f(at("grain"), look.grain);
    glUniform1f(at("creaseShading"), look.creaseShading);
    glUniform1f(at("gloss"), look.gloss);
    glUniform1f(at("bandWidth"), creaseBandWidth);
    glUniform1f(at("grainScale"), 1.0f / (grainCell * noiseEdge));
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
