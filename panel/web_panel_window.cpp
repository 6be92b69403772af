#include "panel/web_panel_window.h"

#include "host/selection.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <QWidget>

#include "panel/panel_bridge.h"
#include "platform/temp_files.h"
#include "vantrel/brand.h"
#include "vantrel/diagnostic_log.h"
#include "vantrel/runtime_config.h"
#include "vantrel/transfer_protocol.h"

// The bridge script lives in the library's resources, which a static library must register.
static void InitPanelResources() {
  Q_INIT_RESOURCE(panel);
}

namespace panel {
namespace {

constexpr char kComponent[] = "webview";
constexpr char kProtocol[] = "webview.protocol";

void Log(const std::string& message) {
  vantrel::WriteLog(vantrel::kLogInfo, kComponent, message);
}

void Warn(const std::string& message) {
  vantrel::WriteLog(vantrel::kLogWarn, kComponent, message);
}

bool SameOrigin(const QUrl& a, const QUrl& b) {
  return a.scheme() == b.scheme() && a.host() == b.host() &&
         a.port(a.scheme() == "https" ? 443 : 80) == b.port(b.scheme() == "https" ? 443 : 80);
}

// The live widget behind a handle that the desktop gave out, or null.
QWidget* WidgetOf(host::NativeHandle handle) {
  if (handle == 0) return nullptr;
  for (QWidget* widget : QApplication::allWidgets()) {
    if (reinterpret_cast<host::NativeHandle>(widget) == handle) return widget;
  }
  return nullptr;
}

}  // namespace

// Keeps the panel on the front end's origin: other main-frame navigations are refused and
// links open in the user's browser; new windows are refused too.
class GuardedPage : public QWebEnginePage {
 public:
  GuardedPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {}
  std::function<bool(const QUrl&)> allowed;
  bool allowOnce = false;
  // A refused navigation ends its load as failed; that is not the front end failing.
  bool refused = false;

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
    if (!isMainFrame || allowOnce || !allowed || allowed(url)) {
      if (isMainFrame) allowOnce = false;
      return true;
    }
    Warn("navigation_blocked url=" + url.toString().toStdString());
    refused = true;
    if (type == NavigationTypeLinkClicked && (url.scheme() == "https" || url.scheme() == "http"))
      QDesktopServices::openUrl(url);
    return false;
  }
  QWebEnginePage* createWindow(WebWindowType type) override {
    (void)type;
    Warn("new_window_blocked");
    return nullptr;
  }
};

QString WebPanelWindow::BridgeScript() {
  QFile channel(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
  QFile bridge(QStringLiteral(":/tolvane/panel/bridge.js"));
  if (!channel.open(QIODevice::ReadOnly) || !bridge.open(QIODevice::ReadOnly)) return QString();
  return QString::fromUtf8(channel.readAll()) + "\n" + QString::fromUtf8(bridge.readAll());
}

WebPanelWindow::WebPanelWindow(host::NativeHandle parent, int32_t width, int32_t height)
    : parent_(parent),
      width_(width > 0 ? width : vantrel::kDefaultPanelWidth),
      height_(height > 0 ? height : vantrel::kDefaultPanelHeight) {}

QWebEngineView* WebPanelWindow::view() const {
  return view_;
}

WebPanelWindow::~WebPanelWindow() {
  Close();
}

void WebPanelWindow::Fail(const std::string& text) {
  lastError_ = text;
  Log(text);
}

bool WebPanelWindow::FromFrontendOrigin(const QUrl& url) const {
  return SameOrigin(url, url_);
}

bool WebPanelWindow::Show(const std::string& url) {
  Log("Win32WebView2PanelWindow::Show");
  if (navigationStarted_) {
    UpdateBounds();
    return true;
  }
  url_ = QUrl(QString::fromStdString(url));
  if (url.empty()) {
    lastError_ = "frontend location is empty";
    return false;
  }
  if (!url_.isValid() || url_.scheme().isEmpty()) {
    Fail("QWebEngineView::load failed: invalid location " + url);
    return false;
  }
  if (!CreateContainer() || !CreateView()) return false;
  page_->load(url_);
  navigationStarted_ = true;
  Log("Win32WebView2PanelWindow::NavigateStarted");
  return true;
}

bool WebPanelWindow::CreateContainer() {
  if (container_) {
    container_->show();
    return true;
  }
  if (parent_ != 0) {
    Log("Win32WebView2PanelWindow::CreateChildContainer");
    QWidget* parent = WidgetOf(parent_);
    if (parent == nullptr) {
      Fail("QWidget failed: the panel's parent window is gone");
      return false;
    }
    container_ = new QWidget(parent);
    if (auto* grid = qobject_cast<QGridLayout*>(parent->layout()))
      grid->addWidget(container_, 0, 0);
    else
      container_->setGeometry(parent->contentsRect());
  } else {
    Log("Win32WebView2PanelWindow::CreateStandaloneContainer");
    container_ = new QWidget(nullptr, Qt::Tool);
    container_->setWindowTitle(QString::fromStdU16String(vantrel::kBrandTitle));
    container_->resize(width_, height_);
  }
  container_->setLayout(new QGridLayout());
  container_->layout()->setContentsMargins(0, 0, 0, 0);
  ownsContainer_ = true;
  container_->show();
  return true;
}

bool WebPanelWindow::CreateView() {
  const std::string temp = platform::TempPath().value_or(".");
  const QString storage = QDir(QString::fromStdString(temp)).filePath("TolvaneWebView2");
  QDir().mkpath(storage);
  profile_ = new QWebEngineProfile(QStringLiteral("TolvaneWebView2"));
  profile_->setPersistentStoragePath(storage);
  profile_->setCachePath(storage + "/cache");
  Log("Win32WebView2PanelWindow::EnvironmentCreated");

  page_ = new GuardedPage(profile_, nullptr);
  page_->allowed = [this](const QUrl& url) { return FromFrontendOrigin(url); };
  QWebEngineSettings* settings = page_->settings();
  settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
  // A front end served from files may load its own files; a remote one reaches none.
  settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, url_.isLocalFile());
  settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
  QObject::connect(page_, &QWebEnginePage::featurePermissionRequested, page_,
                   [this](const QUrl& origin, QWebEnginePage::Feature feature) {
                     Warn("permission_denied origin=" + origin.toString().toStdString());
                     page_->setFeaturePermission(origin, feature,
                                                 QWebEnginePage::PermissionDeniedByUser);
                   });
  QObject::connect(page_, &QWebEnginePage::loadFinished, page_, [this](bool ok) {
    const bool refused = page_->refused;
    page_->refused = false;
    if (!ok && !refused)
      Fail("QWebEngineView::load failed: " + page_->url().toString().toStdString() +
           " did not load");
  });

  view_ = new QWebEngineView(container_);
  view_->setPage(page_);
  view_->setZoomFactor(1.0);
  container_->layout()->addWidget(view_);
  Log("Win32WebView2PanelWindow::ControllerCreated");
  UpdateBounds();

  QWebEngineScript script;
  script.setName(QStringLiteral("tolvane-bridge"));
  script.setSourceCode(BridgeScript());
  script.setInjectionPoint(QWebEngineScript::DocumentCreation);
  script.setWorldId(QWebEngineScript::MainWorld);
  script.setRunsOnSubFrames(false);
  page_->scripts().insert(script);

  channel_ = new QWebChannel(page_);
  bridge_ = new PanelBridge();
  bridge_->setParent(channel_);
  bridge_->onMessage = [this](const QString& json) { OnMessage(json); };
  channel_->registerObject(QStringLiteral("tolvanePanel"), bridge_);
  page_->setWebChannel(channel_, QWebEngineScript::MainWorld);
  messageSubscribed_ = true;
  Log("Win32WebView2PanelWindow::WebMessageSubscribed");
  // The session's pick goes to the page as a message of its own, only while the page is
  // the front end's; no reply of the protocol changes.
  selectionKey_ = host::selectionHub().subscribe([this](const std::string& json) {
    if (page_ && FromFrontendOrigin(page_->url())) PostJson(json);
  });
  return true;
}

void WebPanelWindow::UpdateBounds() {
  if (!view_ || !container_) return;
  view_->setZoomFactor(1.0);
  if (container_->width() < 1 || container_->height() < 1) container_->resize(width_, height_);
}

void WebPanelWindow::OnMessage(const QString& json) {
  if (!page_) return;
  if (!FromFrontendOrigin(page_->url())) {
    Warn("web_message_dropped origin=" + page_->url().toString().toStdString());
    return;
  }
  const QByteArray utf8 = json.toUtf8();
  vantrel::JsonPayloadProcessor* draw = &processor_;
  if (drawTarget_ != nullptr) draw = drawTarget_;
  vantrel::TransferServices services{draw, &stepInsertion_};
  vantrel::TransferOutcome outcome = vantrel::HandleTransferPacket(
      table_, std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())), services);
  switch (outcome.kind) {
    case vantrel::TransferOutcomeKind::Completed:
      Log("transfer_completed cmd=" + outcome.command + " mode=" + outcome.mode +
          " name=" + outcome.name);
      break;
    case vantrel::TransferOutcomeKind::RetryRequested:
      vantrel::WriteLog(
          vantrel::kLogWarn, kProtocol,
          "transfer_retry_requested cmd=" + outcome.command + " name=" + outcome.name);
      break;
    case vantrel::TransferOutcomeKind::Failed:
      vantrel::WriteLog(vantrel::kLogError, kProtocol, outcome.detail);
      break;
    case vantrel::TransferOutcomeKind::Accepted:
      break;
  }
  PostJson(outcome.reply);
  // Only a packet that asked for the draw's report has one; it follows the reply.
  if (!outcome.report.empty()) {
    Log("Win32WebView2PanelWindow::DrawReportResponse");
    PostJson(outcome.report);
  }
  const std::string schemaReply = vantrel::DemoSchemaHook(&partAdapter_, outcome);
  if (!schemaReply.empty()) {
    Log("Win32WebView2PanelWindow::SchemaDispatchResponse");
    PostJson(schemaReply);
  }
}

void WebPanelWindow::PostJson(const std::string& json) {
  if (!bridge_ || !page_ || json.empty()) return;
  emit bridge_->message(QString::fromUtf8(json.data(), static_cast<int>(json.size())));
}

void WebPanelWindow::LoadForTesting(const QString& html, const QUrl& baseUrl) {
  if (!page_) return;
  page_->allowOnce = true;
  page_->setHtml(html, baseUrl);
}

void WebPanelWindow::Close() {
  if (navigationStarted_ || view_ || page_ || profile_ || container_)
    Log("Win32WebView2PanelWindow::Close");
  navigationStarted_ = false;
  messageSubscribed_ = false;
  if (selectionKey_ != 0) host::selectionHub().unsubscribe(selectionKey_);
  selectionKey_ = 0;
  bridge_ = nullptr;
  // The page must go before its profile, the view with its container.
  delete view_.data();
  delete page_.data();
  channel_ = nullptr;
  delete profile_;
  profile_ = nullptr;
  if (ownsContainer_) delete container_.data();
  container_ = nullptr;
  ownsContainer_ = false;
}

void InstallWebPanel() {
  InitPanelResources();
  vantrel::SetPanelWindowFactory([](host::NativeHandle parent, int32_t width, int32_t height) {
    return std::unique_ptr<vantrel::PanelWindow>(new WebPanelWindow(parent, width, height));
  });
}

}  // namespace panel
