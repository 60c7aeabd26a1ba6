// Modal message boxes, behind an interface: the editor shows real boxes, the
// headless tool prints the text to stderr, tests script the answers.
#pragma once

#include <string>

namespace twk {

enum class MsgIcon { None, Information, Question, Warning, Error };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual MsgAnswer MessageBox(const std::string& text, const std::string& caption,
                               MsgIcon icon, MsgButtons buttons) = 0;
};

// Prints "caption: text" to stderr and answers with the default button
// (OK, or Cancel where the buttons offer it): a headless run never agrees to
// anything it was not asked to do on the command line.
class StderrDialogs : public Dialogs {
 public:
  MsgAnswer MessageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                       MsgButtons buttons) override;
};

}  // namespace twk
