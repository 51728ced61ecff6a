// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/GltfWriter.h"

#include "media/Failure.h"
#include "media/PictureEncoder.h"
#include "media/PngWriter.h"

#include <QBuffer>

#include <tiny_gltf.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

namespace {

constexpr int jpegQuality = 90;
// Matte paper: no metal, little shine.
constexpr double paperRoughness = 0.9;
constexpr double cameraFieldOfView = 0.6; // radians, vertical
constexpr double pi = 3.14159265358979323846;

// A picture with an alpha channel that is opaque throughout goes as JPEG all the same. Row by
// row, so that a large picture of another format is not copied whole.
bool hasTransparency(const QImage& picture) {
    if (!picture.hasAlphaChannel())
        return false;
    const bool argb = picture.format() == QImage::Format_ARGB32 ||
                      picture.format() == QImage::Format_ARGB32_Premultiplied;
    for (int y = 0; y < picture.height(); ++y) {
        const QImage line =
            argb ? picture
                 : picture.copy(0, y, picture.width(), 1).convertToFormat(QImage::Format_ARGB32);
        const auto* row = reinterpret_cast<const QRgb*>(line.constScanLine(argb ? y : 0));
        if (std::any_of(row, row + picture.width(), [](QRgb pixel) { return qAlpha(pixel) < 255; }))
            return true;
    }
    return false;
}

struct EncodedPicture {
    QByteArray data;
    std::string mimeType;
    bool transparent = false;
};

bool encodePicture(const QImage& picture, EncodedPicture& encoded, QString* failure) {
    QImage texture = picture;
    if (std::max(texture.width(), texture.height()) > GltfWriter::largestTextureSide)
        texture = texture.scaled(GltfWriter::largestTextureSide, GltfWriter::largestTextureSide,
                                 Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QBuffer buffer(&encoded.data);
    buffer.open(QIODevice::WriteOnly);
    encoded.transparent = hasTransparency(texture);
    if (encoded.transparent) {
        encoded.mimeType = "image/png";
        return PngWriter::write(texture, &buffer, failure);
    }
    encoded.mimeType = "image/jpeg";
    return PictureEncoder::writeImage(texture.convertToFormat(QImage::Format_RGB888), &buffer,
                                      "JPEG", {jpegQuality, -1}, failure);
}

// Builds the model's one buffer, its views and accessors as it goes.
class ModelBuilder {
public:
    explicit ModelBuilder(GltfWriter::Container container) : _container(container) {
        _model.asset.version = "2.0";
        _model.asset.generator = "Pleatora";
        _model.buffers.emplace_back();
    }

    tinygltf::Model& model() { return _model; }

    // textured: whether its material has a picture, which alone reads texture coordinates.
    int addSurface(const PaperModel::Surface& surface, bool textured) {
        tinygltf::Primitive primitive;
        primitive.mode = TINYGLTF_MODE_TRIANGLES;
        primitive.attributes["POSITION"] =
            addFloats(surface.positions, TINYGLTF_TYPE_VEC3, 3, true);
        primitive.attributes["NORMAL"] = addFloats(surface.normals, TINYGLTF_TYPE_VEC3, 3, false);
        if (textured)
            primitive.attributes["TEXCOORD_0"] =
                addFloats(surface.textureCoordinates, TINYGLTF_TYPE_VEC2, 2, false);
        primitive.indices = addIndices(surface.indices);
        for (std::size_t frame = 0; frame < surface.framePositions.size(); ++frame) {
            primitive.targets.push_back(
                {{"POSITION",
                  addFloats(surface.framePositions[frame], TINYGLTF_TYPE_VEC3, 3, true)},
                 {"NORMAL", addFloats(surface.frameNormals[frame], TINYGLTF_TYPE_VEC3, 3, false)}});
        }
        if (_model.meshes.empty())
            _model.meshes.emplace_back().name = "Sheet";
        _model.meshes.front().primitives.push_back(primitive);
        return int(_model.meshes.front().primitives.size()) - 1;
    }

    // The texture's index.
    int addPicture(const EncodedPicture& picture) {
        tinygltf::Image image;
        image.mimeType = picture.mimeType;
        if (_container == GltfWriter::Container::binary)
            image.bufferView = addView(picture.data.constData(), picture.data.size(), 0);
        else
            image.uri =
                "data:" + picture.mimeType + ";base64," + picture.data.toBase64().toStdString();
        _model.images.push_back(image);
        if (_model.samplers.empty()) {
            tinygltf::Sampler sampler;
            sampler.minFilter = TINYGLTF_TEXTURE_FILTER_LINEAR_MIPMAP_LINEAR;
            sampler.magFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
            sampler.wrapS = TINYGLTF_TEXTURE_WRAP_CLAMP_TO_EDGE;
            sampler.wrapT = TINYGLTF_TEXTURE_WRAP_CLAMP_TO_EDGE;
            _model.samplers.push_back(sampler);
        }
        tinygltf::Texture texture;
        texture.source = int(_model.images.size()) - 1;
        texture.sampler = 0;
        _model.textures.push_back(texture);
        return int(_model.textures.size()) - 1;
    }

    // Each key shows its frame's target alone, blending into the next key's.
    void addAnimation(const std::vector<PaperModel::Key>& keys, int targets) {
        std::vector<float> seconds;
        std::vector<float> weights(keys.size() * targets, 0.0f);
        for (std::size_t key = 0; key < keys.size(); ++key) {
            seconds.push_back(keys[key].seconds);
            weights[key * targets + keys[key].frame] = 1.0f;
        }
        tinygltf::AnimationSampler sampler;
        sampler.input = addFloats(seconds, TINYGLTF_TYPE_SCALAR, 1, true, 0);
        sampler.output = addFloats(weights, TINYGLTF_TYPE_SCALAR, 1, false, 0);
        sampler.interpolation = "LINEAR";
        tinygltf::AnimationChannel channel;
        channel.sampler = 0;
        channel.target_node = 0;
        channel.target_path = "weights";
        tinygltf::Animation animation;
        animation.name = "Fold";
        animation.samplers = {sampler};
        animation.channels = {channel};
        _model.animations = {animation};
    }

private:
    int addView(const void* data, std::size_t length, int target) {
        std::vector<unsigned char>& bytes = _model.buffers.front().data;
        bytes.resize((bytes.size() + 3) / 4 * 4, 0); // accessors start on four bytes
        tinygltf::BufferView view;
        view.buffer = 0;
        view.byteOffset = bytes.size();
        view.byteLength = length;
        view.target = target;
        const auto* start = static_cast<const unsigned char*>(data);
        bytes.insert(bytes.end(), start, start + length);
        _model.bufferViews.push_back(view);
        return int(_model.bufferViews.size()) - 1;
    }

    int addFloats(const std::vector<float>& values, int type, int components, bool bounds,
                  int target = TINYGLTF_TARGET_ARRAY_BUFFER) {
        tinygltf::Accessor accessor;
        accessor.bufferView = addView(values.data(), values.size() * sizeof(float), target);
        accessor.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
        accessor.type = type;
        accessor.count = values.size() / components;
        if (bounds) {
            accessor.minValues.assign(components, std::numeric_limits<double>::max());
            accessor.maxValues.assign(components, std::numeric_limits<double>::lowest());
            for (std::size_t i = 0; i < values.size(); ++i) {
                double& low = accessor.minValues[i % components];
                double& high = accessor.maxValues[i % components];
                low = std::min(low, double(values[i]));
                high = std::max(high, double(values[i]));
            }
        }
        _model.accessors.push_back(accessor);
        return int(_model.accessors.size()) - 1;
    }

    int addIndices(const std::vector<std::uint32_t>& indices) {
        tinygltf::Accessor accessor;
        accessor.bufferView = addView(indices.data(), indices.size() * sizeof(std::uint32_t),
                                      TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
        accessor.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT;
        accessor.type = TINYGLTF_TYPE_SCALAR;
        accessor.count = indices.size();
        _model.accessors.push_back(accessor);
        return int(_model.accessors.size()) - 1;
    }

    GltfWriter::Container _container;
    tinygltf::Model _model;
};

tinygltf::Material paperMaterial(const std::string& name) {
    tinygltf::Material material;
    material.name = name;
    material.pbrMetallicRoughness.metallicFactor = 0.0;
    material.pbrMetallicRoughness.roughnessFactor = paperRoughness;
    return material;
}

// Far enough back to see the whole sheet, turned by the tilt about the sheet's tilt axis. The
// renderer's world has Y down, which reverses a turn about X but not one about Y.
tinygltf::Node cameraNode(const PaperModel& model) {
    float reach = 0.0f;
    for (const PaperModel::Surface* surface : {&model.front, &model.back}) {
        for (float coordinate : surface->positions)
            reach = std::max(reach, std::abs(coordinate));
        for (const std::vector<float>& frame : surface->framePositions) {
            for (std::size_t i = 0; i < frame.size(); ++i)
                reach = std::max(reach, std::abs(surface->positions[i] + frame[i]));
        }
    }
    const double distance = reach / std::tan(cameraFieldOfView / 2) * 1.2 + reach;
    const double angle = (model.tiltsAboutX ? 1.0 : -1.0) * double(model.pitch) * pi / 180.0;
    const double sine = std::sin(angle / 2);
    tinygltf::Node node;
    node.name = "View";
    node.camera = 0;
    if (model.tiltsAboutX) {
        node.rotation = {sine, 0.0, 0.0, std::cos(angle / 2)};
        node.translation = {0.0, -distance * std::sin(angle), distance * std::cos(angle)};
    } else {
        node.rotation = {0.0, sine, 0.0, std::cos(angle / 2)};
        node.translation = {distance * std::sin(angle), 0.0, distance * std::cos(angle)};
    }
    return node;
}

tinygltf::Camera camera() {
    tinygltf::Camera camera;
    camera.type = "perspective";
    camera.perspective.yfov = cameraFieldOfView;
    camera.perspective.znear = 0.01;
    camera.perspective.zfar = 100.0;
    return camera;
}

} // namespace

// Built in a function of its own so that the glTF model is gone before the bytes are copied: an
// animation's run to hundreds of megabytes.
QByteArray GltfWriter::encode(const PaperModel& model, Container container, QString* failure) {
    const std::string bytes = serialised(model, container, failure);
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

std::string GltfWriter::serialised(const PaperModel& model, Container container, QString* failure) {
    ModelBuilder builder(container);
    tinygltf::Model& gltf = builder.model();

    EncodedPicture front;
    if (!encodePicture(model.frontPicture, front, failure))
        return {};
    tinygltf::Material frontMaterial = paperMaterial("Front");
    frontMaterial.pbrMetallicRoughness.baseColorTexture.index = builder.addPicture(front);
    if (front.transparent)
        frontMaterial.alphaMode = "BLEND";

    tinygltf::Material backMaterial = paperMaterial("Back");
    if (!model.backPicture.isNull()) {
        EncodedPicture back;
        if (!encodePicture(model.backPicture, back, failure))
            return {};
        backMaterial.pbrMetallicRoughness.baseColorTexture.index = builder.addPicture(back);
        if (back.transparent)
            backMaterial.alphaMode = "BLEND";
    } else {
        const QColor colour = model.backColour.toRgb();
        backMaterial.pbrMetallicRoughness.baseColorFactor = {colour.redF(), colour.greenF(),
                                                             colour.blueF(), 1.0};
    }
    gltf.materials = {frontMaterial, backMaterial};

    builder.addSurface(model.front, true);
    builder.addSurface(model.back, !model.backPicture.isNull());
    gltf.meshes.front().primitives[0].material = 0;
    gltf.meshes.front().primitives[1].material = 1;
    if (!model.keys.empty())
        builder.addAnimation(model.keys, int(model.front.framePositions.size()));

    tinygltf::Node sheet;
    sheet.name = "Sheet";
    sheet.mesh = 0;
    gltf.nodes = {sheet, cameraNode(model)};
    gltf.cameras = {camera()};
    tinygltf::Scene scene;
    scene.nodes = {0, 1};
    gltf.scenes = {scene};
    gltf.defaultScene = 0;

    tinygltf::TinyGLTF writer;
    // Pictures stay where they were put: in the buffer, or as data: URIs.
    writer.SetImageWriter(nullptr, nullptr);
    std::ostringstream stream;
    if (!writer.WriteGltfSceneToStream(&gltf, stream, container == Container::json,
                                       container == Container::binary)) {
        Failure::fail(failure, tr("The model could not be put together."));
        return {};
    }
    return std::move(stream).str();
}

ExportWriter::Outcome GltfWriter::write(const PaperModel& model, Container container,
                                        const QByteArray& path, QString* failure) {
    const QByteArray data = encode(model, container, failure);
    if (data.isEmpty())
        return ExportWriter::Outcome::Failed;
    return ExportWriter::writeData(data, path, failure);
}
