// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "media/GltfWriter.h"

#include <QByteArray>

#include <gtest/gtest.h>
#include <tiny_gltf.h>

#include <cstring>
#include <vector>

// A written model read back by tinygltf, and an accessor's values from it.
inline tinygltf::Model loaded(const QByteArray& bytes, GltfWriter::Container container) {
    tinygltf::TinyGLTF loader;
    tinygltf::Model model;
    std::string error, warning;
    const bool read =
        container == GltfWriter::Container::binary
            ? loader.LoadBinaryFromMemory(&model, &error, &warning,
                                          reinterpret_cast<const unsigned char*>(bytes.data()),
                                          unsigned(bytes.size()))
            : loader.LoadASCIIFromString(&model, &error, &warning, bytes.data(),
                                         unsigned(bytes.size()), "");
    EXPECT_TRUE(read) << error;
    return model;
}

template <typename T>
std::vector<T> values(const tinygltf::Model& model, int accessorIndex, int components) {
    const tinygltf::Accessor& accessor = model.accessors.at(accessorIndex);
    const tinygltf::BufferView& view = model.bufferViews.at(accessor.bufferView);
    const std::vector<unsigned char>& data = model.buffers.at(view.buffer).data;
    const std::size_t count = accessor.count * components;
    EXPECT_LE(view.byteOffset + accessor.byteOffset + count * sizeof(T), data.size());
    std::vector<T> out(count);
    std::memcpy(out.data(), data.data() + view.byteOffset + accessor.byteOffset, count * sizeof(T));
    return out;
}
