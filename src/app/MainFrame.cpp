#include "app/MainFrame.h"

#include <unistd.h>

#include <algorithm>
#include <climits>

#include "app/AppSettings.h"
#include "app/Dialogs.h"
#include "app/Fatal.h"
#include "app/FileDialogs.h"
#include "clone/TimerService.h"
#include "clone/cmcCloneEngine.h"
#include "clone/cmcTask.h"
#include "data/Labels.h"
#include "data/Normalize.h"
#include "data/Validation.h"
#include "file/CloneOpen.h"
#include "sheet/MessageBus.h"
#include "text/TextStore.h"

namespace twk {

namespace {

constexpr int kModelCode = 0x2989;
constexpr int kSubCode = 1;
constexpr int kFormatMarkerAddress = 0x3DA;
constexpr int kModelIndexAddress = 0x3D9;

std::string CurrentDirectory() {
  char buf[PATH_MAX];
  if (::getcwd(buf, sizeof buf) == nullptr) return "./";
  std::string dir(buf);
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

std::string FileNamePart(const std::string& path) {
  auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The folder of a path with its trailing separator ("" without one).
std::string FolderPart(const std::string& path) {
  auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Line 0 of a message used as a format with one "%s".
std::string FormatWithName(const std::string& format, const std::string& name) {
  const auto at = format.find("%s");
  if (at == std::string::npos) return format;
  return format.substr(0, at) + name + format.substr(at + 2);
}

}  // namespace

// Besides these the frame reads "GI_Sys_AppTitle" (the title) and
// "GI_App_InitialFile" (the initial file), declared with the resources and
// with the clone file code.
std::vector<KeyUse> MainFrameKeys() {
  return {
      {"GI_Form_Main_BasicCell", ResourceFile::Main, 1},  // the main window's font
      {"GI_Sys_Dialog_FOpen", ResourceFile::Main, 2},     // extension, filter
      {"GI_Mess_Confirm_WriteFile", ResourceFile::Main, 1},
      {"GI_Mess_Confirm_WriteAnother", ResourceFile::Main, 1},
      // The window's parts (built by the front end).
      {"GI_Menu_Main_BasicCell", ResourceFile::Main, 1},
      {"GI_Menu_Main_Body", ResourceFile::Main, 1},
      {"GI_ToolBar_Main_BasicCell", ResourceFile::Main, 1},
      {"GI_ToolBar_Main_Body", ResourceFile::Main, 1},
      {"GI_Tree_Main_BasicCell", ResourceFile::Main, 1},
      {"GI_Tree_Main_Body", ResourceFile::Main, 1},
      {"GI_Sys_TreeChangeDelay", ResourceFile::Main, 1},  // milliseconds
      {"GI_AppInd_Model", ResourceFile::Main, 1},         // appended to the tree's root
      {"GI_PMenu_NoItem_BasicCell", ResourceFile::Main, 1},  // the empty Edit menu
      {"GI_PMenu_NoItem_Body", ResourceFile::Main, 1},
  };
}

std::string CannotOpenText(const std::string& path) { return "Cannot open '" + path + "'."; }

// ---------------------------------------------------------------- countdown

Countdown::Countdown(const TimerService& timers, int durationMs)
    : timers_(timers), duration_(durationMs) {}

void Countdown::Restart() {
  start_ = timers_.TickCount();
  active_ = true;
}

std::int64_t Countdown::Elapsed(std::uint32_t start, std::uint32_t now) {
  if (now >= start) return static_cast<std::int64_t>(now - start);
  std::int64_t wrapped = static_cast<std::int64_t>(static_cast<std::uint32_t>(now - start)) - 2;
  return wrapped < 0 ? 0 : wrapped;
}

int Countdown::Remaining() {
  if (!active_) return 0;
  std::int64_t elapsed = Elapsed(start_, timers_.TickCount());
  if (elapsed < duration_) return static_cast<int>(duration_ - elapsed);
  active_ = false;
  return 0;
}

// ---------------------------------------------------------------- main frame

MainFrame::MainFrame(int imageSize, AppSettings& settings, Dialogs& dialogs,
                     TimerService& timers, std::string resourceFolder)
    : imageSize_(imageSize),
      settings_(settings),
      dialogs_(dialogs),
      timers_(timers),
      resourceFolder_(resourceFolder.empty() ? ProgramFolder() : std::move(resourceFolder)) {
  if (resourceFolder_.back() != '/') resourceFolder_ += '/';
  // 1. The resources, before anything looks up a text.
  MainText().SetFile(MainResourceName(resourceFolder_, kShortCode));
  HelpText().SetFile(HelpResourceName(resourceFolder_, kShortCode));
  // 2. The clone engine; the document starts untitled and clean.
  engine_ = std::make_unique<cmcCloneEngine>(timers_);
  lastFolder_ = CurrentDirectory();
  // 3. The images.
  current_.Resize(imageSize_);
  current_.Fill(0);
  template_.Resize(imageSize_);
  template_.Assign(current_);
  // 4. The tick, stopped.
  task_ = cmcTask::Create(timers_);
  task_->SetCallback(&MainFrame::OnTaskTick, this);
  task_->SetInterval(-1);
  // 5. The bus.
  bus_ = BusOrNull();
  Subscribe();
  previousHooks_ = SetDocumentHooks(this);
}

MainFrame::~MainFrame() {
  if (CurrentDocumentHooks() == this) SetDocumentHooks(previousHooks_);
  if (task_) {
    task_->Clear();
    task_->Dispose();  // at once when stopped; else on its next timer turn
    task_ = nullptr;
  }
  Unsubscribe();
  settle_.reset();
  history_.clear();
  engine_.reset();
}

void MainFrame::Subscribe() {
  if (bus_ && !subscribed_) {
    bus_->Subscribe(&MainFrame::OnBusMessage, this);
    subscribed_ = true;
  }
}

void MainFrame::Unsubscribe() {
  if (bus_ && subscribed_) {
    bus_->Unsubscribe(&MainFrame::OnBusMessage, this);
    subscribed_ = false;
  }
}

void MainFrame::SendMessage(int type, int arg1, int arg2) {
  if (bus_) bus_->Send(type, arg1, arg2);
}

void MainFrame::OnBusMessage(void* self, const Message& msg) {
  static_cast<MainFrame*>(self)->HandleMessage(msg);
}

void MainFrame::OnTaskTick(void* self, cmcTask*) { static_cast<MainFrame*>(self)->Tick(); }

void MainFrame::InitialiseModel() {
  modelCode_ = 0;
  subCode_ = 0;
  engine_->SetImageSize(imageSize_);
}

void MainFrame::BuildWindow(MainWindowHost& window) {
  window_ = &window;
  // The document: model 0's initial file is the template and the document.
  settings_.modelType = 0;
  LoadInitialFile(0);
  current_.Assign(template_);
  MarkClean();
  reference_.Resize(imageSize_);
  reference_.Assign(template_);
  // The window's parts (menus, toolbar, tree, status bar) are built by the
  // front end around this frame; the frame keeps the layout values.
  window.SetToolbarVisible(settings_.toolbarVisible != 0);
  window.SetLeftPanelWidth(std::max(settings_.splitterV, 8));
  BuildMenusAndToolbar();
  SendMessage(msg::kMenuStateChanged);
  BuildTree();
  SelfCheck();
  task_->SetInterval(kTickMs);
  window.ShowWindow();
  UpdateTitle();
}

void MainFrame::BuildTree() { RefreshWarnings(nullptr, nullptr); }

int MainFrame::CheckImage(const EepromImage&) { return 1; }
int MainFrame::CheckNewer(const EepromImage&) { return 0; }
void MainFrame::AfterLoad(EepromImage&) {}
void MainFrame::Normalize(EepromImage&, bool) {}
bool MainFrame::ConfirmMakerWrite() { return true; }
void MainFrame::KeyTyped(void*, int) {}
void MainFrame::StatusBarResized() {}

void MainFrame::HandleMessage(const Message& m) {
  switch (m.type) {
    case msg::kMenuStateChanged:
      SendMessage(msg::kRefreshMenuStates);
      SendMessage(msg::kToolbarRefresh);
      break;
    case msg::kMainFrame:
      OpenAboutBox();
      break;
    case msg::kStatusText:
      message_.textColor = static_cast<Color>(m.value1);
      message_.backColor = static_cast<Color>(m.value2);
      message_.text = m.Text();
      if (window_) window_->RepaintStatusBar();
      break;
    case msg::kMakerTool5:
    case msg::kMakerTool6:
    case msg::kMakerTool7:
      OpenMakerTool(m.type);
      break;
    case msg::kEeDebugToMain:
      reference_.Resize(current_.Size());
      reference_.Assign(current_);
      break;
    default:
      break;
  }
}

void MainFrame::LoadInitialFile(int model) {
  // Only model 0 exists: every request means model 0.
  (void)model;
  const std::string path = resourceFolder_ + MainText().GetLine("GI_App_InitialFile", 0);
  template_.Resize(imageSize_);
  int code = LoadTemplateImage(path, template_, &dialogs_);
  if (code != 0 || CheckImage(template_) != 0) Fatal(CannotOpenText(path));
}

void MainFrame::SelfCheck() {
  if (imageSize_ < EepromImage::kModelSize) Fatal("Self Check Error.\nEEPROM Map is too large.");
}

void MainFrame::Tick() {
  if (!HasOpenSheet()) {
    if (window_ && window_->IsWindowVisible() && HasTree()) {
      OpenSelectedNodeSheet();
    } else if (!HasTree() && !history_.empty()) {
      OpenSheet(history_.front().sheet);
    }
  }
  if (settle_ && settle_->Remaining() == 0) {
    settle_.reset();
    RefreshWarnings(nullptr, nullptr);
    SendMessage(msg::kEeDebugRefresh);
  }
}

void MainFrame::CellActionDone() {
  RestartSettleDeadline();
  UpdateDirty();
}

void MainFrame::RestartSettleDeadline() {
  if (!settle_) settle_ = std::make_unique<Countdown>(timers_, kSettleMs);
  settle_->Restart();
}

int MainFrame::ModelIndex() const { return settings_.modelType; }
bool MainFrame::UsedChannelsView() const { return settings_.chListType != 0; }
int MainFrame::FontSizeIndex() const { return settings_.fontSizePercentage; }
bool MainFrame::ToolbarVisible() const { return settings_.toolbarVisible != 0; }
int MainFrame::ComPort() const { return settings_.comPort; }

std::string MainFrame::RecentFile(int index) const {
  // The file name alone when the file lies in the last folder; '&' doubled
  // so that the menu does not take it for an accelerator.
  std::string name = settings_.recent.DisplayName(index, lastFolder_);
  std::string out;
  for (char c : name) {
    out += c;
    if (c == '&') out += '&';
  }
  return out;
}

void MainFrame::ToggleToolbar() {
  settings_.toolbarVisible = settings_.toolbarVisible ? 0 : 1;
  if (window_) window_->SetToolbarVisible(settings_.toolbarVisible != 0);
}

void MainFrame::RunCommand(int label, int index, const std::string& option) {
  switch (label) {
    case CL_Menu_File_New:
      NewDocument();
      break;
    case CL_Menu_File_Open:
      OpenDialog();
      break;
    case CL_Menu_File_Save:
      Save();
      break;
    case CL_Menu_File_SaveAs:
      SaveAsDialog();
      break;
    case CL_Menu_File_Recent: {
      const std::string path = settings_.recent.Entry(index);
      if (!path.empty()) OpenFile(path);
      break;
    }
    case CL_Menu_File_Exit:
      if (window_) window_->CloseWindow();
      break;
    case CL_Menu_View_FontSize:
      settings_.fontSizePercentage = index;
      fontsChanged_ = true;
      CloseCurrentSheet();  // the next tick reopens it at the new size
      break;
    case CL_Menu_View_ToolBar:
      ToggleToolbar();
      break;
    case CL_Menu_Port_Com:
      settings_.comPort = index;
      SendMessage(msg::kMenuStateChanged);
      break;
    case CL_Help_About:
      SendMessage(msg::kMainFrame);
      break;
    case CallSheet:
      if (!option.empty()) OpenSheet(option);
      break;
    default:
      break;
  }
}

void MainFrame::UpdateDirty() {
  if (!dirty_ && current_.NotEquals(saved_)) {
    dirty_ = true;
    UpdateTitle();
  }
}

void MainFrame::MarkClean() {
  saved_.Resize(current_.Size());
  saved_.Assign(current_);
  dirty_ = false;
  UpdateTitle();
}

std::string MainFrame::DocumentPath() const {
  return fileName_.empty() ? lastFolder_ + "Untitled" : fileName_;
}

void MainFrame::UpdateTitle() {
  if (!window_) return;
  window_->SetCaption(FileNamePart(DocumentPath()) + " - " +
                      MainText().GetFirstLine("GI_Sys_AppTitle"));
}

void MainFrame::SetFileName(const std::string& path) {
  fileName_ = path;
  UpdateTitle();
}

MsgAnswer MainFrame::ConfirmSaveAnswer(bool another) {
  SendMessage(msg::kCommitEditors);
  const std::string text =
      another ? MainText().GetFirstLine("GI_Mess_Confirm_WriteAnother")
              : FormatWithName(MainText().GetFirstLine("GI_Mess_Confirm_WriteFile"),
                               FileNamePart(DocumentPath()));
  if (!dirty_) return MsgAnswer::Yes;
  MsgAnswer answer = dialogs_.MessageBox(text, MainText().GetFirstLine("GI_Sys_AppTitle"),
                                         MsgIcon::Warning, MsgButtons::YesNoCancel);
  if (answer == MsgAnswer::Yes) {
    // Re-opening the open file never writes to it: Save As instead.
    const bool failed = (IsUntitled() || another) ? SaveAsDialog() : SaveFile(fileName_);
    if (failed) answer = MsgAnswer::Cancel;
  }
  if (answer != MsgAnswer::Yes && answer != MsgAnswer::No) answer = MsgAnswer::Cancel;
  return answer;
}

bool MainFrame::ConfirmSave(bool another) { return ConfirmSaveAnswer(another) != MsgAnswer::Cancel; }

void MainFrame::NewDocument() {
  if (!ConfirmSave(false)) return;
  current_.Resize(template_.Size());
  current_.Assign(template_);
  MarkClean();
  SetFileName("");
  CloseCurrentSheet();
  SendMessage(msg::kPlanOptionsChanged);
}

namespace {
FileDialogRequest CloneFileRequest(std::string initialName, std::string folder) {
  FileDialogRequest r;
  r.defaultExtension = MainText().GetLine("GI_Sys_Dialog_FOpen", 0);
  r.filter = MainText().GetLine("GI_Sys_Dialog_FOpen", 1);
  r.initialName = std::move(initialName);
  r.initialFolder = std::move(folder);
  return r;
}
}  // namespace

bool MainFrame::OpenDialog() {
  SendMessage(msg::kCommitEditors);
  if (fileDialogs_ == nullptr) return true;
  std::string path;
  if (!fileDialogs_->ChooseOpenFile(CloneFileRequest("", lastFolder_), path)) return true;
  return OpenFile(path);
}

bool MainFrame::OpenFile(const std::string& path) {
  if (!ConfirmSave(SameTextNoCase(path, DocumentPath()))) return true;
  if (window_) window_->SetWaitCursor(true);
  EepromImage working;
  const int code = LoadCloneFile(path, current_.Size(), working, &dialogs_);
  if (code == 0) {
    lastFolder_ = FolderPart(path);
    SetFileName(path);
    settings_.recent.AddToFront(path);
    current_.Assign(working);
    AfterLoad(current_);
    MarkClean();
    CloseCurrentSheet();
    SendMessage(msg::kPlanOptionsChanged);
  }
  if (window_) window_->SetWaitCursor(false);
  return code != 0;
}

bool MainFrame::Save() { return IsUntitled() ? SaveAsDialog() : SaveFile(fileName_); }

bool MainFrame::SaveAsDialog() {
  if (fileDialogs_ == nullptr) return true;
  std::string path;
  if (!fileDialogs_->ChooseSaveFile(CloneFileRequest(FileNamePart(DocumentPath()), lastFolder_),
                                    path))
    return true;
  return SaveFile(path);
}

bool MainFrame::SaveFile(const std::string& path) {
  SendMessage(msg::kCommitEditors);
  Normalize(current_, true);
  if (window_) window_->SetWaitCursor(true);
  const int code = WriteCloneFile(path, current_, &dialogs_);
  if (code == 0) {
    lastFolder_ = FolderPart(path);
    SetFileName(path);
    settings_.recent.AddToFront(path);
    MarkClean();
  }
  if (window_) window_->SetWaitCursor(false);
  return code != 0;
}

bool MainFrame::CloseQuery() {
  if (window_ && !window_->IsWindowEnabled()) return false;
  if (!ConfirmSave(false)) return false;
  WindowBounds b;
  if (window_ && window_->NormalPlacement(b)) {
    settings_.left = b.left;
    settings_.top = b.top;
    settings_.width = b.width;
    settings_.height = b.height;
    settings_.splitterV = window_->LeftPanelWidth();
  }
  return true;
}

void MainFrame::Close() {
  if (task_) task_->SetInterval(-1);
  CloseCurrentSheet();
  window_ = nullptr;
}

void MainFrame::RefreshWarnings(int* errors, int* warnings) {
  if (errors) *errors = 0;
  if (warnings) *warnings = 0;
  ++warningRefreshes_;
  if (!HasTree()) return;
  RunWarningCheck(WarningTree(), errors, warnings, this);
}

void MainFrame::OpenSheet(const std::string&) {}
void MainFrame::CloseCurrentSheet() {}

// ---------------------------------------------------------------- model frame

ModelFrame::ModelFrame(AppSettings& settings, Dialogs& dialogs, TimerService& timers,
                       std::string resourceFolder)
    : MainFrame(EepromImage::kModelSize, settings, dialogs, timers, std::move(resourceFolder)) {
  InitialiseModel();
  makerPanelText_.clear();
}

ModelFrame::~ModelFrame() { makerPanelText_.clear(); }

void ModelFrame::InitialiseModel() {
  MainFrame::InitialiseModel();
  makerMode_ = false;
  modelCode_ = kModelCode;
  subCode_ = kSubCode;
  engine_->SetCodes(modelCode_, subCode_);
}

void ModelFrame::BuildWindow(MainWindowHost& window) {
  MainFrame::BuildWindow(window);
  // The command line's maker switch is read here once maker mode exists.
}

int ModelFrame::CheckImage(const EepromImage& image) {
  if (!image.InRange(kFormatMarkerAddress)) return 1;
  return image.GetByte(kFormatMarkerAddress) == 1 ? 0 : 1;
}

int ModelFrame::CheckNewer(const EepromImage&) { return 0; }

void ModelFrame::AfterLoad(EepromImage& image) {
  // A model change without asking: any index other than the current one
  // (always 0) reloads model 0's template.
  int m = image.InRange(kModelIndexAddress) ? image.GetByte(kModelIndexAddress) : 0;
  if (m != settings_.modelType) {
    settings_.modelType = 0;
    LoadInitialFile(0);
    BuildTree();
  }
  Normalize(image, false);
  SendMessage(msg::kPlanOptionsChanged);
}

void ModelFrame::Normalize(EepromImage& image, bool) {
  NormalizeImage(image, template_, settings_.modelType);
}

void ModelFrame::HandleMessage(const Message& m) {
  switch (m.type) {
    case msg::kPlanOptionsChanged:
      AdjustTree();
      break;
    case msg::kAttributeChanged:
      ChannelListToggle(static_cast<int>(m.value1));
      break;
    default:
      MainFrame::HandleMessage(m);
      break;
  }
}

void ModelFrame::ChannelListToggle(int flip) {
  if (flip != 0) settings_.chListType = settings_.chListType ? 0 : 1;
  // Reopening the sheet at the found slot belongs to the channel sheets.
}

}  // namespace twk
