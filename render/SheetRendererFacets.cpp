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
#include <cmath>

namespace {

// A light nearly edge on to the viewer still lights the facets facing the viewer fully, but no
// more than this little of it divides the diffuse term.
constexpr double leastFacingLight = 0.1;
// What a facet turned away from the light keeps of the picture at full shading.
constexpr double ambient = 0.35;
// The level of plain paper's texels: full grain brightens them by up to 15%, which must not clip.
constexpr int blankPaperLevel = 221;

} // namespace

void SheetRenderer::drawSheet(Texture& texture) {
    bakeGrain();
    if (PaperShader* shader = paperShader()) {
        drawPaper(*shader, texture);
        return;
    }
    texture.bind();
    glEnable(GL_TEXTURE_2D);
    drawFacets(false);
    drawCutEdges();
    glDisable(GL_TEXTURE_2D);
}

// The facets facing the viewer and those facing away in two passes, each with the texture of its
// side, so that every pixel reads one texel.
void SheetRenderer::drawPaper(PaperShader& shader, Texture& texture) {
    const bool vertical = _geometry.axis() == SheetGeometry::Axis::vertical;
    shader.begin(_look, QVector3D(float(_light[0]), float(_light[1]), float(_light[2])));
    // Horizontal creases lay the facets' corners out clockwise as the viewer sees them.
    glFrontFace(vertical ? GL_CCW : GL_CW);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    texture.bind();
    shader.setSide(QVector3D(1, 1, 1), false, false);
    drawFacets(true);
    glCullFace(GL_FRONT);
    // An arc turns its inner side toward the viewer just past its outline, at nearly the depth of
    // the outer side there: the backs give way by a little depth, far less than a thickness.
    if (_geometry.hasSurface()) {
        glEnable(GL_POLYGON_OFFSET_FILL);
        glPolygonOffset(1.0f, 1.0f);
    }
    if (_look.back == PaperLook::Back::paper) {
        if (!_blankPaper) {
            // Without grain one texel will do.
            QImage blank(_bakedGrain > 0.0f ? _pictureTexels.size() : QSize(1, 1),
                         QImage::Format_RGB888);
            blank.fill(qRgb(blankPaperLevel, blankPaperLevel, blankPaperLevel));
            _blankPaper = Texture::fromTexels(grainedTexels(blank, false));
        }
        if (_blankPaper)
            _blankPaper->bind();
        const QColor& colour = _look.backColour;
        shader.setSide(
            QVector3D(float(colour.redF()), float(colour.greenF()), float(colour.blueF())) *
                (255.0f / blankPaperLevel),
            false, false);
    } else if (_look.back == PaperLook::Back::picture && _backTexture) {
        _backTexture->bind();
        shader.setSide(QVector3D(1, 1, 1), backTurnsAsBook(), !backTurnsAsBook());
    }
    drawFacets(true);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glDisable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    shader.end();
    if (_geometry.hasSurface()) {
        texture.bind();
        glEnable(GL_TEXTURE_2D);
        drawCutEdges();
        glDisable(GL_TEXTURE_2D);
    }
}

void SheetRenderer::drawFacets(bool paperAttributes) {
    glBegin(GL_QUADS);
    for (int i = 0; i + 1 < _geometry.pointCount(); ++i)
        drawFacet(i, paperAttributes);
    glEnd();
}

// The paper's attributes go only to the shader: the fixed-function path stays as it was.
void SheetRenderer::drawFacet(int facet, bool paperAttributes) {
    const SheetGeometry& g = _geometry;
    const float bottom = g.acrossStart();
    const float top = g.acrossEnd(0.0);
    const auto vertex = [&](int i, float t, float across) {
        const QVector2D texture = g.pointTexture(i, t);
        const QVector3D point = g.at(g.pointAlong(i), across, g.pointDepth(i));
        glTexCoord2f(texture.x(), texture.y());
        if (paperAttributes)
            glMultiTexCoord1f(GL_TEXTURE1, g.pointPaperAlong(i));
        glVertex3f(point.x(), point.y(), point.z());
    };
    // The texture environment modulates: grey darkens the picture, white leaves it as it is.
    const float brightness = facetBrightness(facet);
    glColor4f(brightness, brightness, brightness, 1);
    if (paperAttributes) {
        const auto normal =
            g.facetNormal(facet, _pitch, _yaw).value_or(std::array<double, 3>{0, 0, 1});
        glNormal3d(normal[0], normal[1], normal[2]);
        glMultiTexCoord4f(GL_TEXTURE2, g.pointPaperAlong(facet), g.pointPaperAlong(facet + 1),
                          g.bend(facet), g.bend(facet + 1));
    }
    vertex(facet, 0, bottom);
    vertex(facet + 1, 0, bottom);
    vertex(facet + 1, 1, top);
    vertex(facet, 1, top);
}

// Layers of a closed fold lie a thickness apart, and at the open sides the eye would see between
// them. The paper's cut edges close those gaps, showing the picture's edge as printed to the trim.
void SheetRenderer::drawCutEdges() {
    const SheetGeometry& g = _geometry;
    if (!g.hasSurface())
        return;
    glColor4f(1, 1, 1, 1);
    for (const float t : {0.0f, 1.0f}) {
        const float across = t == 0.0f ? g.acrossStart() : g.acrossEnd(0.0);
        // The point `fraction` of the way from one drawn point toward another, on one face.
        const auto vertex = [&](int point, int toward, double fraction, int side) {
            const QPointF face = g.pointFace(point, side) +
                                 (g.pointFace(toward, side) - g.pointFace(point, side)) * fraction;
            const QVector2D texture =
                g.pointTexture(point, t) +
                (g.pointTexture(toward, t) - g.pointTexture(point, t)) * float(fraction);
            const QVector3D place = g.at(float(face.x()), across, float(face.y()));
            glTexCoord2f(texture.x(), texture.y());
            glVertex3f(place.x(), place.y(), place.z());
        };
        glBegin(GL_QUADS);
        for (int i = 0; i + 1 < g.pointCount(); ++i) {
            vertex(i, i, 0, -1);
            vertex(i + 1, i, 0, -1);
            vertex(i + 1, i, 0, 1);
            vertex(i, i, 0, 1);
        }
        glEnd();
        // Inside a closed bend the strips leave a hole where an inner layer ends short of the
        // arc. The paper's outline around the arc, reaching a little way along both panels,
        // covers it: an arc closed by its chord is convex.
        for (const auto& [first, last] : g.arcs()) {
            for (const int side : {-1, 1}) {
                glBegin(GL_POLYGON);
                if (first > 0)
                    vertex(first, first - 1, reachAlongPanel(first, first - 1), side);
                for (int i = first; i <= last; ++i)
                    vertex(i, i, 0, side);
                if (last + 1 < g.pointCount())
                    vertex(last, last + 1, reachAlongPanel(last, last + 1), side);
                glEnd();
            }
        }
    }
}

// Two thicknesses along the panel from a point, as a fraction of the panel's facet.
double SheetRenderer::reachAlongPanel(int point, int toward) const {
    const SheetGeometry& g = _geometry;
    const double length = std::hypot(g.pointAlong(toward) - g.pointAlong(point),
                                     g.pointDepth(toward) - g.pointDepth(point));
    return length > 0.0 ? std::min(1.0, 2.0 * g.thickness() / length) : 0.0;
}

// Diffuse and ambient light on a flat facet, scaled so that a facet facing the viewer keeps the
// picture as it is and one turned further toward the light cannot brighten it. Paper shows both
// sides, so a facet seen from behind is lit on the side it shows.
float SheetRenderer::facetBrightness(int facet) const {
    if (_shading == 0.0f)
        return 1.0f;
    const std::optional<std::array<double, 3>> normal = _geometry.facetNormal(facet, _pitch, _yaw);
    if (!normal)
        return 1.0f;
    const auto [nx, ny, nz] = *normal;
    const auto [lightX, lightY, lightZ] = _light;
    const double diffuse =
        std::max(0.0, nx * lightX + ny * lightY + nz * lightZ) / std::max(lightZ, leastFacingLight);
    const double lit = std::min(1.0, ambient + (1.0 - ambient) * diffuse);
    return float(1.0 - _shading * (1.0 - lit));
}

void SheetRenderer::setLight(QVector3D towardLight) {
    const QVector3D standard{float(defaultLight[0]), float(defaultLight[1]),
                             float(defaultLight[2])};
    const QVector3D light = towardLight.normalized();
    std::array<double, 3> chosen = defaultLight;
    if ((light - standard).length() > 1e-6f)
        chosen = {light.x(), light.y(), light.z()};
    _needsDisplay |= chosen != _light;
    _light = chosen;
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

// The grain is in the textures: they are uploaded again when it or the paper it lies on changes.
void SheetRenderer::bakeGrain() {
    const float grain = _look.grain;
    const PaperGrain::Placement placement = grainPlacement(false);
    if (grain == _bakedGrain &&
        (grain == 0.0f || (placement == _bakedPlacement && backTurnsAsBook() == _bakedBookTurn)))
        return;
    _bakedGrain = grain;
    _bakedPlacement = placement;
    _bakedBookTurn = backTurnsAsBook();
    if (_texture)
        _texture->setTexels(grainedTexels(_pictureTexels, false));
    if (_backTexture)
        _backTexture->setTexels(grainedTexels(_backTexels, true));
    _blankPaper.reset();
}

bool SheetRenderer::backTurnsAsBook() const {
    if (_look.backTurn == PaperLook::BackTurn::byCreases)
        return _geometry.axis() == SheetGeometry::Axis::vertical;
    return _look.backTurn == PaperLook::BackTurn::book;
}

// A back picture is seen mirrored, so its texels lie mirrored on the paper.
PaperGrain::Placement SheetRenderer::grainPlacement(bool back) const {
    const bool vertical = _geometry.axis() == SheetGeometry::Axis::vertical;
    const QSizeF image = _geometry.imageSize();
    PaperGrain::Placement placement;
    placement.paper = QSizeF(_geometry.paperAlong(_geometry.lineCount() - 1),
                             vertical ? image.height() : image.width());
    placement.alongS = vertical;
    placement.mirrorS = back && backTurnsAsBook();
    placement.mirrorT = back && !backTurnsAsBook();
    return placement;
}

QImage SheetRenderer::grainedTexels(QImage texels, bool back) const {
    if (_bakedGrain > 0.0f && !texels.isNull())
        PaperGrain::bake(texels, _bakedGrain, back ? grainPlacement(true) : _bakedPlacement);
    return texels;
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
        _backTexels = QImage();
        return true;
    }
    _backTexels = Texture::texels(image, textureSizeFor(image));
    _backTexture = Texture::fromTexels(grainedTexels(_backTexels, true));
    return bool(_backTexture);
}
