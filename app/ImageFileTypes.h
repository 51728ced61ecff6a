// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The image files Pleatora can open: exactly those QImageReader reads.
namespace ImageFileTypes {
// One file-dialog filter naming every readable extension.
QString nameFilter();
} // namespace ImageFileTypes
