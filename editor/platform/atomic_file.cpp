#include "platform/atomic_file.h"

#include <QSaveFile>

namespace tamrisk {
namespace {

bool fail(const QSaveFile& file, QString* error) {
  if (error != nullptr) {
    *error = file.errorString();
  }
  return false;
}

}  // namespace

bool write_file_atomically(const QString& path, const QByteArray& bytes, QString* error) {
  // Unbuffered, so that a failed write shows at once: a QSaveFile whose
  // buffered data fails to reach the disk at commit() still replaces the
  // target with what it has (seen with Qt 6.4). Without commit() the
  // destructor removes the new file.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    return fail(file, error);
  }
  return (write_all(file, bytes) && file.commit()) || fail(file, error);
}

bool write_all(QFileDevice& file, const QByteArray& bytes) {
  for (qint64 done = 0; done < bytes.size();) {
    const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
    if (written <= 0) {
      return false;
    }
    done += written;
  }
  return true;
}

}  // namespace tamrisk
