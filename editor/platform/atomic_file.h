#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

namespace tamrisk {

// Writes bytes to path as one step: into a new file beside it that replaces
// path only once every byte is known to be on disk, so that a failure (a full
// disk, a folder that cannot be written) leaves a file already there as it
// was and no partial file behind. false with the system's reason in *error
// (when not null), for the caller to put into its own message.
bool write_file_atomically(const QString& path, const QByteArray& bytes, QString* error);

// Writes every byte to an open file. A full disk first cuts a write short
// without an error; the write of the rest then fails and file's
// errorString() says why.
bool write_all(QFileDevice& file, const QByteArray& bytes);

}  // namespace tamrisk
