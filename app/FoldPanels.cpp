// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FoldPanels.h"

#include "app/ImageFileTypes.h"
#include "document/FoldFile.h"
#include "window/DocumentController.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>

#include <functional>

namespace {

QFileDialog* makePanel(const QString& title, QFileDialog::AcceptMode mode, const QString& filter) {
    auto* panel = new QFileDialog(nullptr, title);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setAcceptMode(mode);
    panel->setNameFilter(filter);
    panel->setDefaultSuffix(FoldFile::suffix);
    return panel;
}

void whenChosen(QFileDialog* panel, DocumentController& document,
                const std::function<void(DocumentController&, const QString&)>& act) {
    QPointer<DocumentController> target(&document);
    QObject::connect(panel, &QFileDialog::finished, panel, [panel, target, act](int result) {
        if (result == QDialog::Accepted && target && !panel->selectedFiles().isEmpty())
            act(*target, panel->selectedFiles().constFirst());
    });
    panel->show();
}

QString foldFilter() {
    return FoldPanels::tr("Pleatora folds (*.%1)").arg(FoldFile::suffix);
}

} // namespace

void FoldPanels::showSavePanel(DocumentController& document) {
    QFileDialog* panel = makePanel(tr("Save Fold"), QFileDialog::AcceptSave, foldFilter());
    const QFileInfo picture(document.url().toLocalFile());
    panel->setDirectory(picture.absolutePath());
    panel->selectFile(picture.completeBaseName() + u'.' + FoldFile::suffix);
    whenChosen(panel, document, &DocumentController::saveFoldToFile);
}

void FoldPanels::showApplyPanel(DocumentController& document) {
    QFileDialog* panel = makePanel(tr("Apply Fold"), QFileDialog::AcceptOpen, foldFilter());
    panel->setFileMode(QFileDialog::ExistingFile);
    panel->setDirectory(QFileInfo(document.url().toLocalFile()).absolutePath());
    whenChosen(panel, document, &DocumentController::applyFoldFile);
}

void FoldPanels::showBackPicturePanel(DocumentController& document) {
    QFileDialog* panel =
        makePanel(tr("Back Picture"), QFileDialog::AcceptOpen, ImageFileTypes::nameFilter());
    panel->setDefaultSuffix(QString());
    panel->setFileMode(QFileDialog::ExistingFile);
    const QString current = document.document().backPicture();
    panel->setDirectory(
        QFileInfo(current.isEmpty() ? document.url().toLocalFile() : current).absolutePath());
    whenChosen(panel, document, &DocumentController::setBackPicture);
}
