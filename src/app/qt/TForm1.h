// The main window. Its parts are laid out top to bottom: the main menu, the
// toolbar, the work area (left panel with the navigation tree, splitter,
// right panel with the current sheet) and the status bar with the message
// panel. The main frame fills them from the resources; the window itself
// keeps only the placement and the close rules.
#pragma once

#include <QMainWindow>

#include "app/MainFrame.h"
#include "sheet/Fonts.h"

class QFrame;
class QSplitter;
class QToolBar;

namespace twk {

class AppSettings;

// The status line's owner-drawn message panel.
class MessagePanel : public QWidget {
  Q_OBJECT
 public:
  MessagePanel(const MainFrame& frame, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  const MainFrame& frame_;
};

class TForm1 : public QMainWindow, public MainWindowHost {
  Q_OBJECT
 public:
  // Caption, font, bounds from the settings moved onto the work area,
  // minimum size, then the frame's build window (which shows the window).
  TForm1(MainFrame& frame, AppSettings& settings);
  ~TForm1() override;

  // MainWindowHost
  bool IsWindowVisible() const override { return isVisible(); }
  bool IsWindowEnabled() const override { return isEnabled(); }
  void SetCaption(const std::string& caption) override;
  bool NormalPlacement(WindowBounds& bounds) const override;
  int LeftPanelWidth() const override;
  void SetLeftPanelWidth(int width) override;
  void SetToolbarVisible(bool visible) override;
  void RepaintStatusBar() override;
  void ShowWindow() override;
  void CloseWindow() override { close(); }
  void SetWaitCursor(bool on) override;

  QFrame* LeftPanel() const { return left_; }
  QFrame* RightPanel() const { return right_; }
  QToolBar* MainToolBar() const { return toolbar_; }
  QSplitter* Splitter() const { return splitter_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  MainFrame& frame_;
  AppSettings& settings_;
  QToolBar* toolbar_ = nullptr;
  QSplitter* splitter_ = nullptr;
  QFrame* left_ = nullptr;
  QFrame* right_ = nullptr;
  MessagePanel* message_ = nullptr;
  QWidget* spacer_ = nullptr;
};

// A colour of the resources on the Qt palette (system colours by index).
QColor ToQColor(Color color);
// A font of the resources as a QFont (pixel height wins over the size).
QFont ToQFont(const Font& font, const QFont& base);
// The primary screen's work area (without panels and docks).
WorkArea PrimaryWorkArea();

}  // namespace twk
