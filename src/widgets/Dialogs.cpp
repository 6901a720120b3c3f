#include "widgets/Dialogs.h"

#include "widgets/QtBridge.h"

#include <QFileDialog>
#include <QStringList>

namespace {

// "Description|pattern|..." as Qt's name filters: the description, with the pattern in parentheses unless the
// description shows it already.
QStringList NameFilters(const std::string& filter) {
  QStringList parts = ToQString(filter).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i], pattern = parts[i + 1];
    QString patterns = QString(pattern).replace(';', ' ');
    filters << (description.contains("(" + patterns + ")") ? description : description + " (" + patterns + ")");
  }
  return filters;
}

}  // namespace

bool TSaveDialog::Execute() {
  QFileDialog dialog(nullptr, ToQString(title_));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  QStringList filters = NameFilters(filter_);
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  QString suffix = ToQString(default_ext_);
  if (suffix.startsWith('.')) suffix.remove(0, 1);
  dialog.setDefaultSuffix(suffix);
  if (!file_name_.empty()) dialog.selectFile(ToQString(file_name_));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  file_name_ = FromQString(dialog.selectedFiles().first());
  return true;
}
