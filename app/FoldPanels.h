// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>

class DocumentController;

// The file panels of Save Fold... and Apply Fold...: non-modal like the Open panel, for
// .pleatfold files, starting beside the picture. The document acts when the panel is accepted,
// if it is still open then.
class FoldPanels {
    Q_DECLARE_TR_FUNCTIONS(FoldPanels)

public:
    static void showSavePanel(DocumentController& document);
    static void showApplyPanel(DocumentController& document);
};
