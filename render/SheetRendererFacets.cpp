// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Drawing the sheet's facets: with the fixed-function texture environment while every paper
// effect is off, which keeps those frames as they always were, and through the paper shader
// otherwise.
#include "render/SheetRenderer.h"

#include "render/PaperShader.h"
#include "render/Texture.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>

namespace {

// Direction toward the light in eye space, (-1, -1, 2) normalised: from the upper left of the
// upright picture and in front of it. The picture stands upside down in the framebuffer, so its
// top is -Y.
constexpr double lightX = -0.40824829;
constexpr double lightY = -0.40824829;
constexpr double lightZ = 0.81649658;
// What a facet turned away from the light keeps of the picture at full shading.
constexpr double ambient = 0.35;

} // namespace

void SheetRenderer::drawSheet(Texture& texture) {
    PaperShader* shader = paperShader();
    texture.bind();
    if (shader) {
        if (_backTexture) {
            glActiveTexture(GL_TEXTURE1);
            _backTexture->bind();
            glActiveTexture(GL_TEXTURE0);
        }
        const bool vertical = _geometry.axis() == SheetGeometry::Axis::vertical;
        shader->begin(_look, QVector3D(float(lightX), float(lightY), float(lightZ)),
                      bool(_backTexture), !vertical);
        // Horizontal creases lay the facets' corners out clockwise as the viewer sees them.
        glFrontFace(vertical ? GL_CCW : GL_CW);
    } else {
        glEnable(GL_TEXTURE_2D);
    }
    glBegin(GL_QUADS);
    for (int i = 0; i + 1 < _geometry.lineCount(); ++i)
        drawFacet(i, bool(shader));
    glEnd();
    if (shader) {
        shader->end();
        glFrontFace(GL_CCW);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
}

// The paper's attributes go only to the shader: the fixed-function path stays as it was.
void SheetRenderer::drawFacet(int facet, bool paperAttributes) {
    const SheetGeometry& g = _geometry;
    const float bottom = g.acrossStart();
    const float top = g.acrossEnd(0.0);
    const auto vertex = [&](int i, float t, float across) {
        const QVector2D texture = g.texture(i, t);
        const QVector3D point = g.at(g.along(i, 0.0), across, g.depth(i));
        glTexCoord2f(texture.x(), texture.y());
        if (paperAttributes)
            glMultiTexCoord2f(GL_TEXTURE1, g.paperAlong(i), across);
        glVertex3f(point.x(), point.y(), point.z());
    };
    // The texture environment modulates: grey darkens the picture, white leaves it as it is.
    const float brightness = facetBrightness(facet);
    glColor4f(brightness, brightness, brightness, 1);
    if (paperAttributes) {
        const auto normal = g.facetNormal(facet, _pitch).value_or(std::array<double, 3>{0, 0, 1});
        glNormal3d(normal[0], normal[1], normal[2]);
        glMultiTexCoord4f(GL_TEXTURE2, g.paperAlong(facet), g.paperAlong(facet + 1), g.bend(facet),
                          g.bend(facet + 1));
    }
    vertex(facet, 0, bottom);
    vertex(facet + 1, 0, bottom);
    vertex(facet + 1, 1, top);
    vertex(facet, 1, top);
}

// Diffuse and ambient light on a flat facet, scaled so that a facet facing the viewer keeps the
// picture as it is and one turned further toward the light cannot brighten it. Paper shows both
// sides, so a facet seen from behind is lit on the side it shows.
float SheetRenderer::facetBrightness(int facet) const {
    if (_shading == 0.0f)
        return 1.0f;
    const std::optional<std::array<double, 3>> normal = _geometry.facetNormal(facet, _pitch);
    if (!normal)
        return 1.0f;
    const auto [nx, ny, nz] = *normal;
    const double diffuse = std::max(0.0, nx * lightX + ny * lightY + nz * lightZ) / lightZ;
    const double lit = std::min(1.0, ambient + (1.0 - ambient) * diffuse);
    return float(1.0 - _shading * (1.0 - lit));
}

// Made the first time an effect is on; when the GL cannot make it the sheet is drawn without the
// effects, and the renderer does not ask again.
PaperShader* SheetRenderer::paperShader() {
    if (_look.plain())
        return nullptr;
    if (!_paperShader && !_paperShaderFailed) {
        _paperShader = PaperShader::create();
        _paperShaderFailed = !_paperShader;
    }
    return _paperShader.get();
}

void SheetRenderer::setPaperLook(const PaperLook& look) {
    _needsDisplay |= !(look == _look);
    _look = look;
}

bool SheetRenderer::setBackImage(const QImage& image) {
    if (!_context->makeCurrent())
        return false;
    _needsDisplay = true;
    if (image.isNull()) {
        _backTexture.reset();
        return true;
    }
    _backTexture = Texture::create(image, textureSizeFor(image));
    return bool(_backTexture);
}
