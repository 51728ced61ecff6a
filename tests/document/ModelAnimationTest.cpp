// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/ModelExport.h"
#include "document/SheetMesh.h"
#include "fold/FoldMotion.h"
#include "fold/SheetFold.h"
#include "media/GltfWriter.h"
#include "tests/document/LoadedGltf.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVector3D>

namespace {

constexpr FoldSize a4Sheet{842.0, 595.0};
const QSizeF a4Points(841.89, 595.28); // 297 x 210 mm
constexpr double millimetre = 0.001;

using Container = GltfWriter::Container;

struct MotionCase {
    const char* name;
    FoldLayout layout;
    Container container;
    bool loop;
};

// As the command line moves it: from flat (closed for hinged panels) to a standing fold.
struct Motion {
    SheetFold end;
    std::vector<FoldSnapshot> frames;
    FoldMotion::Timing timing;
};

Motion motionOf(const MotionCase& c) {
    PanelPaper paper;
    paper.printedSize = {a4Points.width(), a4Points.height()};
    SheetFold end(c.layout, a4Sheet, paper);
    SheetFold start = end;
    if (end.classic()) {
        end.moveLine(3, {25, 0}, 0);
        end.moveLine(1, {-12, 0}, 0);
        end.moveLine(2, {0, -22}, 0);
        end.moveLine(4, {0, 30}, 0);
    } else {
        end.setPose(HingedFold::Pose::presentation);
        if (end.hinged())
            start.setPose(HingedFold::Pose::closed);
    }
    const FoldMotion::Timing timing{1.0, 12, c.loop, true};
    std::vector<FoldSnapshot> frames =
        FoldMotion::frames(a4Sheet, start.snapshot(0), end.snapshot(10), timing);
    return {end, std::move(frames), timing};
}

PaperModel animated(const Motion& motion) {
    QImage picture(420, 297, QImage::Format_RGB32);
    picture.fill(QColor(200, 60, 30));
    return ModelExport::animatedModel(motion.end, motion.frames, motion.timing,
                                      {a4Points, picture, QImage(), PaperLook()}, QSize());
}

struct Bounds {
    QVector3D low{1e9f, 1e9f, 1e9f};
    QVector3D high{-1e9f, -1e9f, -1e9f};

    void add(QVector3D point) {
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::min(low[axis], point[axis]);
            high[axis] = std::max(high[axis], point[axis]);
        }
    }
};

// Where the model's frame lies, from its morph target, and the still model of that fold.
Bounds frameBounds(const tinygltf::Model& model, int frame) {
    Bounds bounds;
    for (const tinygltf::Primitive& primitive : model.meshes.at(0).primitives) {
        const std::vector<float> base =
            values<float>(model, primitive.attributes.at("POSITION"), 3);
        const std::vector<float> moved =
            values<float>(model, primitive.targets.at(frame).at("POSITION"), 3);
        for (std::size_t i = 0; i < base.size(); i += 3)
            bounds.add(QVector3D(base[i] + moved[i], base[i + 1] + moved[i + 1],
                                 base[i + 2] + moved[i + 2]));
    }
    return bounds;
}

Bounds stillBounds(const SheetFold& sheet, const FoldSnapshot& frame) {
    SheetFold fold(frame.layout, sheet.sheetSize(), sheet.paper());
    fold.restore(frame);
    const PaperModel still = SheetMesh::build(fold, a4Points, true);
    Bounds bounds;
    for (const PaperModel::Surface* surface : {&still.front, &still.back}) {
        for (std::size_t i = 0; i < surface->positions.size(); i += 3)
            bounds.add(QVector3D(surface->positions[i], surface->positions[i + 1],
                                 surface->positions[i + 2]));
    }
    return bounds;
}

void checkTargetBounds(const tinygltf::Model& model, const tinygltf::Primitive& primitive) {
    for (const std::map<std::string, int>& target : primitive.targets) {
        ASSERT_EQ(target.size(), 2u); // positions and normals, never texture coordinates
        const int accessor = target.at("POSITION");
        const std::vector<float> moved = values<float>(model, accessor, 3);
        ASSERT_EQ(model.accessors[accessor].count,
                  model.accessors[primitive.attributes.at("POSITION")].count);
        for (std::size_t i = 0; i < moved.size(); ++i) {
            ASSERT_GE(moved[i], model.accessors[accessor].minValues.at(i % 3));
            ASSERT_LE(moved[i], model.accessors[accessor].maxValues.at(i % 3));
        }
    }
}

class ModelAnimationTest : public testing::TestWithParam<MotionCase> {};

TEST_P(ModelAnimationTest, playsTheMotionsFramesFromTheStartFoldToTheEnd) {
    const MotionCase& c = GetParam();
    const Motion motion = motionOf(c);
    const int frames = int(motion.frames.size());
    ASSERT_EQ(frames, FoldMotion::frameCount(motion.timing));
    QString failure;
    const QByteArray bytes = GltfWriter::encode(animated(motion), c.container, &failure);
    ASSERT_FALSE(bytes.isEmpty()) << failure.toStdString();
    const tinygltf::Model model = loaded(bytes, c.container);

    ASSERT_EQ(model.animations.size(), 1u);
    const tinygltf::Animation& animation = model.animations[0];
    ASSERT_EQ(animation.channels.size(), 1u);
    ASSERT_EQ(animation.samplers.size(), 1u);
    const tinygltf::AnimationChannel& channel = animation.channels[0];
    EXPECT_EQ(channel.target_path, "weights");
    EXPECT_EQ(model.nodes.at(channel.target_node).mesh, 0);
    const tinygltf::AnimationSampler& sampler = animation.samplers.at(channel.sampler);
    EXPECT_TRUE(sampler.interpolation == "LINEAR" || sampler.interpolation == "STEP");

    const std::vector<float> seconds = values<float>(model, sampler.input, 1);
    const std::vector<float> weights = values<float>(model, sampler.output, 1);
    const float frameTime = 1.0f / float(motion.timing.framesPerSecond);
    EXPECT_NEAR(seconds.back(), motion.timing.duration, frameTime);
    EXPECT_FLOAT_EQ(float(model.accessors[sampler.input].maxValues.at(0)), seconds.back());
    ASSERT_EQ(weights.size(), seconds.size() * frames);
    for (std::size_t key = 0; key < seconds.size(); ++key) {
        if (key > 0)
            EXPECT_GT(seconds[key], seconds[key - 1]);
        const auto row = weights.begin() + std::ptrdiff_t(key * frames);
        EXPECT_EQ(std::count(row, row + frames, 1.0f), 1) << "key " << key;
        EXPECT_EQ(std::count(row, row + frames, 0.0f), frames - 1) << "key " << key;
        // Every frame in its turn, a loop ending where it began.
        EXPECT_EQ(row[key % frames], 1.0f) << "key " << key;
    }

    for (const tinygltf::Primitive& primitive : model.meshes.at(0).primitives) {
        ASSERT_EQ(int(primitive.targets.size()), frames);
        checkTargetBounds(model, primitive);
    }
    for (const int frame : {0, frames - 1}) {
        const Bounds moving = frameBounds(model, frame);
        const Bounds still = stillBounds(motion.end, motion.frames[frame]);
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_NEAR(moving.low[axis], still.low[axis], millimetre) << "frame " << frame;
            EXPECT_NEAR(moving.high[axis], still.high[axis], millimetre) << "frame " << frame;
        }
    }
    // The motion is seen: halfway, a loop's end, is not the start.
    const Bounds first = frameBounds(model, 0);
    const Bounds halfway = frameBounds(model, frames / 2);
    EXPECT_GT((first.high - first.low - (halfway.high - halfway.low)).length(), 10 * millimetre);
}

const MotionCase cases[] = {
    {"classicGlb", FoldLayout(), Container::binary, false},
    {"accordionGltfLoop", FoldLayout::accordion(4), Container::json, true},
    {"letterGlb", FoldLayout::hinged(FoldLayout::Shape::letter), Container::binary, false},
    {"letterAcrossGltf",
     FoldLayout::hinged(FoldLayout::Shape::letter, FoldLayout::Axis::horizontal), Container::json,
     false},
};

INSTANTIATE_TEST_SUITE_P(Motions, ModelAnimationTest, testing::ValuesIn(cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GltfValidatorTest, findsNoErrorsInAnyAnimatedModel) {
    const QString node = QStandardPaths::findExecutable(QStringLiteral("node"));
    const QString modules = QStringLiteral(PLEATORA_GLTF_VALIDATOR_DIR);
    if (node.isEmpty())
        GTEST_SKIP() << "node is not installed";
    if (!QFile::exists(modules + QStringLiteral("/node_modules/gltf-validator")))
        GTEST_SKIP() << "gltf-validator is not installed in " << modules.toStdString();
    QTemporaryDir folder;
    for (const MotionCase& c : cases) {
        const QString path = folder.filePath(
            QString::fromLatin1(c.name) +
            (c.container == Container::binary ? QStringLiteral(".glb") : QStringLiteral(".gltf")));
        QString failure;
        ASSERT_EQ(GltfWriter::write(animated(motionOf(c)), c.container, QFile::encodeName(path),
                                    &failure),
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
