#include "workstation/main_window.h"

#include <QCloseEvent>
#include <QDockWidget>
#include <QHeaderView>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>

#include <chrono>
#include <functional>

#include "document_scene.h"
#include "workstation/occt_view.h"

namespace workstation {
namespace {

void addItems(QTreeWidgetItem* parent, const TreeItem& item) {
  auto* node = new QTreeWidgetItem(parent);
  QString text = QString::fromStdString(item.name);
  if (item.failed || !item.built) {
    text += item.failed ? QStringLiteral("  (failed)") : QStringLiteral("  (not built)");
    const QColor colour = item.failed ? QColor(190, 30, 30) : QColor(120, 120, 120);
    const QString tip = QString::fromStdString(item.error);
    for (int column = 0; column < 2; ++column) {
      node->setForeground(column, QBrush(colour));
      node->setToolTip(column, tip);
    }
  }
  node->setText(0, text);
  node->setText(1, QString::fromStdString(item.type));
  node->setData(0, kHostNameRole, QString::fromStdString(item.hostName));
  for (const TreeItem& child : item.children) addItems(node, child);
}

void sign(const TreeItem& item, std::string& out) {
  out += item.name + '\t' + item.type + (item.failed ? "!" : "") + (item.built ? "" : "?") +
         item.error + '(';
  for (const TreeItem& child : item.children) sign(child, out);
  out += ')';
}

}  // namespace

MainWindow::MainWindow() {
  setWindowTitle(QStringLiteral("Tolvane Workstation"));
  setObjectName(QStringLiteral("TolvaneWorkstation"));
  tabs_ = new QTabWidget(this);
  tabs_->setDocumentMode(true);
  setCentralWidget(tabs_);
  connect(tabs_, &QTabWidget::currentChanged, this, [this] {
    refreshTree();
    if (perspective_ != nullptr && currentView() != nullptr)
      perspective_->setChecked(currentView()->perspective());
    if (onViewActivated) onViewActivated(currentView());
  });

  tree_ = new QTreeWidget(this);
  tree_->setHeaderLabels({QStringLiteral("Feature"), QStringLiteral("Type")});
  // The names take the room they need (a failed item's mark included); the tree scrolls.
  tree_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  tree_->header()->setStretchLastSection(false);
  auto* treeDock = new QDockWidget(QStringLiteral("Model tree"), this);
  treeDock->setObjectName(QStringLiteral("ModelTree"));
  treeDock->setWidget(tree_);
  treeDock->setFeatures(QDockWidget::DockWidgetMovable);
  addDockWidget(Qt::LeftDockWidgetArea, treeDock);
  resizeDocks({treeDock}, {320}, Qt::Horizontal);
  // The status bar says how far a draw is and what is selected.
  statusBar()->showMessage(QStringLiteral("Ready"));
  buildMenus();
  buildViewCommands();
  resize(1280, 800);
}

void MainWindow::buildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->addAction(QStringLiteral("&New Part"), this, [this] {
    if (onNewPart) onNewPart();
  });
  file->addAction(QStringLiteral("&Open part or product JSON..."), this, [this] {
    if (onOpenPartJson) onOpenPartJson();
  });
  file->addSeparator();
  for (const QString& format :
       {QStringLiteral("STEP"), QStringLiteral("glTF"), QStringLiteral("STL")}) {
    file->addAction(QStringLiteral("Export %1...").arg(format), this, [this, format] {
      if (onExport) onExport(format);
    });
  }
  file->addSeparator();
  file->addAction(QStringLiteral("&Quit"), this, [this] {
    if (onQuit) onQuit();
  });
}

void MainWindow::buildViewCommands() {
  viewBar_ = addToolBar(QStringLiteral("View"));
  viewBar_->setObjectName(QStringLiteral("ViewBar"));
  QMenu* menu = menuBar()->addMenu(QStringLiteral("&View"));
  auto add = [this, menu](const QString& text, const QString& key,
                          std::function<void(OcctView*)> run) {
    QAction* action = viewBar_->addAction(text);
    action->setShortcut(QKeySequence(key));
    action->setToolTip(QStringLiteral("%1 (%2)").arg(text, key));
    menu->addAction(action);
    connect(action, &QAction::triggered, this, [this, run] {
      if (OcctView* view = currentView()) run(view);
    });
    return action;
  };
  add(QStringLiteral("Fit all"), QStringLiteral("F"), [](OcctView* v) { v->fitAll(); });
  add(QStringLiteral("Front"), QStringLiteral("1"),
      [](OcctView* v) { v->showStandard(OcctView::Standard::Front); });
  add(QStringLiteral("Top"), QStringLiteral("2"),
      [](OcctView* v) { v->showStandard(OcctView::Standard::Top); });
  add(QStringLiteral("Right"), QStringLiteral("3"),
      [](OcctView* v) { v->showStandard(OcctView::Standard::Right); });
  add(QStringLiteral("Isometric"), QStringLiteral("0"),
      [](OcctView* v) { v->showStandard(OcctView::Standard::Isometric); });
  perspective_ = add(QStringLiteral("Perspective"), QStringLiteral("P"),
                     [](OcctView* v) { v->setPerspective(!v->perspective()); });
  perspective_->setCheckable(true);
}

OcctView* MainWindow::addDocumentView(const std::shared_ptr<host::Document>& document) {
  auto* view = new OcctView(document, tabs_);
  connect(view, &OcctView::frameDue, this, [this, view] {
    if (view == currentView()) showWaiting();
  });
  tabs_->addTab(view, QString::fromStdString(document ? document->name() : std::string()));
  return view;
}

void MainWindow::closeDocumentViews() {
  while (tabs_->count() > 0) {
    QWidget* page = tabs_->widget(0);
    tabs_->removeTab(0);
    delete page;
  }
}

OcctView* MainWindow::currentView() const {
  return qobject_cast<OcctView*>(tabs_->currentWidget());
}

std::vector<OcctView*> MainWindow::views() const {
  std::vector<OcctView*> all;
  for (int i = 0; i < tabs_->count(); ++i) {
    if (auto* view = qobject_cast<OcctView*>(tabs_->widget(i))) all.push_back(view);
  }
  return all;
}

void MainWindow::showView(OcctView* view) {
  if (view != nullptr && tabs_->currentWidget() != view) tabs_->setCurrentWidget(view);
}

void MainWindow::refreshTree() {
  treeSignature_.clear();
  refreshTreeIfChanged();
}

namespace {

QTimer* dueTimer(QObject* owner, const std::function<void()>& then) {
  auto* timer = new QTimer(owner);
  timer->setSingleShot(true);
  QObject::connect(timer, &QTimer::timeout, owner, then);
  return timer;
}

int milliseconds(double seconds) {
  return static_cast<int>(seconds * 1000) + 1;
}

// What waits for a frame shows with it, so that the window is composed once for the frame
// and all beside it; the timer, a little later, covers a turn that brings no frame.
int afterTheFrame(double wait) {
  return milliseconds(wait * 1.1 + 0.005);
}

}  // namespace

void MainWindow::refreshTreeWhenDue(double wait) {
  if (treeDue_ == nullptr) treeDue_ = dueTimer(this, [this] { refreshTreeIfChanged(); });
  if (treeDue_->isActive()) return;
  if (wait <= 0) {
    refreshTreeIfChanged();
    return;
  }
  treeDue_->start(afterTheFrame(wait));
}

void MainWindow::showStatusWhenDue(const QString& text, double wait) {
  if (statusDue_ == nullptr)
    statusDue_ = dueTimer(this, [this] { statusBar()->showMessage(statusWaiting_); });
  if (wait <= 0) {
    statusDue_->stop();
    statusBar()->showMessage(text);
    return;
  }
  statusWaiting_ = text;
  if (!statusDue_->isActive()) statusDue_->start(afterTheFrame(wait));
}

void MainWindow::showWaiting() {
  if (statusDue_ != nullptr && statusDue_->isActive()) {
    statusDue_->stop();
    statusBar()->showMessage(statusWaiting_);
  }
  if (treeDue_ != nullptr && treeDue_->isActive()) refreshTreeIfChanged();
}

void MainWindow::refreshTreeIfChanged() {
  if (treeDue_ != nullptr) treeDue_->stop();
  OcctView* view = currentView();
  const auto start = std::chrono::steady_clock::now();
  rebuildTree(view);
  if (view != nullptr)
    view->chargeToLastFrame(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
}

void MainWindow::rebuildTree(OcctView* view) {
  TreeItem root = view != nullptr ? modelTree(view->document()) : TreeItem{};
  if (view != nullptr && onTreeBuilt) onTreeBuilt(view->document(), root);
  std::string signature = view != nullptr ? "+" : "-";
  sign(root, signature);
  if (signature == treeSignature_) return;
  treeSignature_ = signature;
  tree_->clear();
  if (view == nullptr) return;
  addItems(tree_->invisibleRootItem(), root);
  tree_->expandAll();
}

QToolBar* MainWindow::addCommandBar(const QString& name, const QString& title) {
  QToolBar* bar = addToolBar(title);
  bar->setObjectName(name);
  bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  return bar;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // The application ends through its message loop, so that a drawing in progress sees the
  // quit and stops first.
  event->ignore();
  if (onQuit) onQuit();
}

}  // namespace workstation
