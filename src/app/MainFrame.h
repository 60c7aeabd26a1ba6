// The main frame: the application object that owns the open document (the
// current EEPROM image and its companions), the main window's parts and the
// 50 ms tick that opens sheets and refreshes the warnings. The base class is
// a frame without a model; ModelFrame supplies this radio's behaviour.
//
// The frame is toolkit-neutral: it reaches the window through MainWindowHost,
// which the Qt main window implements (tests implement it in memory).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Dialogs.h"
#include "app/WindowPlacement.h"
#include "data/DocumentHooks.h"
#include "data/EepromImage.h"
#include "sheet/Fonts.h"
#include "text/ResourceKeys.h"

namespace twk {

class AppSettings;
class CheckTree;
class Dialogs;
class FileDialogs;
class MessageBus;
class TimerService;
class cmcTask;
class cmcCloneEngine;
struct Message;

// What the frame needs from the main window.
class MainWindowHost {
 public:
  virtual ~MainWindowHost() = default;
  virtual bool IsWindowVisible() const = 0;
  virtual bool IsWindowEnabled() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  // The window's normal (restored) placement; false when it cannot be read.
  virtual bool NormalPlacement(WindowBounds& bounds) const = 0;
  // Current width of the left (tree) panel.
  virtual int LeftPanelWidth() const = 0;
  virtual void SetLeftPanelWidth(int width) = 0;
  virtual void SetToolbarVisible(bool visible) = 0;
  // Repaints the status bar (the message panel shows the frame's message).
  virtual void RepaintStatusBar() = 0;
  virtual void ShowWindow() = 0;
  // Closes the window as its close box does (the close query runs).
  virtual void CloseWindow() {}
  // The wait cursor while a file is read or written.
  virtual void SetWaitCursor(bool on) { (void)on; }
};

// A one-shot countdown on the millisecond tick count.
class Countdown {
 public:
  Countdown(const TimerService& timers, int durationMs);
  void Restart();
  // Milliseconds left while the time has not passed; 0 afterwards, and the
  // countdown turns itself inactive then.
  int Remaining();
  bool Active() const { return active_; }
  // Elapsed milliseconds between two tick counts. A tick count that wrapped
  // below the start gives the wrapped difference minus 2.
  static std::int64_t Elapsed(std::uint32_t start, std::uint32_t now);

 private:
  const TimerService& timers_;
  int duration_;
  std::uint32_t start_ = 0;
  bool active_ = false;
};

struct SheetHistoryEntry {
  std::string sheet;
  int column = 0;
  int row = 0;
  int leftColumn = 0;
  int topRow = 0;
};

// The status line's message panel contents.
struct StatusMessage {
  Color textColor = clWindowText;
  Color backColor = clBtnFace;
  std::string text;
};

// The frame is the label handler's document owner (DocumentHooks): it
// installs itself while it exists.
class MainFrame : public DocumentHooks {
 public:
  static constexpr int kTickMs = 50;
  static constexpr int kSettleMs = 250;

  // Steps 1-6 of the frame's construction: loads the two OVL resources
  // from `resourceFolder` (with its trailing separator; "" = the program's
  // folder) into MainText() and HelpText(), creates the images (current
  // filled with 0, saved empty, template a copy of current), the clone
  // engine and the stopped task, and subscribes to the bus (when one is
  // installed: BusOrNull()). InitialiseModel is the derived class's to call (a virtual
  // call from here would not reach it): ModelFrame does.
  MainFrame(int imageSize, AppSettings& settings, Dialogs& dialogs, TimerService& timers,
            std::string resourceFolder = "");
  virtual ~MainFrame();
  MainFrame(const MainFrame&) = delete;
  MainFrame& operator=(const MainFrame&) = delete;

  // ---- virtual operations (base: a frame without a model)
  virtual void InitialiseModel();
  // The start-up steps of the window: initial file into the template,
  // current := template, mark clean, reference := template, window parts,
  // self-check, tick started, window shown.
  virtual void BuildWindow(MainWindowHost& window);
  virtual void BuildTree();
  virtual int CheckImage(const EepromImage& image);  // 0 accepts
  virtual int CheckNewer(const EepromImage& image);  // non-zero: file is newer
  virtual void AfterLoad(EepromImage& image);
  virtual void Normalize(EepromImage& image, bool forSaving);
  virtual bool ConfirmMakerWrite();
  virtual void KeyTyped(void* sender, int key);
  virtual void StatusBarResized();
  // The bus message handler (messages 2-8); ModelFrame adds 27 and 28.
  virtual void HandleMessage(const Message& message);
  // Hooks of the later parts of the shell (about box, maker tools, tree).
  virtual void OpenAboutBox() {}
  virtual void OpenMakerTool(int /*messageType*/) {}
  virtual bool HasTree() const { return false; }
  virtual void OpenSelectedNodeSheet() {}
  // The tree as the warning check marks it (none without a tree).
  virtual CheckTree* WarningTree() { return nullptr; }
  // Builds the main menu and the toolbar (the front end's; during build
  // window, before their states are first computed).
  virtual void BuildMenusAndToolbar() {}

  // ---- operations
  // Loads the initial file of model m (line m of "GI_App_InitialFile",
  // beside the program) into the template image; a missing or unusable
  // file is a fatal stop "Cannot open '%s'." with the full path.
  void LoadInitialFile(int model);
  // Stops with "Self Check Error.\nEEPROM Map is too large." when the image
  // size is below 4097.
  void SelfCheck();
  // One 50 ms tick (the task calls it; tests call it directly).
  void Tick();
  // After every key, committed input or popup command: restarts the settle
  // countdown and updates the dirty flag.
  void CellActionDone();
  // saved := current, dirty := false, title updated.
  void MarkClean();
  void UpdateTitle();
  // The close query: false (refused) while the window is disabled, or when
  // the save confirmation is cancelled. When closing proceeds, the window's
  // normal placement and the left panel width go into the settings.
  bool CloseQuery();
  // Closing: the task stops, the sheet and tree go, the window is forgotten.
  void Close();
  // The warnings in the tree; both counts start at 0. No tree yet: nothing.
  void RefreshWarnings(int* errors, int* warnings);
  // Sheets (the sheet engine plugs in here): open / close / is one open.
  virtual void OpenSheet(const std::string& key);
  virtual void CloseCurrentSheet();
  virtual bool HasOpenSheet() const { return false; }
  // ---- document commands
  // The save confirmation: sends message 21; a clean document answers Yes
  // at once; otherwise a Yes/No/Cancel box ("GI_Mess_Confirm_WriteFile"
  // with the document's file name, or "GI_Mess_Confirm_WriteAnother" when
  // `another`). Yes saves (Save As when untitled or `another`); a failed or
  // cancelled save turns the answer into Cancel.
  virtual MsgAnswer ConfirmSaveAnswer(bool another);
  // true lets the pending command proceed (Yes or No).
  virtual bool ConfirmSave(bool another);
  // File New: the template image as an untitled, clean document.
  void NewDocument();
  // The open dialog, then OpenFile; true when nothing was opened.
  bool OpenDialog();
  // Opens a clone file as the document; true when it failed (also when the
  // confirmation was cancelled). A failure leaves the document unchanged.
  bool OpenFile(const std::string& path);
  // Save: Save As when untitled, else to the file name; true when failed.
  bool Save();
  bool SaveAsDialog();
  // Writes the document to `path`; true when it failed (reported already).
  bool SaveFile(const std::string& path);
  void SetFileName(const std::string& path);
  bool IsUntitled() const { return fileName_.empty(); }
  void SetFileDialogs(FileDialogs* dialogs) { fileDialogs_ = dialogs; }

  // ---- DocumentHooks
  EepromImage& CurrentImage() override { return current_; }
  int ModelIndex() const override;
  bool UsedChannelsView() const override;
  void RestartSettleDeadline() override;
  void UpdateDirty() override;
  Dialogs& Boxes() override { return dialogs_; }
  // The shell's own commands: File Exit, View Toolbar, View Font size,
  // Port COM n, Help About, CallSheet. The document, clone and print
  // commands are their modules'.
  void RunCommand(int label, int index, const std::string& option) override;
  std::string RecentFile(int index) const override;
  int FontSizeIndex() const override;
  bool ToolbarVisible() const override;
  int ComPort() const override;
  const EepromImage* DebugCompareImage() const override { return &reference_; }
  void ToggleToolbar();

  // ---- fields
  int ImageSize() const { return imageSize_; }
  int ModelCode() const { return modelCode_; }
  int SubCode() const { return subCode_; }
  MainWindowHost* Window() const { return window_; }
  EepromImage& Current() { return current_; }
  EepromImage& Saved() { return saved_; }
  EepromImage& Template() { return template_; }
  EepromImage& Reference() { return reference_; }
  bool Dirty() const { return dirty_; }
  bool MakerMode() const { return makerMode_; }
  const std::string& FileName() const { return fileName_; }
  const std::string& LastFolder() const { return lastFolder_; }
  const StatusMessage& StatusLine() const { return message_; }
  const std::vector<SheetHistoryEntry>& SheetHistory() const { return history_; }
  cmcTask* Task() const { return task_; }
  cmcCloneEngine& CloneEngine() { return *engine_; }
  bool SettleTimerActive() const { return settle_ != nullptr; }
  bool FontsChanged() const { return fontsChanged_; }
  // The document path: the file name, or last folder + "Untitled".
  std::string DocumentPath() const;
  // Counters for tests: warning refreshes and messages 23 sent.
  int WarningRefreshes() const { return warningRefreshes_; }
  const std::string& ResourceFolder() const { return resourceFolder_; }

 protected:
  void Subscribe();
  void Unsubscribe();
  // Sends on the bus when one is installed.
  void SendMessage(int type, int arg1 = 0, int arg2 = 0);
  static void OnBusMessage(void* self, const Message& msg);
  static void OnTaskTick(void* self, cmcTask* task);

  int imageSize_;
  int modelCode_ = 0;
  int subCode_ = 0;
  MainWindowHost* window_ = nullptr;
  bool focusOnGrid_ = false;
  StatusMessage message_;
  std::string lastFolder_;
  std::string fileName_;
  bool dirty_ = false;
  bool makerMode_ = false;
  std::unique_ptr<Countdown> settle_;
  bool fontsChanged_ = false;
  std::vector<SheetHistoryEntry> history_;
  std::string makerPanelText_;

  EepromImage current_;
  EepromImage template_;
  EepromImage saved_;
  EepromImage reference_;
  cmcTask* task_ = nullptr;  // disposed, not deleted (it may be inside its tick)
  std::unique_ptr<cmcCloneEngine> engine_;

  AppSettings& settings_;
  Dialogs& dialogs_;
  TimerService& timers_;
  std::string resourceFolder_;
  MessageBus* bus_ = nullptr;
  bool subscribed_ = false;
  int warningRefreshes_ = 0;
  DocumentHooks* previousHooks_ = nullptr;
  FileDialogs* fileDialogs_ = nullptr;
};

// This radio's frame: model code 0x2989, sub code 1, image check on the
// format marker, maker mode, channel list toggle, tree adjustment.
class ModelFrame : public MainFrame {
 public:
  ModelFrame(AppSettings& settings, Dialogs& dialogs, TimerService& timers,
             std::string resourceFolder = "");
  ~ModelFrame() override;

  void InitialiseModel() override;
  void BuildWindow(MainWindowHost& window) override;
  int CheckImage(const EepromImage& image) override;
  int CheckNewer(const EepromImage& image) override;
  void AfterLoad(EepromImage& image) override;
  void Normalize(EepromImage& image, bool forSaving) override;
  void HandleMessage(const Message& message) override;
  // Message 27: the tree follows the current image (nothing without a tree).
  virtual void AdjustTree() {}
  // Message 28: the channel list type toggle.
  virtual void ChannelListToggle(int flip);
};

// The resource keys the frame and the main window read.
std::vector<KeyUse> MainFrameKeys();

// Formats "Cannot open '%s'.".
std::string CannotOpenText(const std::string& path);

}  // namespace twk
