#pragma once

#include <QListView>
#include <QString>
#include <QStringList>

class QFileSystemWatcher;
class QStringListModel;
class QTimer;

namespace tamrisk::ui {

// The file list `File1`: the files of one folder whose names match the
// pattern, in name order. A click (or moving onto a file with the keys)
// reports its name through file_clicked; a double-click (or Enter) through
// file_double_clicked. The folder is read at once when it or the pattern
// changes, and again shortly after files come or go in it.
class FileList : public QListView {
  Q_OBJECT

 public:
  explicit FileList(QWidget* parent = nullptr);

  QString folder() const { return folder_; }
  void set_folder(const QString& folder);

  // Wildcards such as "*.BMP", several separated by ';'; letter case does
  // not matter.
  QString pattern() const { return pattern_; }
  void set_pattern(const QString& pattern);

  // Whether files whose names begin with a dot are listed; they are not
  // unless asked for.
  void set_hidden_listed(bool listed);

  // The names listed now, in list order.
  QStringList file_names() const;

  // Reads the folder again, keeping the chosen file chosen if it is still there.
  void refresh();

 signals:
  void file_clicked(const QString& name);
  void file_double_clicked(const QString& name);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QString name_at(const QModelIndex& index) const;
  void watch(const QString& folder);

  QStringListModel* model_;
  QFileSystemWatcher* watcher_;
  QTimer* refresh_timer_;
  QString folder_;
  QString pattern_;
  bool hidden_listed_ = false;
};

}  // namespace tamrisk::ui
