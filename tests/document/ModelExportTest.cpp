// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/SheetMesh.h"
#include "fold/SheetFold.h"
#include "media/GltfWriter.h"
#include "tests/document/LoadedGltf.h"

#include <QFile>
#include <QProcess>
#include <QQuaternion>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVector3D>

namespace {

constexpr FoldSize a4Sheet{842.0, 595.0};
const QSizeF a4Points(841.89, 595.28); // 297 x 210 mm
constexpr double millimetre = 0.001;

struct ModelCase {
    const char* name;
    FoldLayout layout;
    bool presentation; // the hinged pose; for the classic, its tents pulled up
    GltfWriter::Container container;
    bool backPicture;
    bool transparent;
};

QImage picture(QSize size, bool transparent) {
    QImage image(size, transparent ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    image.fill(QColor(200, 60, 30));
    if (transparent)
        image.setPixelColor(0, 0, Qt::transparent);
    return image;
}

PaperModel modelOf(const ModelCase& c) {
    PanelPaper paper;
    paper.printedSize = {a4Points.width(), a4Points.height()};
    SheetFold fold(c.layout, a4Sheet, paper);
    if (c.presentation && fold.classic()) {
        fold.moveLine(3, {25, 0}, 0);
        fold.moveLine(1, {-12, 0}, 0);
        fold.moveLine(2, {0, -22}, 0);
        fold.moveLine(4, {0, 30}, 0);
    } else if (c.presentation) {
        fold.setPose(HingedFold::Pose::presentation);
    }
    PaperModel model = SheetMesh::build(fold, a4Points, true);
    model.frontPicture = picture({420, 297}, c.transparent);
    if (c.backPicture)
        model.backPicture = picture({210, 148}, false);
    model.backColour = QColor(250, 240, 220);
    model.pitch = c.presentation ? 15.0f : 0.0f;
    return model;
}

QVector3D vertex(const std::vector<float>& positions, std::uint32_t index) {
    return {positions[index * 3], positions[index * 3 + 1], positions[index * 3 + 2]};
}

// What the checks of every primitive add up: the solid's volume by the divergence theorem, and
// the bounds of every position.
struct Totals {
    double volume = 0.0;
    QVector3D low{1e9f, 1e9f, 1e9f};
    QVector3D high{-1e9f, -1e9f, -1e9f};
};

void checkPrimitive(const tinygltf::Model& model, const tinygltf::Primitive& primitive,
                    Totals& totals) {
    const int positionAccessor = primitive.attributes.at("POSITION");
    const std::vector<float> positions = values<float>(model, positionAccessor, 3);
    const std::vector<float> normals = values<float>(model, primitive.attributes.at("NORMAL"), 3);
    const bool textured =
        model.materials.at(primitive.material).pbrMetallicRoughness.baseColorTexture.index >= 0;
    ASSERT_EQ(primitive.attributes.count("TEXCOORD_0"), textured ? 1u : 0u);
    const std::vector<float> texture =
        textured ? values<float>(model, primitive.attributes.at("TEXCOORD_0"), 2)
                 : std::vector<float>(positions.size() / 3 * 2);
    const std::vector<std::uint32_t> indices = values<std::uint32_t>(model, primitive.indices, 1);
    ASSERT_EQ(normals.size(), positions.size());
    ASSERT_EQ(texture.size() / 2, positions.size() / 3);
    ASSERT_FALSE(indices.empty());
    ASSERT_EQ(indices.size() % 3, 0u);

    const tinygltf::Accessor& accessor = model.accessors[positionAccessor];
    QVector3D low(1e9f, 1e9f, 1e9f), high(-1e9f, -1e9f, -1e9f);
    for (std::size_t i = 0; i < positions.size(); i += 3) {
        const QVector3D p = vertex(positions, std::uint32_t(i / 3));
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::min(low[axis], p[axis]);
            high[axis] = std::max(high[axis], p[axis]);
        }
        EXPECT_NEAR(vertex(normals, std::uint32_t(i / 3)).length(), 1.0f, 1e-5f);
    }
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_FLOAT_EQ(float(accessor.minValues.at(axis)), low[axis]);
        EXPECT_FLOAT_EQ(float(accessor.maxValues.at(axis)), high[axis]);
        totals.low[axis] = std::min(totals.low[axis], low[axis]);
        totals.high[axis] = std::max(totals.high[axis], high[axis]);
    }
    for (float coordinate : texture) {
        EXPECT_GE(coordinate, 0.0f);
        EXPECT_LE(coordinate, 1.0f);
    }
    for (std::size_t i = 0; i < indices.size(); i += 3) {
        ASSERT_LT(std::max({indices[i], indices[i + 1], indices[i + 2]}), positions.size() / 3);
        const QVector3D a = vertex(positions, indices[i]);
        const QVector3D b = vertex(positions, indices[i + 1]);
        const QVector3D c = vertex(positions, indices[i + 2]);
        const QVector3D cross = QVector3D::crossProduct(b - a, c - a);
        EXPECT_GT(cross.length() / 2, 1e-14f) << "triangle " << i / 3;
        // Counter-clockwise seen from the side the normal shows.
        EXPECT_GT(QVector3D::dotProduct(cross, vertex(normals, indices[i])), 0.0f);
        totals.volume += QVector3D::dotProduct(a, QVector3D::crossProduct(b, c)) / 6.0;
    }
}

// The camera's forward, -Z turned by its rotation, points from it to the sheet's middle.
void checkCameraLooksAtTheSheet(const tinygltf::Model& model) {
    const tinygltf::Node& node = model.nodes.at(1);
    ASSERT_EQ(node.camera, 0);
    ASSERT_EQ(node.rotation.size(), 4u);
    ASSERT_EQ(node.translation.size(), 3u);
    const QQuaternion turn(float(node.rotation[3]), float(node.rotation[0]),
                           float(node.rotation[1]), float(node.rotation[2]));
    const QVector3D forward = turn.rotatedVector(QVector3D(0, 0, -1));
    const QVector3D toSheet = -QVector3D(float(node.translation[0]), float(node.translation[1]),
                                         float(node.translation[2]));
    EXPECT_NEAR(QVector3D::dotProduct(forward, toSheet.normalized()), 1.0f, 1e-5f);
}

class ModelExportTest : public testing::TestWithParam<ModelCase> {};

TEST_P(ModelExportTest, loadsBackAsAClosedSheetOfPaperAtItsPrintedSize) {
    const ModelCase& c = GetParam();
    const PaperModel paper = modelOf(c);
    QString failure;
    const QByteArray bytes = GltfWriter::encode(paper, c.container, &failure);
    ASSERT_FALSE(bytes.isEmpty()) << failure.toStdString();
    const tinygltf::Model model = loaded(bytes, c.container);

    ASSERT_EQ(model.meshes.size(), 1u);
    ASSERT_EQ(model.meshes[0].primitives.size(), 2u);
    ASSERT_EQ(model.materials.size(), 2u);
    Totals totals;
    for (const tinygltf::Primitive& primitive : model.meshes[0].primitives)
        checkPrimitive(model, primitive, totals);

    const double thickness = PanelPaper().thickness * SheetMesh::metresPerPoint;
    const QVector3D extent = totals.high - totals.low;
    const bool vertical = c.layout.axis() == FoldLayout::Axis::vertical;
    const float along = vertical ? extent.x() : extent.y();
    const float across = vertical ? extent.y() : extent.x();
    EXPECT_NEAR(across, vertical ? 0.210 : 0.297, millimetre);
    if (!c.presentation) {
        EXPECT_NEAR(along, 0.297, millimetre);
        EXPECT_NEAR(extent.z(), thickness, thickness * 1e-3);
    } else {
        // Standing folded: shorter than flat, and deep.
        EXPECT_LT(along, (vertical ? 0.297 : 0.210) - 10 * millimetre);
        EXPECT_GT(extent.z(), 10 * millimetre);
    }
    // Closed and facing out: the solid holds the sheet's area times its thickness.
    EXPECT_NEAR(totals.volume, 0.297 * 0.210 * thickness, 0.297 * 0.210 * thickness * 0.05);

    const tinygltf::Material& front = model.materials[0];
    const int frontTexture = front.pbrMetallicRoughness.baseColorTexture.index;
    ASSERT_GE(frontTexture, 0);
    const tinygltf::Image& frontImage = model.images.at(model.textures.at(frontTexture).source);
    EXPECT_EQ(frontImage.width, paper.frontPicture.width());
    EXPECT_EQ(frontImage.mimeType, c.transparent ? "image/png" : "image/jpeg");
    const tinygltf::Material& back = model.materials[1];
    const int backTexture = back.pbrMetallicRoughness.baseColorTexture.index;
    if (c.backPicture) {
        ASSERT_GE(backTexture, 0);
        EXPECT_EQ(model.images.at(model.textures.at(backTexture).source).height,
                  paper.backPicture.height());
    } else {
        EXPECT_LT(backTexture, 0);
        EXPECT_NEAR(back.pbrMetallicRoughness.baseColorFactor.at(2), 220 / 255.0, 1e-6);
    }
    ASSERT_EQ(model.cameras.size(), 1u);
    checkCameraLooksAtTheSheet(model);
}

// The picture's top left lies at the sheet's top left, and the back's mirrored behind it.
TEST(SheetMeshTest, flatSheetShowsThePictureUprightAndTheBackMirrored) {
    for (const FoldLayout::Axis axis : {FoldLayout::Axis::vertical, FoldLayout::Axis::horizontal}) {
        for (const bool book : {true, false}) {
            const PaperModel model = SheetMesh::build(
                SheetFold(FoldLayout::accordion(3, axis), a4Sheet), a4Points, book);
            for (const PaperModel::Surface* surface : {&model.front, &model.back}) {
                const bool back = surface == &model.back;
                for (int i = 0; i < surface->vertexCount(); ++i) {
                    if (back && std::abs(surface->normals[i * 3 + 2]) < 0.5f)
                        continue; // cut edges
                    float u = float(surface->positions[i * 3] / 0.297 + 0.5);
                    float v = float(0.5 - surface->positions[i * 3 + 1] / 0.210);
                    if (back && book)
                        u = 1 - u;
                    else if (back)
                        v = 1 - v;
                    EXPECT_NEAR(surface->textureCoordinates[i * 2], u, 1e-3);
                    EXPECT_NEAR(surface->textureCoordinates[i * 2 + 1], v, 1e-3);
                }
            }
        }
    }
}

using Container = GltfWriter::Container;
const ModelCase cases[] = {
    {"classicGlb", FoldLayout(), false, Container::binary, false, false},
    {"classicGltf", FoldLayout(), false, Container::json, true, true},
    {"classicFoldedGlb", FoldLayout(), true, Container::binary, true, false},
    {"letterGlb", FoldLayout::hinged(FoldLayout::Shape::letter), true, Container::binary, true,
     false},
    {"letterGltf", FoldLayout::hinged(FoldLayout::Shape::letter), true, Container::json, false,
     true},
    {"letterAcrossGlb", FoldLayout::hinged(FoldLayout::Shape::letter, FoldLayout::Axis::horizontal),
     true, Container::binary, true, false},
};

INSTANTIATE_TEST_SUITE_P(Models, ModelExportTest, testing::ValuesIn(cases),
                         [](const auto& info) { return std::string(info.param.name); });

// Khronos' validator, from npm, where it is installed (scripts/install-deps.sh).
TEST(GltfValidatorTest, findsNoErrorsInAnyWrittenModel) {
    const QString node = QStandardPaths::findExecutable(QStringLiteral("node"));
    const QString modules = QStringLiteral(PLEATORA_GLTF_VALIDATOR_DIR);
    if (node.isEmpty())
        GTEST_SKIP() << "node is not installed";
    if (!QFile::exists(modules + QStringLiteral("/node_modules/gltf-validator")))
        GTEST_SKIP() << "gltf-validator is not installed in " << modules.toStdString();
    QTemporaryDir folder;
    for (const ModelCase& c : cases) {
        const QString path = folder.filePath(
            QString::fromLatin1(c.name) +
            (c.container == Container::binary ? QStringLiteral(".glb") : QStringLiteral(".gltf")));
        QString failure;
        ASSERT_EQ(GltfWriter::write(modelOf(c), c.container, QFile::encodeName(path), &failure),
                  ExportWriter::Outcome::Written)
            << failure.toStdString();
        QProcess validator;
        validator.start(node, {QStringLiteral(PLEATORA_GLTF_VALIDATE_SCRIPT), modules, path});
        ASSERT_TRUE(validator.waitForFinished(60000));
        EXPECT_EQ(validator.exitCode(), 0)
            << c.name << ": " << validator.readAllStandardOutput().toStdString();
    }
}

} // namespace
