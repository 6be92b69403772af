// The workstation's main window: one 3D view per document window (tabs), the model tree of
// the active document, the command bar where add-ins put their toolbars, docked dialogs.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/document.h"

class QAction;
class QTabWidget;
class QTreeWidget;
class QToolBar;

namespace workstation {

class OcctView;
struct TreeItem;

// The tree items' data role holding the host object's own name (empty for an item that made
// no host object).
constexpr int kHostNameRole = Qt::UserRole + 1;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow();

  // A new tab whose 3D view shows `document`.
  OcctView* addDocumentView(const std::shared_ptr<host::Document>& document);
  // Removes every 3D view (before the display connection goes).
  void closeDocumentViews();
  OcctView* currentView() const;
  std::vector<OcctView*> views() const;
  void showView(OcctView* view);
  void refreshTree();
  // Rebuilds the tree only when the active document's tree changed.
  void refreshTreeIfChanged();
  // The same with the current view's next frame, due in `wait` seconds (at once when 0), or
  // a little after that when no frame comes; several calls before then give one rebuild.
  void refreshTreeWhenDue(double wait);
  // Shows `text` in the status bar as refreshTreeWhenDue rebuilds the tree; a later text
  // replaces one still waiting.
  void showStatusWhenDue(const QString& text, double wait);

  QTreeWidget* tree() const { return tree_; }
  QToolBar* addCommandBar(const QString& name, const QString& title);
  // The view toolbar: fit all, the standard views, perspective or orthographic.
  QToolBar* viewBar() const { return viewBar_; }

  // What the File menu and the window's close button ask for.
  std::function<void()> onNewPart;
  std::function<void()> onOpenPartJson;
  std::function<void(const QString& format)> onExport;
  std::function<void()> onQuit;
  std::function<void(OcctView*)> onViewActivated;
  // Labels a document's tree before it is shown (the last import's item names and failures).
  std::function<void(const std::shared_ptr<host::Document>&, TreeItem&)> onTreeBuilt;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void rebuildTree(OcctView* view);
  // Shows what waits for the current view's frame, as that frame is taken.
  void showWaiting();
  void buildMenus();
  void buildViewCommands();

  QTabWidget* tabs_ = nullptr;
  QTreeWidget* tree_ = nullptr;
  QToolBar* viewBar_ = nullptr;
  QAction* perspective_ = nullptr;
  std::string treeSignature_;
  QTimer* treeDue_ = nullptr;
  QTimer* statusDue_ = nullptr;
  QString statusWaiting_;
};

}  // namespace workstation
