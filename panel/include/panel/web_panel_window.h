// The panel window on Qt WebEngine: a web view filling the panel dialog's frame (or a tool
// window of its own), a profile of its own, the injected bridge, the transfer protocol on
// the page's messages, and a front end kept to its own origin.
#pragma once

#include <QPointer>
#include <QString>
#include <QUrl>

#include <memory>
#include <string>

#include "host/desktop.h"
#include "vantrel/demo_schema_handler.h"
#include "vantrel/panel_defaults.h"
#include "vantrel/panel_window.h"
#include "vantrel/step_insertion.h"
#include "vantrel/transfer_data_processor.h"
#include "vantrel/transfer_table.h"

class QWebChannel;
class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineView;
class QWidget;

namespace panel {

class PanelBridge;
class GuardedPage;

class WebPanelWindow : public vantrel::PanelWindow {
 public:
  WebPanelWindow(host::NativeHandle parent, int32_t width, int32_t height);
  ~WebPanelWindow() override;

  bool Show(const std::string& url) override;
  void Close() override;
  bool IsReady() const override { return navigationStarted_; }
  std::string LastError() const override { return lastError_; }
  void PostJson(const std::string& json) override;

  // Handles one message text as if the page had posted it (the bridge calls this).
  void OnMessage(const QString& json);
  QWebEngineView* view() const;
  // Loads a page of any origin, bypassing the navigation guard: tests use it to show that
  // messages from another origin are dropped.
  void LoadForTesting(const QString& html, const QUrl& baseUrl);
  // The text of the bridge script injected into every page.
  static QString BridgeScript();
  // Where complete "json" payloads go instead of the transfer processor (null: back to it);
  // the bridge benchmark stubs the draw this way.
  void SetDrawTarget(vantrel::JsonPayloadProcessor* target) { drawTarget_ = target; }

 private:
  bool CreateContainer();
  bool CreateView();
  void UpdateBounds();
  void Fail(const std::string& text);
  bool FromFrontendOrigin(const QUrl& url) const;

  host::NativeHandle parent_ = 0;
  int32_t width_ = vantrel::kDefaultPanelWidth;
  int32_t height_ = vantrel::kDefaultPanelHeight;
  QPointer<QWidget> container_;
  bool ownsContainer_ = false;
  QWebEngineProfile* profile_ = nullptr;
  QPointer<GuardedPage> page_;
  QPointer<QWebEngineView> view_;
  QWebChannel* channel_ = nullptr;
  PanelBridge* bridge_ = nullptr;
  QUrl url_;
  std::string lastError_;
  bool navigationStarted_ = false;
  bool messageSubscribed_ = false;
  int selectionKey_ = 0;  // the subscription to the session's picks, 0 when none
  vantrel::TransferTable table_;
  vantrel::TransferDataProcessor processor_;
  vantrel::StepInsertion stepInsertion_;
  vantrel::JsonPayloadProcessor* drawTarget_ = nullptr;
  vantrel::UnwiredActivePartAdapter partAdapter_;
};

// Installs WebPanelWindow as the add-in's panel window.
void InstallWebPanel();

}  // namespace panel
