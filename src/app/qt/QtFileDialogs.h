// The clone file dialogs on Qt. The filter of the resources ("description|
// pattern|...") becomes Qt's "description (pattern);;..." form. On a
// platform without a screen nobody could answer, so the dialog counts as
// cancelled.
#pragma once

#include <QString>

#include "app/FileDialogs.h"

class QWidget;

namespace twk {

class QtFileDialogs : public FileDialogs {
 public:
  bool ChooseOpenFile(const FileDialogRequest& request, std::string& path) override;
  bool ChooseSaveFile(const FileDialogRequest& request, std::string& path) override;
  void SetParent(QWidget* parent) { parent_ = parent; }

  // "Clone files (*.cln)|*.cln|All files|*.*" -> "Clone files (*.cln);;All files (*.*)".
  static QString QtFilter(const std::string& filter);

 private:
  QWidget* parent_ = nullptr;
};

}  // namespace twk
