// Message boxes and the fatal stop's error box on Qt. On a platform without
// a screen (offscreen, minimal) nobody could answer a box, so the text goes
// to stderr instead and the default answer is taken, as in the headless tool.
#pragma once

#include "app/Dialogs.h"
#include "app/Fatal.h"

class QWidget;

namespace twk {

// True when the Qt platform has no visible screen.
bool HeadlessPlatform();

class QtDialogs : public Dialogs {
 public:
  MsgAnswer MessageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                       MsgButtons buttons) override;
  // The parent of the boxes (the main window once it exists).
  void SetParent(QWidget* parent) { parent_ = parent; }

 private:
  QWidget* parent_ = nullptr;
  StderrDialogs headless_;
};

// Shows the text in an error box captioned with the program's file name and
// ends the process with status 3 at once: nothing is saved afterwards.
class QtFatalReporter : public FatalReporter {
 public:
  void Report(const std::string& text) override;
};

}  // namespace twk
