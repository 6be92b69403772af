// The desktop CAD session on Qt: the application side of host/ (layout, windows with real
// 3D views, dialogs, toolbars, timers, the dictionary, the message loop) over occt_host's
// documents. One per process; while it lives it is the host environment.
#pragma once

#include <QPointer>

#include <functional>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/desktop.h"
#include "host/environment.h"
#include "workstation/draw_progress.h"
#include "workstation/event_pump.h"
#include "workstation/main_window.h"
#include "workstation/thread_timers.h"

class QTimer;

namespace occt_host {
class ApplicationFrame;
class AutomationRegistration;
}  // namespace occt_host

namespace workstation {

class OcctView;
struct ViewPick;

class Workstation : public host::Environment, public host::Desktop {
 public:
  struct Options {
    // Thread timers on a clock that only moves when the caller advances it.
    bool manualTimers = false;
  };

  explicit Workstation(Options options);
  Workstation() : Workstation(Options{}) {}
  ~Workstation() override;
  Workstation(const Workstation&) = delete;
  Workstation& operator=(const Workstation&) = delete;

  MainWindow& mainWindowWidget() { return *window_; }
  EventPump& pump() { return pump_; }
  occt_host::ApplicationFrame& frame() { return *frame_; }
  // Null unless the timers are manual.
  ManualThreadTimers* manualTimers() { return manualTimers_; }
  std::size_t activeTimers() const { return timers_->active(); }
  // What the drawer reported of the imports so far; the drawer feeds it.
  DrawProgress& progress() { return *progress_; }
  const DrawProgress& progress() const { return *progress_; }

  // A new Part document in a window of its own, current.
  std::shared_ptr<host::Document> newPart() { return newDocument("Part"); }
  // A new document of that kind ("Part", "Product") in a window of its own, current.
  std::shared_ptr<host::Document> newDocument(const std::string& kind);
  // What a draw into the session gives back: the core's status, error code, count of
  // created objects and message.
  struct DrawResult {
    int status = 0;
    int errorCode = 0;
    std::uint32_t createdCount = 0;
    std::string message;
  };
  // Draws part JSON into `document`, pausing `drawDelayMs` after each item, and returns the
  // status. The program installs it: the session itself does not know the geometry core.
  using PartDrawer =
      std::function<int(const std::shared_ptr<host::Document>& document, const std::string& json,
                        std::uint32_t drawDelayMs, DrawResult& result)>;
  // Draws a product JSON (an assembly) into `document`, a Product, and returns the status;
  // `document` may become another Product when the draw had to retry in a new one. The
  // program installs it: the two stages of a product draw are the add-in's.
  using ProductDrawer = std::function<int(std::shared_ptr<host::Document>& document,
                                          const std::string& json, DrawResult& result)>;
  void setPartDrawer(PartDrawer drawer) { partDrawer_ = std::move(drawer); }
  void setProductDrawer(ProductDrawer drawer) { productDrawer_ = std::move(drawer); }
  // Opens a JSON file's text as the add-in would draw it: a product JSON (one with a
  // "partList") into a new Product, a part JSON into `part` (a new Part when null).
  // Returns the status and the document drawn into.
  int openJson(const std::string& json, std::uint32_t drawDelayMs,
               std::shared_ptr<host::Document> part, DrawResult& result,
               std::shared_ptr<host::Document>* drawnInto = nullptr);
  OcctView* viewOf(const std::shared_ptr<host::Document>& document) const;
  // Draws part JSON into `document` through the installed drawer, pausing `drawDelayMs`
  // after each item.
  int drawJson(const std::shared_ptr<host::Document>& document, const std::string& json,
               std::uint32_t drawDelayMs, DrawResult& result);
  // Saves the document's 3D view alone, shaded, from the isometric standard view fitted to
  // the part, as a PNG image at the view's size; false with a reason.
  bool saveIsometricView(const std::shared_ptr<host::Document>& document, const std::string& path,
                         std::string& error);
  // Writes the document as "STEP", "glTF" or "STL"; false with a reason.
  bool exportDocument(const std::shared_ptr<host::Document>& document, const std::string& format,
                      const std::string& path, std::string& error);

  // Creates every general workbench add-in in the dictionary and builds its commands and
  // toolbars; returns how many were created.
  int createAddins();
  // What pressing a toolbar button does: the header's command class is created.
  bool startCommand(const std::string& headerId);
  const std::vector<host::Command*>& commands() const { return commands_; }
  const std::vector<std::shared_ptr<host::CommandHeader>>& headers() const { return headers_; }
  const std::vector<std::shared_ptr<host::CommandContainer>>& toolbars() const { return toolbars_; }
  // Deletes every command and add-in (before their module goes away).
  void releaseAddins();
  // Runs the application's loop until quit; returns the exit code.
  int run();

  // host::Environment
  std::shared_ptr<host::Layout> currentLayout() override;
  host::MessagePump& messagePump() override { return pump_; }
  std::uint32_t tickCount() override { return pump_.tickCount(); }
  std::shared_ptr<host::Application> application() override;
  host::Desktop* desktop() override { return this; }

  // host::Desktop
  host::NativeHandle mainWindow() override;
  std::shared_ptr<host::Dialog> createDialog(host::NativeHandle parent, const std::string& id,
                                             std::uint32_t style) override;
  host::Status fillDictionary(const host::DictionaryEntry& entry) override;
  const host::DictionaryEntry* lookupClass(std::string_view className,
                                           std::string_view interfaceName) override;
  host::Status addCommandHeader(std::shared_ptr<host::CommandHeader> header) override;
  host::Status addToolbar(std::shared_ptr<host::CommandContainer> toolbar, int visibility,
                          int position) override;
  std::uint32_t startTimer(std::uint32_t delayMs,
                           std::function<void(std::uint32_t)> callback) override;
  void killTimer(std::uint32_t id) override;
  void adoptCommand(host::Command* command) override;
  void requestDelayedDestruction(host::Command* command) override;

 private:
  void wireMenus();
  void wireProgress();
  // Names the pick in the status bar and hands it to whoever listens (the add-in's panel).
  void showSelection(const std::shared_ptr<host::Document>& document, const ViewPick* pick);
  void destroyCommand(host::Command* command);
  // Whether the drawing pauses after each item long enough for a user to watch it.
  bool itemsPaused() const;

  EventPump pump_;
  std::unique_ptr<ThreadTimers> timers_;
  ManualThreadTimers* manualTimers_ = nullptr;
  std::shared_ptr<occt_host::ApplicationFrame> frame_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<DrawProgress> progress_;
  PartDrawer partDrawer_;
  ProductDrawer productDrawer_;
  // The document drawJson draws into, while it does.
  std::weak_ptr<host::Document> drawTarget_;
  // Shows what changed outside a drawing's refreshes (a draw without pauses, an add-in).
  QTimer* watch_ = nullptr;
  std::vector<host::DictionaryEntry> dictionary_;
  std::vector<std::shared_ptr<host::CommandHeader>> headers_;
  std::vector<std::shared_ptr<host::CommandContainer>> toolbars_;
  std::vector<host::Command*> commands_;
  std::vector<std::unique_ptr<host::GeneralWorkbenchAddin>> addins_;
  host::Environment* previous_ = nullptr;
  // Lets STEP insertion find this session by its programmatic identifier; null when the
  // automation runtime is absent, and the session works without it.
  std::unique_ptr<occt_host::AutomationRegistration> automation_;
};

}  // namespace workstation
