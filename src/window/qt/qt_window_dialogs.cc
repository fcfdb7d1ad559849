#include "window/qt/qt_window_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QString>

#include "window/qt/qt_text.h"

namespace cordshift {
namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kExclamation:
      return QMessageBox::Warning;
    case MessageIcon::kInformation:
      return QMessageBox::Information;
    case MessageIcon::kStop:
      return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

void QtWindowDialogs::ShowMessage(std::string_view text, MessageIcon icon) {
  QMessageBox box(BoxIcon(icon), ToQString(kProgramTitle), ToQString(text),
                  QMessageBox::Ok, owner_);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

std::string QtWindowDialogs::BrowseForFolder(std::string_view prompt,
                                             std::string_view start_folder) {
  const QString chosen = QFileDialog::getExistingDirectory(
      owner_, ToQString(prompt), ToQString(start_folder),
      QFileDialog::ShowDirsOnly);
  if (chosen.isEmpty()) return {};
  // cleanPath drops a final separator except on a root.
  return ToUtf8(QDir::toNativeSeparators(QDir::cleanPath(chosen)));
}

}  // namespace cordshift
