#include "qt_front_end.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QString>

#include "file_io.h"
#include "messages.h"

namespace vessik {

struct QtFrontEnd::App {
  App(int& argc, char** argv) : application(argc, argv) {}
  QApplication application;
};

QtFrontEnd::QtFrontEnd(int& argc, char** argv) : argc_(argc), argv_(argv) {}

QtFrontEnd::~QtFrontEnd() = default;

void QtFrontEnd::EnsureApplication() {
  if (!app_) {
    app_ = std::make_unique<App>(argc_, argv_);
  }
}

std::optional<std::string> QtFrontEnd::ChooseScriptFile() {
  EnsureApplication();
  QFileDialog dialog(nullptr, QString::fromUtf8(msg::kChooseTitle));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // Each label carries its own pattern in parentheses, which Qt reads.
  dialog.setNameFilters({QString::fromUtf8(msg::kFilterText), QString::fromUtf8(msg::kFilterAll)});
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return dialog.selectedFiles().front().toLocal8Bit().toStdString();
}

void QtFrontEnd::ShowMessage(const std::string& caption, const std::string& text, bool error) {
  EnsureApplication();
  QMessageBox box(error ? QMessageBox::Critical : QMessageBox::Information,
                  QString::fromUtf8(caption.c_str()), QString::fromUtf8(text), QMessageBox::Ok);
  box.exec();
}

bool QtFrontEnd::ConfirmOverwrite(const std::string& output_name) {
  EnsureApplication();
  QMessageBox box(QMessageBox::Question, QString::fromUtf8(msg::kCaptionConfirm),
                  QString::fromUtf8(Fill(msg::kOverwriteBox, {io::DisplayName(output_name)})),
                  QMessageBox::Ok | QMessageBox::Cancel);
  return box.exec() == QMessageBox::Ok;
}

}  // namespace vessik
