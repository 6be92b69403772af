#include "workstation/workstation.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "docked_dialog.h"
#include "host/selection.h"
#include "occt_host/automation/automation_server.h"
#include "occt_host/exchange/mesh_export.h"
#include "occt_host/exchange/step_export.h"
#include "occt_host/session/application_frame.h"
#include "occt_host/session/layout.h"
#include "occt_host/session/viewer.h"
#include "selection_descriptor.h"
#include "tree_labels.h"
#include "workstation/occt_view.h"

namespace workstation {
namespace {

constexpr int kWatchIntervalMs = 250;
// A drawing's pause after each item this long or longer is one a user watches the items in.
constexpr std::uint32_t kWatchedPauseMs = 15;

// A window's viewer: redrawing it shows the window and repaints its 3D view.
class ViewRedraw : public occt_host::Viewer {
 public:
  ViewRedraw(MainWindow* window, OcctView* view) : window_(window), view_(view) {}
  void redraw() override {
    occt_host::Viewer::redraw();
    if (!view_) return;
    if (window_) window_->showView(view_);
    view_->requestRedraw();
    if (window_ && window_->currentView() == view_)
      window_->refreshTreeWhenDue(view_->nextFrameIn());
  }

 private:
  QPointer<MainWindow> window_;
  QPointer<OcctView> view_;
};

QString qtText(const std::u16string& text) {
  return QString::fromStdU16String(text);
}

// A round badge with the icon name's initials stands in for the add-in's icon files.
QIcon badgeIcon(const std::string& name) {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(QColor(40, 110, 200));
  painter.setPen(Qt::NoPen);
  painter.drawEllipse(1, 1, 30, 30);
  painter.setPen(Qt::white);
  QFont font = painter.font();
  font.setBold(true);
  font.setPixelSize(13);
  painter.setFont(font);
  QString initials;
  for (char c : name) {
    if (c >= 'A' && c <= 'Z' && initials.size() < 2) initials += QChar(c);
  }
  painter.drawText(pixmap.rect(), Qt::AlignCenter,
                   initials.isEmpty() ? QStringLiteral("?") : initials);
  return QIcon(pixmap);
}

// A draw the session has no drawer for fails as the core fails a draw it cannot start.
int cannotDraw(const char* why, Workstation::DrawResult& result) {
  result = Workstation::DrawResult{};
  result.status = 2;
  result.errorCode = 100;
  result.message = why;
  return result.status;
}

}  // namespace

Workstation::Workstation(Options options)
    : frame_(std::make_shared<occt_host::ApplicationFrame>()),
      window_(std::make_unique<MainWindow>()) {
  if (options.manualTimers) {
    auto manual = std::make_unique<ManualThreadTimers>();
    manualTimers_ = manual.get();
    timers_ = std::move(manual);
  } else {
    timers_ = std::make_unique<QtThreadTimers>();
  }
  frame_->setViewerFactory([this](const std::shared_ptr<host::Editor>& editor) {
    std::shared_ptr<host::Document> document = editor ? editor->document() : nullptr;
    OcctView* view = window_->addDocumentView(document);
    view->onSelectionChanged = [this, document](const ViewPick* pick) {
      showSelection(document, pick);
    };
    view->itemsPaused = [this] { return itemsPaused(); };
    return std::make_shared<ViewRedraw>(window_.get(), view);
  });
  wireMenus();
  wireProgress();
  watch_ = new QTimer(window_.get());
  watch_->setInterval(kWatchIntervalMs);
  QObject::connect(watch_, &QTimer::timeout, window_.get(), [this] {
    for (OcctView* view : window_->views()) view->redrawIfChanged();
    // During a live draw the tree waits for the view's turn like everything beside it.
    OcctView* current = window_->currentView();
    window_->refreshTreeWhenDue(current != nullptr ? current->nextFrameIn() : 0);
  });
  watch_->start();
  previous_ = host::environment();
  host::setEnvironment(this);
  automation_ = occt_host::registerRunningApplication(frame_, this);
}

Workstation::~Workstation() {
  window_->onTreeBuilt = nullptr;
  progress_.reset();
  automation_.reset();
  releaseAddins();
  window_->closeDocumentViews();
  window_.reset();
  if (host::environment() == this) host::setEnvironment(previous_);
}

void Workstation::wireMenus() {
  window_->onQuit = [this] { pump_.postQuit(0); };
  window_->onNewPart = [this] { newPart(); };
  window_->onOpenPartJson = [this] {
    const QString path = QFileDialog::getOpenFileName(window_.get(), "Open part or product JSON",
                                                      QString(), "Part or product JSON (*.json)");
    if (path.isEmpty()) return;
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    DrawResult result;
    openJson(text.str(), 0, nullptr, result);
  };
  window_->onExport = [this](const QString& format) {
    OcctView* view = window_->currentView();
    if (view == nullptr) return;
    const QString path = QFileDialog::getSaveFileName(window_.get(), "Export " + format);
    std::string error;
    if (!path.isEmpty() &&
        !exportDocument(view->document(), format.toStdString(), path.toStdString(), error))
      QMessageBox::warning(window_.get(), "Export " + format, QString::fromStdString(error));
  };
  window_->onViewActivated = [this](OcctView* view) {
    if (view == nullptr) return;
    for (const auto& window : frame_->layout()->windows()) {
      if (window && window->editor() && window->editor()->document() == view->document()) {
        frame_->layout()->setCurrentWindow(window);
        frame_->setCurrentEditor(window->editor());
      }
    }
  };
}

void Workstation::wireProgress() {
  progress_ = std::make_unique<DrawProgress>();
  progress_->targetOf = [this]() -> std::shared_ptr<host::Document> {
    if (auto target = drawTarget_.lock()) return target;
    std::shared_ptr<host::Editor> editor = frame_->currentEditor();
    return editor ? editor->document() : nullptr;
  };
  progress_->onStatus = [this](const std::string& text) {
    // Items drawn back to back (no pause to watch them in) would recompose the window for
    // every line: the line then waits for the view's next frame. The summary never waits.
    OcctView* view = window_->currentView();
    const bool backToBack = progress_->drawing() && view != nullptr && !itemsPaused();
    window_->showStatusWhenDue(QString::fromStdString(text), backToBack ? view->nextFrameIn() : 0);
  };
  progress_->onDrawEnded = [this](const std::shared_ptr<host::Document>& document) {
    if (OcctView* view = viewOf(document)) view->fitAll();
    window_->refreshTree();
  };
  window_->onTreeBuilt = [this](const std::shared_ptr<host::Document>& document, TreeItem& root) {
    // Only a Part's tree shows its items; a product's source parts are drawn elsewhere.
    if (root.children.size() == 1 && root.children.front().type == "Part")
      labelTree(root, progress_->itemsOf(document));
  };
}

void Workstation::showSelection(const std::shared_ptr<host::Document>& document,
                                const ViewPick* pick) {
  if (pick == nullptr) {
    window_->statusBar()->clearMessage();
    host::selectionHub().publish(selectionMessage(nullptr));
    return;
  }
  const PickedTopology picked =
      describePick(pick->body.get(), pick->shape, pick->point, progress_->itemsOf(document));
  window_->statusBar()->showMessage(QString::fromStdString(picked.summary));
  host::selectionHub().publish(selectionMessage(&picked));
}

std::shared_ptr<host::Document> Workstation::newDocument(const std::string& kind) {
  std::shared_ptr<host::Document> document = frame_->createDocument(kind);
  if (document && frame_->openWindow(document, true)) {
    window_->showView(viewOf(document));
    window_->refreshTree();
  }
  return document;
}

bool Workstation::itemsPaused() const {
  return pump_.lastWaitMs() >= kWatchedPauseMs;
}

OcctView* Workstation::viewOf(const std::shared_ptr<host::Document>& document) const {
  for (OcctView* view : window_->views()) {
    if (view->document() == document) return view;
  }
  return nullptr;
}

int Workstation::drawJson(const std::shared_ptr<host::Document>& document, const std::string& json,
                          std::uint32_t drawDelayMs, DrawResult& result) {
  if (!partDrawer_) return cannotDraw("This session cannot draw a part JSON.", result);
  std::weak_ptr<host::Document> outer = drawTarget_;
  drawTarget_ = document;
  const int status = partDrawer_(document, json, drawDelayMs, result);
  drawTarget_ = outer;
  if (OcctView* view = viewOf(document)) view->fitAll();
  window_->refreshTree();
  return status;
}

int Workstation::openJson(const std::string& json, std::uint32_t drawDelayMs,
                          std::shared_ptr<host::Document> part, DrawResult& result,
                          std::shared_ptr<host::Document>* drawnInto) {
  // The add-in tells a product from a part by this key, and so does the session.
  const bool product = json.find("\"partList\"") != std::string::npos;
  std::shared_ptr<host::Document> document =
      product ? newDocument("Product") : (part ? part : newPart());
  int status = 2;
  if (product && productDrawer_) {
    status = productDrawer_(document, json, result);
    if (OcctView* view = viewOf(document)) view->fitAll();
    window_->refreshTree();
  } else if (product) {
    status = cannotDraw("This session cannot draw a product JSON.", result);
  } else {
    status = drawJson(document, json, drawDelayMs, result);
  }
  if (drawnInto != nullptr) *drawnInto = document;
  return status;
}

bool Workstation::saveIsometricView(const std::shared_ptr<host::Document>& document,
                                    const std::string& path, std::string& error) {
  OcctView* view = viewOf(document);
  if (view == nullptr) {
    error = "the document has no 3D view";
    return false;
  }
  window_->showView(view);
  view->showStandard(OcctView::Standard::Isometric);
  view->repaint();
  const QImage image = view->grabFramebuffer();
  if (image.isNull()) {
    error = "the 3D view could not be rendered";
    return false;
  }
  if (!image.save(QString::fromStdString(path), "PNG")) {
    error = "cannot write the PNG file " + path;
    return false;
  }
  return true;
}

bool Workstation::exportDocument(const std::shared_ptr<host::Document>& document,
                                 const std::string& format, const std::string& path,
                                 std::string& error) {
  if (format == "STEP") return occt_host::exportStep(document, path, &error);
  if (format == "glTF") return occt_host::exportGltf(document, path, &error);
  if (format == "STL") return occt_host::exportStl(document, path, &error);
  error = "unknown export format " + format;
  return false;
}

int Workstation::createAddins() {
  int created = 0;
  const std::vector<host::DictionaryEntry> entries = dictionary_;
  for (const host::DictionaryEntry& entry : entries) {
    if (entry.interfaceName != host::kGeneralWorkbenchAddinInterface || !entry.create) continue;
    auto* addin = static_cast<host::GeneralWorkbenchAddin*>(entry.create());
    if (addin == nullptr) continue;
    addins_.emplace_back(addin);
    addin->createCommands();
    addin->createToolbars();
    ++created;
  }
  return created;
}

bool Workstation::startCommand(const std::string& headerId) {
  for (const auto& header : headers_) {
    if (header->id() != headerId) continue;
    const host::DictionaryEntry* entry = lookupClass(header->className(), host::kCommandInterface);
    if (entry == nullptr || !entry->create) return false;
    auto* command = static_cast<host::Command*>(entry->create());
    if (command == nullptr) return false;
    adoptCommand(command);
    return true;
  }
  return false;
}

void Workstation::releaseAddins() {
  while (!commands_.empty()) destroyCommand(commands_.back());
  addins_.clear();
  headers_.clear();
  toolbars_.clear();
  dictionary_.clear();
}

int Workstation::run() {
  window_->show();
  return QApplication::exec();
}

std::shared_ptr<host::Layout> Workstation::currentLayout() {
  return frame_->layout();
}

std::shared_ptr<host::Application> Workstation::application() {
  return std::shared_ptr<host::Application>(frame_, static_cast<host::Application*>(frame_.get()));
}

host::NativeHandle Workstation::mainWindow() {
  return reinterpret_cast<host::NativeHandle>(window_.get());
}

std::shared_ptr<host::Dialog> Workstation::createDialog(host::NativeHandle parent,
                                                        const std::string& id,
                                                        std::uint32_t style) {
  (void)style;  // every dialog here is resizable and docks beside the view
  QMainWindow* dockTo = parent == mainWindow() ? window_.get() : nullptr;
  try {
    return std::make_shared<DockedDialog>(dockTo, id);
  } catch (...) {
    return nullptr;
  }
}

host::Status Workstation::fillDictionary(const host::DictionaryEntry& entry) {
  if (entry.className.empty() || !entry.create) return host::kInvalidArg;
  for (auto& known : dictionary_) {
    if (known.className == entry.className && known.interfaceName == entry.interfaceName) {
      known = entry;
      return host::kOk;
    }
  }
  dictionary_.push_back(entry);
  return host::kOk;
}

const host::DictionaryEntry* Workstation::lookupClass(std::string_view className,
                                                      std::string_view interfaceName) {
  for (const auto& entry : dictionary_) {
    if (entry.className == className && entry.interfaceName == interfaceName) return &entry;
  }
  return nullptr;
}

host::Status Workstation::addCommandHeader(std::shared_ptr<host::CommandHeader> header) {
  if (!header) return host::kPointer;
  headers_.push_back(std::move(header));
  return host::kOk;
}

host::Status Workstation::addToolbar(std::shared_ptr<host::CommandContainer> toolbar,
                                     int visibility, int position) {
  (void)position;  // the command bar holds every add-in's toolbars
  if (!toolbar) return host::kPointer;
  QToolBar* bar =
      window_->addCommandBar(QString::fromStdString(toolbar->name()), qtText(toolbar->title()));
  for (const auto& starter : toolbar->children()) {
    QAction* action = bar->addAction(badgeIcon(starter->iconName()), qtText(starter->title()));
    action->setObjectName(QString::fromStdString(starter->name()));
    for (const auto& header : headers_) {
      if (header->id() == starter->headerId()) action->setToolTip(qtText(header->shortHelp()));
    }
    const std::string headerId = starter->headerId();
    QObject::connect(action, &QAction::triggered, bar,
                     [this, headerId] { startCommand(headerId); });
  }
  bar->setVisible(visibility == host::kToolbarVisible);
  toolbars_.push_back(std::move(toolbar));
  return host::kOk;
}

std::uint32_t Workstation::startTimer(std::uint32_t delayMs,
                                      std::function<void(std::uint32_t)> callback) {
  try {
    return timers_->start(delayMs, std::move(callback));
  } catch (...) {
    return 0;
  }
}

void Workstation::killTimer(std::uint32_t id) {
  timers_->kill(id);
}

void Workstation::adoptCommand(host::Command* command) {
  if (command != nullptr &&
      std::find(commands_.begin(), commands_.end(), command) == commands_.end())
    commands_.push_back(command);
}

void Workstation::requestDelayedDestruction(host::Command* command) {
  if (std::find(commands_.begin(), commands_.end(), command) == commands_.end()) return;
  pump_.post([this, command] { destroyCommand(command); });
}

void Workstation::destroyCommand(host::Command* command) {
  auto found = std::find(commands_.begin(), commands_.end(), command);
  if (found == commands_.end()) return;
  commands_.erase(found);
  delete command;
}

}  // namespace workstation
