#include "platform/atomic_file.h"

#include <QSaveFile>

namespace tamrisk {

bool write_file_atomically(const QString& path, const QByteArray& bytes, QString* error) {
  // Unbuffered, so that a failed write shows at once: a QSaveFile whose
  // buffered data fails to reach the disk at commit() still replaces the
  // target with what it has (seen with Qt 6.4). Without commit() the
  // destructor removes the new file.
  QSaveFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
      file.write(bytes) == bytes.size() && file.commit()) {
    return true;
  }
  if (error != nullptr) {
    *error = file.errorString();
  }
  return false;
}

}  // namespace tamrisk
