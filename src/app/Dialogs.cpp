#include "app/Dialogs.h"

#include <cstdio>

namespace twk {

MsgAnswer StderrDialogs::MessageBox(const std::string& text, const std::string& caption,
                                    MsgIcon, MsgButtons buttons) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  switch (buttons) {
    case MsgButtons::Ok: return MsgAnswer::Ok;
    case MsgButtons::YesNo: return MsgAnswer::No;
    default: return MsgAnswer::Cancel;
  }
}

}  // namespace twk
