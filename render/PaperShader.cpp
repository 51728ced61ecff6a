// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/PaperShader.h"

#include "render/RenderLog.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

namespace {

// Everything that varies slowly is worked out at the facets' corners: the texture coordinate
// (mirrored there for a back picture), the distances to the facet's creases in band widths and
// the highlight, which the facets' flatness lets spread between the corners. What is constant
// over a facet travels in its colours, which flat shading hands on without interpolating: the
// facet's shading and the strength of each crease's band (signed, a mountain positive), stored
// around one half since colours are clamped to 0..1.
const char* const vertexSource = R"(#version 120
uniform vec3 light;
uniform float gloss;
uniform float bandScale;
uniform float creaseStrength;
uniform vec2 mirror;
varying vec4 place;
varying float specular;
void main() {
    gl_Position = ftransform();
    vec2 st = gl_MultiTexCoord0.st;
    float along = gl_MultiTexCoord1.x;
    vec2 creases = vec2(along - gl_MultiTexCoord2.x, gl_MultiTexCoord2.y - along);
    place = vec4(mix(st, 1.0 - st, mirror), creases * bandScale);
    vec3 eye = vec3(gl_ModelViewMatrix * gl_Vertex);
    vec3 halfway = normalize(light + normalize(-eye));
    specular = gloss * 0.35 * pow(max(dot(normalize(gl_Normal), halfway), 0.0), 16.0);
    gl_FrontColor = gl_Color;
    gl_FrontSecondaryColor = vec4(0.5 + creaseStrength * gl_MultiTexCoord2.zw, 0.0, 0.0);
}
)";

// The grain is baked into the texture. Each effect keeps the picture's mean.
const char* const fragmentSource = R"(#version 120
uniform sampler2D paper;
uniform vec3 tint;
varying vec4 place;
varying float specular;
void main() {
    vec4 texel = texture2D(paper, place.xy);
    vec3 rgb = texel.rgb * gl_Color.rgb * tint;
    vec2 near = clamp(1.0 - place.zw, 0.0, 1.0);
    float bend = dot(gl_SecondaryColor.xy - 0.5, near * near) * 1.2;
    rgb += bend * (bend > 0.0 ? 1.0 - rgb : rgb);
    gl_FragColor = vec4(min(rgb + specular, 1.0), texel.a);
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
    if (whatFailed.isEmpty())
        return shader;
    qCWarning(renderLog) << "No paper shader:" << whatFailed;
    if (failure)
        *failure = whatFailed;
    return nullptr;
}

PaperShader::~PaperShader() {
    glDeleteProgram(_program);
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

// The band's strength is stored halved in the secondary colour (see the vertex shader).
void PaperShader::begin(const PaperLook& look, QVector3D light) {
    glUseProgram(_program);
    const auto at = [this](const char* name) { return glGetUniformLocation(_program, name); };
    glUniform1i(at("paper"), 0);
    glUniform1f(at("gloss"), look.gloss);
    glUniform1f(at("bandScale"), 1.0f / creaseBandWidth);
    glUniform1f(at("creaseStrength"), 0.5f * look.creaseShading);
    glUniform3f(at("light"), light.x(), light.y(), light.z());
}

void PaperShader::setSide(QVector3D tint, bool mirrorS, bool mirrorT) {
    glUniform3f(glGetUniformLocation(_program, "tint"), tint.x(), tint.y(), tint.z());
    glUniform2f(glGetUniformLocation(_program, "mirror"), mirrorS ? 1.0f : 0.0f,
                mirrorT ? 1.0f : 0.0f);
}

void PaperShader::end() {
    glUseProgram(0);
}
