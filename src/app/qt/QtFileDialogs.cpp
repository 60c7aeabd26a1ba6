#include "app/qt/QtFileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include "app/qt/QtDialogs.h"
#include "sheet/qt/QtCanvas.h"

namespace twk {

QString QtFileDialogs::QtFilter(const std::string& filter) {
  QStringList out;
  for (const FilterPair& f : SplitFilter(filter)) {
    QString description = ToQString(f.description);
    QString pattern = ToQString(f.pattern);
    pattern.replace(';', ' ');
    // Qt reads the patterns from the parentheses of the description.
    if (!description.contains('(')) description += " (" + pattern + ")";
    out << description;
  }
  return out.join(";;");
}

namespace {

bool Run(QWidget* parent, const FileDialogRequest& r, bool save, std::string& path) {
  if (HeadlessPlatform()) return false;
  QFileDialog dialog(parent);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::ReadOnly, false);
  dialog.setDefaultSuffix(ToQString(r.defaultExtension));
  const QString filter = QtFileDialogs::QtFilter(r.filter);
  if (!filter.isEmpty()) dialog.setNameFilters(filter.split(";;"));
  if (!r.initialFolder.empty()) dialog.setDirectory(ToQString(r.initialFolder));
  if (!r.initialName.empty()) dialog.selectFile(ToQString(r.initialName));
  dialog.setSizeGripEnabled(true);
  if (dialog.exec() != QDialog::Accepted) return false;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return false;
  path = FromQString(QDir::toNativeSeparators(files.front()));
  return true;
}

}  // namespace

bool QtFileDialogs::ChooseOpenFile(const FileDialogRequest& request, std::string& path) {
  return Run(parent_, request, false, path);
}

bool QtFileDialogs::ChooseSaveFile(const FileDialogRequest& request, std::string& path) {
  return Run(parent_, request, true, path);
}

}  // namespace twk
