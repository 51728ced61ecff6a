// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AboutBox.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>

AboutBox::AboutBox() {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("About Pleatora"));
    setIconPixmap(QApplication::windowIcon().pixmap(64, 64));
    setTextFormat(Qt::RichText);
    setText(tr("<h3>Pleatora %1</h3>"
               "<p>Shows a picture as a folded sheet of paper.</p>"
               "<p><a href=\"%2\">%2</a></p>")
                .arg(QStringLiteral(PLEATORA_VERSION), QStringLiteral(PLEATORA_HOMEPAGE)));
    setInformativeText(
        tr("<p>Pleatora is free software: you may share and change it under the terms of the "
           "GNU General Public License, version 3 or any later version. It comes with no "
           "warranty.</p>"
           "<p>Built with Qt %1, running on Qt %2.</p>")
            .arg(QStringLiteral(QT_VERSION_STR), QString::fromLatin1(qVersion())));
    setStandardButtons(QMessageBox::Ok);
    setModal(false);
    // The home page opens in the browser.
    for (auto* label : findChildren<QLabel*>())
        label->setOpenExternalLinks(true);
}
