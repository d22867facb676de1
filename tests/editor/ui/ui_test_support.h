#pragma once

// Driving the editor's dialogs in tests: modal boxes answered as they show,
// clicks on listed files and folders and on drop-down entries.

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QMessageBox>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTranslator>
#include <functional>

#include "qtry_timeout.h"
#include "ui/file_list.h"
#include "ui/folder_list.h"
#include "ui/translators.h"

namespace tamrisk::test {

// The user's own settings stay untouched: each test program keeps what the
// editor remembers (formats, recent projects) in a folder of its own.
inline void keep_settings_apart() {
  static QTemporaryDir folder;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
}
Q_COREAPP_STARTUP_FUNCTION(keep_settings_apart)

// The editor's texts in the language of a locale while it lives; the
// translators go with it, so later tests see the texts as written.
struct SpokenLanguage {
  explicit SpokenLanguage(const QString& locale)
      : installed(tamrisk::ui::install_translators(
            *qApp, tamrisk::ui::editor_language(QLocale(locale)), /*qt_texts=*/false)) {}
  ~SpokenLanguage() {
    for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
      QCoreApplication::removeTranslator(translator);
      delete translator;
    }
  }
  SpokenLanguage(const SpokenLanguage&) = delete;
  SpokenLanguage& operator=(const SpokenLanguage&) = delete;
  const bool installed;
};

// Answers every message box that shows: with `answer` when the box has that
// button, else with OK, else by rejecting it; notes what each box said.
// Hands every colour chooser to on_colour_dialog, which must close it. The
// answer is posted as the dialog shows, so it comes as soon as the dialog's
// own event loop runs.
class BoxAnswerer : public QObject {
 public:
  struct Box {
    QString title;
    QString text;  // as read: rich text as its plain lines
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QString detail;
  };

  explicit BoxAnswerer(QMessageBox::StandardButton answer = QMessageBox::Ok) : answer_(answer) {
    qApp->installEventFilter(this);
  }

  QList<Box> boxes;
  int colour_dialogs = 0;
  std::function<void(QColorDialog*)> on_colour_dialog = [](QColorDialog* d) { d->reject(); };

  QStringList titles() const {
    QStringList list;
    for (const Box& box : boxes) {
      list << box.title;
    }
    return list;
  }
  QStringList texts() const {
    QStringList list;
    for (const Box& box : boxes) {
      list << box.text;
    }
    return list;
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Show) {
      return false;
    }
    if (auto* box = qobject_cast<QMessageBox*>(watched)) {
      QString text = box->text();
      if (box->textFormat() == Qt::RichText) {
        QTextDocument document;
        document.setHtml(text);
        text = document.toPlainText();
      }
      boxes.append(
          {box->windowTitle(), text, box->icon(), box->standardButtons(), box->detailedText()});
      later(box, [this](QMessageBox* b) { answer(b); });
    } else if (auto* chooser = qobject_cast<QColorDialog*>(watched)) {
      ++colour_dialogs;
      later(chooser, [this](QColorDialog* c) { on_colour_dialog(c); });
    }
    return false;
  }

 private:
  template <typename Dialog, typename Step>
  void later(Dialog* dialog, Step step) {
    QMetaObject::invokeMethod(
        this,
        [dialog = QPointer<Dialog>(dialog), step] {
          if (dialog != nullptr && dialog->isVisible()) {
            step(dialog.data());
          }
        },
        Qt::QueuedConnection);
  }

  void answer(QMessageBox* box) const {
    if (QAbstractButton* button = box->button(answer_)) {
      button->click();
    } else if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
      ok->click();
    } else {
      box->reject();
    }
  }

  QMessageBox::StandardButton answer_;
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
