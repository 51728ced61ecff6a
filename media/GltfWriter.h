// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "media/ExportWriter.h"
#include "media/PaperModel.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <string>

// Writes a folded sheet as a glTF 2.0 model: binary (.glb, one file) or JSON (.gltf) with its
// buffer and pictures inside as data: URIs, so either travels as one file.
class GltfWriter {
    Q_DECLARE_TR_FUNCTIONS(GltfWriter)

public:
    enum class Container { binary, json };

    // Larger pictures are scaled down: viewers on phones refuse textures beyond this.
    static constexpr int largestTextureSide = 8192;

    // The model's bytes; empty with the reason in failure when a picture cannot be encoded.
    static QByteArray encode(const PaperModel& model, Container container,
                             QString* failure = nullptr);
    // Through ReplacingFile, as every other export; path: the system's bytes.
    static ExportWriter::Outcome write(const PaperModel& model, Container container,
                                       const QByteArray& path, QString* failure = nullptr);

private:
    static std::string serialised(const PaperModel& model, Container container, QString* failure);
};
