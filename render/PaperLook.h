// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

// What makes the sheet look like printed paper beyond its picture and facet shading. Amounts run
// from 0 (off) to 1.
struct PaperLook {
    // What a panel seen from behind shows: the picture through the paper, plain paper of
    // backColour, or the renderer's back picture.
    enum class Back { same, paper, picture };
    // How a back picture lies behind the front: as the creases turn the sheet over (a book's
    // page for vertical creases, head to toe for horizontal ones), or always one of those two.
    enum class BackTurn { byCreases, book, tumble };

    Back back = Back::same;
    QColor backColour = Qt::white;
    float grain = 0.0f;
    float creaseShading = 0.0f;
    float gloss = 0.0f;
    BackTurn backTurn = BackTurn::byCreases;

    // Every effect off: the sheet is drawn exactly as before these existed.
    bool plain() const {
        return back == Back::same && grain == 0.0f && creaseShading == 0.0f && gloss == 0.0f;
    }
    bool operator==(const PaperLook&) const = default;
};
