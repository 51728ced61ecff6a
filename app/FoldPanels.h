// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>

class DocumentController;

// The file panels of Save Fold..., Apply Fold... and Back Picture...: non-modal like the Open
// panel, for .pleatfold files, starting beside the picture. The document acts when the panel is
// accepted, if it is still open then.
class FoldPanels {
    Q_DECLARE_TR_FUNCTIONS(FoldPanels)

public:
    static void showSavePanel(DocumentController& document);
    static void showApplyPanel(DocumentController& document);
    // Back Picture...: any picture Pleatora opens, printed on the back of the sheet.
    static void showBackPicturePanel(DocumentController& document);
};
