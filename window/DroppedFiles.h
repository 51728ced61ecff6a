// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QMimeData>
#include <QUrl>

// What a drag onto a Pleatora window brings. It can be dropped only when it brings at least one
// picture; a drop then hands everything to the opening, which opens the pictures and names the
// rest (other files, folders, links and remote items) in its one alert.
namespace DroppedFiles {

// A local regular file whose header an image reader recognises.
bool isReadablePicture(const QUrl& url);
// Judged when the drag enters, so that the cursor shows at once whether it can be dropped.
bool bringsPictures(const QMimeData* mimeData);

} // namespace DroppedFiles
