#include "docked_dialog.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QMainWindow>
#include <QString>

namespace workstation {

WidgetEvents::WidgetEvents(QWidget* widget) : QObject(widget) {
  widget->installEventFilter(this);
}

void WidgetEvents::set(host::DialogEvent event, std::function<void()> handler) {
  if (handler)
    handlers_[event] = std::move(handler);
  else
    handlers_.erase(event);
}

bool WidgetEvents::fire(host::DialogEvent event) {
  auto found = handlers_.find(event);
  if (found == handlers_.end()) return false;
  // The handler may replace itself or remove the widget.
  std::function<void()> handler = found->second;
  handler();
  return true;
}

bool WidgetEvents::eventFilter(QObject* watched, QEvent* event) {
  (void)watched;
  switch (event->type()) {
    case QEvent::Show:
      if (!created_) {
        created_ = true;
        fire(host::DialogEvent::Create);
      }
      fire(host::DialogEvent::Visibility);
      break;
    case QEvent::Hide:
      fire(host::DialogEvent::Visibility);
      break;
    case QEvent::Resize:
      fire(host::DialogEvent::Resize);
      break;
    default:
      break;
  }
  return false;
}

host::NativeHandle handleOf(QWidget* widget) {
  if (widget == nullptr || !widget->testAttribute(Qt::WA_WState_Created)) return 0;
  return reinterpret_cast<host::NativeHandle>(widget);
}

bool clientRectOf(QWidget* widget, host::Rect& out) {
  if (handleOf(widget) == 0) return false;
  const QRect r = widget->contentsRect();
  out = host::Rect{0, 0, r.width(), r.height()};
  return true;
}

namespace {

QGridLayout* gridOf(QWidget* widget) {
  if (widget == nullptr) return nullptr;
  if (auto* grid = qobject_cast<QGridLayout*>(widget->layout())) return grid;
  auto* grid = new QGridLayout(widget);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(0);
  return grid;
}

}  // namespace

DialogFrame::DialogFrame(QFrame* frame) : frame_(frame), events_(new WidgetEvents(frame)) {
  gridOf(frame);
}

DialogFrame::~DialogFrame() {
  drop();
}

void DialogFrame::drop() {
  if (events_) events_->clear();
}

void DialogFrame::setRectDimensions(const host::Rect& rect) {
  if (frame_) frame_->resize(rect.width, rect.height);
}

void DialogFrame::setGridConstraints(int row, int column, int rowSpan, int columnSpan,
                                     int justification) {
  (void)justification;  // attached on all sides: the grid cell's whole area
  if (!frame_ || frame_->parentWidget() == nullptr) return;
  gridOf(frame_->parentWidget())->addWidget(frame_, row, column, rowSpan, columnSpan);
}

void DialogFrame::setGridColumnResizable(int column) {
  if (frame_) gridOf(frame_)->setColumnStretch(column, 1);
}

void DialogFrame::setGridRowResizable(int row) {
  if (frame_) gridOf(frame_)->setRowStretch(row, 1);
}

void DialogFrame::setHandler(host::DialogEvent event, std::function<void()> handler) {
  if (events_) events_->set(event, std::move(handler));
}

void DialogDock::closeEvent(QCloseEvent* event) {
  if (onClose && onClose()) {
    event->ignore();
    return;
  }
  QDockWidget::closeEvent(event);
}

DockedDialog::DockedDialog(QMainWindow* mainWindow, const std::string& id)
    : mainWindow_(mainWindow) {
  dock_ = new DialogDock(mainWindow);
  dock_->setObjectName(QString::fromStdString(id));
  dock_->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                     QDockWidget::DockWidgetFloatable);
  content_ = new QWidget(dock_);
  content_->setObjectName(QString::fromStdString(id) + "Client");
  dock_->setWidget(content_);
  events_ = new WidgetEvents(content_);
  gridOf(content_);
  dock_->onClose = [this] {
    if (!events_) return false;
    return events_->fire(host::DialogEvent::WindowClose);
  };
  if (mainWindow != nullptr) {
    mainWindow->addDockWidget(Qt::RightDockWidgetArea, dock_);
  }
  dock_->hide();
}

DockedDialog::~DockedDialog() {
  destroy();
}

void DockedDialog::setRectDimensions(const host::Rect& rect) {
  if (!dock_) return;
  if (mainWindow_ && !dock_->isFloating()) {
    mainWindow_->resizeDocks({dock_.data()}, {rect.width}, Qt::Horizontal);
  } else {
    dock_->resize(rect.width, rect.height);
  }
  content_->resize(rect.width, rect.height);
}

void DockedDialog::setGridConstraints(int row, int column, int rowSpan, int columnSpan,
                                      int justification) {
  (void)row, (void)column, (void)rowSpan, (void)columnSpan, (void)justification;
}

void DockedDialog::setGridColumnResizable(int column) {
  if (content_) gridOf(content_)->setColumnStretch(column, 1);
}

void DockedDialog::setGridRowResizable(int row) {
  if (content_) gridOf(content_)->setRowStretch(row, 1);
}

void DockedDialog::setHandler(host::DialogEvent event, std::function<void()> handler) {
  if (events_) events_->set(event, std::move(handler));
}

void DockedDialog::setTitle(const std::u16string& title) {
  if (dock_) dock_->setWindowTitle(QString::fromStdU16String(title));
}

void DockedDialog::setVisibility(int visibility) {
  if (!dock_) return;
  if (visibility == host::kVisibilityShown) {
    dock_->show();
    dock_->raise();
  } else if (visibility == host::kVisibilityHidden) {
    dock_->hide();
  }
}

bool DockedDialog::visible() {
  return dock_ && dock_->isVisible();
}

std::shared_ptr<host::Frame> DockedDialog::createFrame(const std::string& name,
                                                       std::uint32_t style) {
  (void)style;  // a plain frame without border: the panel fills it
  if (!content_) return nullptr;
  auto* frame = new QFrame(content_);
  frame->setObjectName(QString::fromStdString(name));
  frame->setFrameShape(QFrame::NoFrame);
  auto shown = std::make_shared<DialogFrame>(frame);
  frames_.push_back(shown);
  return shown;
}

void DockedDialog::destroy() {
  if (events_) events_->clear();
  for (const auto& frame : frames_) frame->drop();
  frames_.clear();
  if (dock_) {
    dock_->onClose = nullptr;
    if (mainWindow_) mainWindow_->removeDockWidget(dock_);
    delete dock_.data();
  }
}

}  // namespace workstation
