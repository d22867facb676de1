#pragma once

// Driving the editor's dialogs in tests: modal boxes answered from a timer,
// clicks on listed files and folders and on drop-down entries.

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>

#include "qtry_timeout.h"
#include "ui/file_list.h"
#include "ui/folder_list.h"

namespace tamrisk::test {

// Answers every message box with OK, noting its text and buttons, and hands
// every colour chooser to on_colour_dialog, which must close it.
class ModalWatcher : public QObject {
 public:
  ModalWatcher() {
    connect(&timer_, &QTimer::timeout, this, &ModalWatcher::poll);
    timer_.start(10);
  }
  QStringList texts;
  QList<QMessageBox::StandardButtons> buttons;
  int colour_dialogs = 0;
  std::function<void(QColorDialog*)> on_colour_dialog = [](QColorDialog* d) { d->reject(); };

 private:
  void poll() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
        texts << box->text();
        buttons << box->standardButtons();
        box->button(QMessageBox::Ok)->click();
      } else if (auto* chooser = qobject_cast<QColorDialog*>(widget);
                 chooser && chooser->isVisible()) {
        ++colour_dialogs;
        on_colour_dialog(chooser);
      }
    }
  }
  QTimer timer_;
};

inline bool write_picture(const QString& path, int width, int height, QRgb colour,
                          const char* format = nullptr) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return image.save(path, format);
}

// Clicks (or clicks and double-clicks) a listed file; false when not listed.
inline bool click_file(ui::FileList* list, const QString& name, bool twice = false) {
  const QAbstractItemModel* model = list->model();
  for (int row = 0; row < model->rowCount(); ++row) {
    const QModelIndex index = model->index(row, 0);
    if (index.data().toString() == name) {
      list->scrollTo(index);
      const QPoint centre = list->visualRect(index).center();
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
      if (twice) {
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
      }
      return true;
    }
  }
  return false;
}

// Clicks a folder in a folder list; false when it is not there to click.
inline bool click_folder(ui::FolderList* list, const QString& path) {
  const QModelIndex index = list->index_of(path);
  if (!index.isValid()) {
    return false;
  }
  list->scrollTo(index);
  const QPoint centre = list->visualRect(index).center();
  if (!list->viewport()->rect().contains(centre)) {
    return false;
  }
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
  return true;
}

// Chooses an entry of a combo box's drop-down list with the mouse.
inline void choose_entry(QComboBox* combo, const QString& text) {
  combo->showPopup();
  QAbstractItemView* view = combo->view();
  const QModelIndex index = view->model()->index(combo->findText(text), 0);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

}  // namespace tamrisk::test
