// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// A file written in full beside its destination and then renamed over it, so the destination
// appears only complete and an old file stays as it was until then. The rename replaces the
// destination's entry, so a symbolic link there is replaced rather than written through; a
// destination that is a device, FIFO or socket is refused. Every write is checked, and the first
// failure (a full disk, a file size limit) fails every write after it and the commit. The
// temporary file is listed in TemporaryFiles while it lives.
class ReplacingFile : public QFile {
public:
    // destination: the system's bytes.
    explicit ReplacingFile(const QByteArray& destination);
    ~ReplacingFile() override; // removes the temporary file unless committed

    // Makes the temporary file in the destination's folder and opens it for writing.
    bool open();
    // Writes what is left to the disk and renames the file over the destination; false with the
    // reason in failure(), the temporary file then gone.
    bool commit();
    // The system's reason for the first failure ("No space left on device").
    QString failure() const;
    bool failed() const { return _error != 0; }

protected:
    qint64 writeData(const char* data, qint64 length) override;
    // Fails every later write, with the errno given.
    void failWith(int error);

private:
    void discard();

    QByteArray _destination;
    QByteArray _temporary;
    int _descriptor = -1;
    int _error = 0;
    int _listed = -1; // the slot in TemporaryFiles
};
