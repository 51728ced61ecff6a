// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMessageBox>

// About Pleatora: the version, the licence, the home page and the Qt version Pleatora runs on.
// Not modal, so that the documents stay usable while it is up.
class AboutBox : public QMessageBox {
    Q_OBJECT

public:
    AboutBox();
};
