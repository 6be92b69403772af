// Dialogs docked beside the 3D view, and the frames inside them. A dialog's client area and
// each frame are widgets of their own; their handle is the widget's address once the window
// system has created it, and 0 before.
#pragma once

#include <QDockWidget>
#include <QFrame>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>

#include "host/desktop.h"

class QGridLayout;
class QMainWindow;

namespace workstation {

// Turns a widget's show, hide and resize events into the handlers of host::DialogEvent.
class WidgetEvents : public QObject {
 public:
  explicit WidgetEvents(QWidget* widget);
  void set(host::DialogEvent event, std::function<void()> handler);
  void clear() { handlers_.clear(); }
  bool fire(host::DialogEvent event);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::map<host::DialogEvent, std::function<void()>> handlers_;
  bool created_ = false;
};

host::NativeHandle handleOf(QWidget* widget);
bool clientRectOf(QWidget* widget, host::Rect& out);

class DialogFrame : public host::Frame {
 public:
  explicit DialogFrame(QFrame* frame);
  ~DialogFrame() override;
  host::NativeHandle nativeHandle() override { return handleOf(frame_); }
  bool clientRect(host::Rect& out) override { return clientRectOf(frame_, out); }
  void setRectDimensions(const host::Rect& rect) override;
  void setGridConstraints(int row, int column, int rowSpan, int columnSpan,
                          int justification) override;
  void setGridColumnResizable(int column) override;
  void setGridRowResizable(int row) override;
  void setHandler(host::DialogEvent event, std::function<void()> handler) override;
  QFrame* widget() const { return frame_; }
  void drop();

 private:
  QPointer<QFrame> frame_;
  QPointer<WidgetEvents> events_;
};

// The dock window; its close button asks the owner instead of hiding at once.
class DialogDock : public QDockWidget {
 public:
  using QDockWidget::QDockWidget;
  std::function<bool()> onClose;

 protected:
  void closeEvent(QCloseEvent* event) override;
};

class DockedDialog : public host::Dialog {
 public:
  // Docked on the right of `mainWindow`, or a window of its own when it is null.
  DockedDialog(QMainWindow* mainWindow, const std::string& id);
  ~DockedDialog() override;

  host::NativeHandle nativeHandle() override { return handleOf(content_); }
  bool clientRect(host::Rect& out) override { return clientRectOf(content_, out); }
  void setRectDimensions(const host::Rect& rect) override;
  void setGridConstraints(int row, int column, int rowSpan, int columnSpan,
                          int justification) override;
  void setGridColumnResizable(int column) override;
  void setGridRowResizable(int row) override;
  void setHandler(host::DialogEvent event, std::function<void()> handler) override;
  void setTitle(const std::u16string& title) override;
  void setVisibility(int visibility) override;
  bool visible() override;
  std::shared_ptr<host::Frame> createFrame(const std::string& name, std::uint32_t style) override;
  void destroy() override;

  QDockWidget* dock() const { return dock_; }
  QWidget* content() const { return content_; }

 private:
  QPointer<QMainWindow> mainWindow_;
  QPointer<DialogDock> dock_;
  QPointer<QWidget> content_;
  QPointer<WidgetEvents> events_;
  std::vector<std::shared_ptr<DialogFrame>> frames_;
};

}  // namespace workstation
