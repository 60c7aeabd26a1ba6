// The clone commands of the editor: Clone Read, Clone Write and Clone Info
// from the Clone menu, the "Other port" selection dialog, and the progress
// window shown while a read or write runs. The clone controller does the
// transfers and their checks; this class adds the questions before a
// command, the windows, and the document steps after a successful read.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "app/Dialogs.h"
#include "clone/cmcCloneControl.h"

class QLineEdit;

namespace twk {

class EditorFrame;

// The progress bar: 32 cells of 7 pixels with 1-pixel gaps; a cell lights
// when its share of the expected data has moved.
class CloneProgressBar : public QWidget {
  Q_OBJECT
 public:
  CloneProgressBar(const cmcCloneControl& control, QWidget* parent);
  // Lit cells for `bytes` of `expected` (bytes x 33 / expected; 0 when
  // nothing is expected).
  static int FilledCells(int bytes, int expected);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  const cmcCloneControl& control_;
};

// The "Cloning" window: a tool window the user cannot close.
class CloneProgressWindow : public QWidget {
  Q_OBJECT
 public:
  CloneProgressWindow(const cmcCloneControl& control, QWidget* owner);
  CloneProgressBar* Bar() const { return bar_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  CloneProgressBar* bar_;
};

// The COM selection dialog. Besides a port number 1-256 it takes a device
// path (text containing '/'), for adapters outside the numbered ranges.
class ComSelectDialog : public QDialog {
  Q_OBJECT
 public:
  ComSelectDialog(int comPort, const std::string& devicePath, Dialogs& boxes, QWidget* owner);
  // OK: true (and the dialog accepted) when the text is a usable port;
  // otherwise the out-of-range box, the focus back in the edit box, and
  // the dialog stays open.
  bool TryAccept();
  QLineEdit* Edit() const { return edit_; }
  int Port() const { return port_; }
  const std::string& Path() const { return path_; }

 private:
  Dialogs& boxes_;
  QLineEdit* edit_;
  int port_ = 0;
  std::string path_;
};

// Reads an entry of the COM selection dialog: surrounding blanks removed,
// then the leading decimal number (0 when none). 1-256 is a port; a text
// containing '/' is a device path. False for anything else.
bool ParseComEntry(const std::string& text, int* port, std::string* path);

class CloneCommands {
 public:
  explicit CloneCommands(EditorFrame& frame);
  ~CloneCommands();

  cmcCloneControl& Control() { return *control_; }
  const CloneInfo& Info() const { return info_; }
  // A device path used instead of the COM number ("" = the number).
  void SetDevicePath(const std::string& path) { devicePath_ = path; }
  const std::string& DevicePath() const { return devicePath_; }

  void Read();
  void Write();
  void ShowInfo();
  // The "Other port" dialog (modal).
  void SelectPort();

  CloneProgressWindow* ProgressWindow() const { return progress_; }
  QWidget* InfoDialog() const { return infoDialog_; }

 private:
  QWidget* MainWindow() const;
  void SetMainEnabled(bool on);
  void PreparePort();
  bool StartIdentification(cmcCloneControl::Completion next);
  void AfterRead(cmcCloneResult& result);
  void OpenInfoSheet();

  EditorFrame& frame_;
  std::unique_ptr<cmcCloneControl> control_;
  CloneInfo info_;
  std::string devicePath_;
  QPointer<CloneProgressWindow> progress_;
  QPointer<QWidget> infoDialog_;
};

}  // namespace twk
