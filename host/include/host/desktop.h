// The desktop side of the application, as an add-in uses it: the run-time dictionary of
// class names, command headers and toolbars, dialogs with frames, thread timers and the
// delayed destruction of commands (stands for CATApplicationFrame with CATFillDictionary,
// CATCommandHeader, CATCmdContainer/CATCmdStarter, CATDlgDialog/CATDlgFrame and thread
// timers). Reached through host::environment()->desktop(); null where the session runs
// without a user interface.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/status.h"

namespace host {

// A window-system handle of a dialog or frame; 0 while the window does not exist yet.
using NativeHandle = std::uintptr_t;

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// What the host creates for a class name: commands, and add-ins of general workbenches.
inline constexpr std::string_view kCommandInterface = "Command";
inline constexpr std::string_view kGeneralWorkbenchAddinInterface = "GeneralWorkbenchAddin";

// Something the host runs and later destroys (stands for CATCommand).
class Command {
 public:
  virtual ~Command() = default;
};

class CommandContainer;

// An add-in that puts its commands into every general workbench
// (stands for CATIAfrGeneralWksAddin).
class GeneralWorkbenchAddin {
 public:
  virtual ~GeneralWorkbenchAddin() = default;
  virtual void createCommands() = 0;
  virtual std::shared_ptr<CommandContainer> createToolbars() = 0;
};

// One entry of the run-time dictionary. `create` returns an object of the interface type
// named by `interfaceName` (Command or GeneralWorkbenchAddin).
struct DictionaryEntry {
  std::string className;
  std::string interfaceName;
  void* (*create)() = nullptr;
};

// Numeric values of the host's dialog constants, as the original passes them.
inline constexpr int kVisibilityShown = 2;
inline constexpr int kVisibilityHidden = 4;
inline constexpr int kToolbarVisible = 1;
inline constexpr int kToolbarPositionRight = 3;
inline constexpr int kAttachAllSides = 30;

// How a command is started: what it shows and which class it creates.
class CommandHeader {
 public:
  CommandHeader(std::string id, std::string loadName, std::string className, int state)
      : id_(std::move(id)),
        loadName_(std::move(loadName)),
        className_(std::move(className)),
        state_(state) {}
  virtual ~CommandHeader() = default;
  virtual std::shared_ptr<CommandHeader> clone() const {
    return std::make_shared<CommandHeader>(*this);
  }
  // The name of the header's resource file (its texts and icons).
  virtual std::string resourceFileName() const { return className_; }

  void setTitle(std::u16string text) { title_ = std::move(text); }
  void SetShortHelp(std::u16string text) { shortHelp_ = std::move(text); }
  void SetHelp(std::u16string text) { help_ = std::move(text); }
  void SetLongHelp(std::u16string text) { longHelp_ = std::move(text); }
  void SetIconName(std::string name, int index = 0) {
    iconName_ = std::move(name);
    iconIndex_ = index;
  }

  const std::string& id() const { return id_; }
  const std::string& loadName() const { return loadName_; }
  const std::string& className() const { return className_; }
  int state() const { return state_; }
  const std::u16string& title() const { return title_; }
  const std::u16string& shortHelp() const { return shortHelp_; }
  const std::u16string& help() const { return help_; }
  const std::u16string& longHelp() const { return longHelp_; }
  const std::string& iconName() const { return iconName_; }
  int iconIndex() const { return iconIndex_; }

 private:
  std::string id_, loadName_, className_;
  int state_ = 1;
  std::u16string title_, shortHelp_, help_, longHelp_;
  std::string iconName_;
  int iconIndex_ = 0;
};

// A toolbar button bound to a command header.
class CommandStarter {
 public:
  explicit CommandStarter(std::string name) : name_(std::move(name)) {}
  void SetCommand(std::string headerId) { headerId_ = std::move(headerId); }
  void setTitle(std::u16string text) { title_ = std::move(text); }
  void SetIconName(std::string name) { iconName_ = std::move(name); }
  const std::string& name() const { return name_; }
  const std::string& headerId() const { return headerId_; }
  const std::u16string& title() const { return title_; }
  const std::string& iconName() const { return iconName_; }

 private:
  std::string name_, headerId_;
  std::u16string title_;
  std::string iconName_;
};

// A toolbar: a named, titled list of starters.
class CommandContainer {
 public:
  explicit CommandContainer(std::string name) : name_(std::move(name)) {}
  void setTitle(std::u16string text) { title_ = std::move(text); }
  void AddChild(std::shared_ptr<CommandStarter> starter) {
    children_.push_back(std::move(starter));
  }
  const std::string& name() const { return name_; }
  const std::u16string& title() const { return title_; }
  const std::vector<std::shared_ptr<CommandStarter>>& children() const { return children_; }

 private:
  std::string name_;
  std::u16string title_;
  std::vector<std::shared_ptr<CommandStarter>> children_;
};

// What a dialog or frame tells its owner.
enum class DialogEvent { WindowClose, Close, Create, Visibility, Resize };

// A frame inside a dialog: a window of its own whose client area hosts native content.
class Frame {
 public:
  virtual ~Frame() = default;
  virtual NativeHandle nativeHandle() = 0;
  // False while the window does not exist.
  virtual bool clientRect(Rect& out) = 0;
  virtual void setRectDimensions(const Rect& rect) = 0;
  virtual void setGridConstraints(int row, int column, int rowSpan, int columnSpan,
                                  int justification) = 0;
  virtual void setGridColumnResizable(int column) = 0;
  virtual void setGridRowResizable(int row) = 0;
  // One handler per event; a later one replaces it, an empty one removes it.
  virtual void setHandler(DialogEvent event, std::function<void()> handler) = 0;
};

// A dialog docked beside the 3D view, or a window of its own without a parent.
class Dialog : public Frame {
 public:
  virtual void setTitle(const std::u16string& title) = 0;
  virtual void setVisibility(int visibility) = 0;
  virtual bool visible() = 0;
  virtual std::shared_ptr<Frame> createFrame(const std::string& name, std::uint32_t style) = 0;
  // Removes the window; handlers are dropped and nothing is notified afterwards.
  virtual void destroy() = 0;
};

class Desktop {
 public:
  virtual ~Desktop() = default;

  // The application's main window; 0 when there is none.
  virtual NativeHandle mainWindow() = 0;
  virtual std::shared_ptr<Dialog> createDialog(NativeHandle parent, const std::string& id,
                                               std::uint32_t style) = 0;

  // Run-time dictionary (CATFillDictionary).
  virtual Status fillDictionary(const DictionaryEntry& entry) = 0;
  // Null when no class of that name implements the interface.
  virtual const DictionaryEntry* lookupClass(std::string_view className,
                                             std::string_view interfaceName) = 0;

  virtual Status addCommandHeader(std::shared_ptr<CommandHeader> header) = 0;
  virtual Status addToolbar(std::shared_ptr<CommandContainer> toolbar, int visibility,
                            int position) = 0;

  // A thread timer: `callback` runs with the timer id every `delayMs` on the user-interface
  // thread until it is killed. 0 when no timer can be made.
  virtual std::uint32_t startTimer(std::uint32_t delayMs,
                                   std::function<void(std::uint32_t)> callback) = 0;
  virtual void killTimer(std::uint32_t id) = 0;

  // The host owns a command from its creation; it deletes it once control is back in its
  // message loop after a destruction request, or when the application ends.
  virtual void adoptCommand(Command* command) = 0;
  virtual void requestDelayedDestruction(Command* command) = 0;
};

}  // namespace host
