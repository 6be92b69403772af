// The 3D view of one document window: Open CASCADE's AIS viewer drawn inside Qt's OpenGL
// widget, shaded with edges, with a triad; the mouse rotates (left), pans (middle or right)
// and zooms (wheel).
#pragma once

// Qt's headers come before any that pull in X11, whose macros clash with Qt's names.
#include <QOpenGLWidget>
#include <QPoint>
#include <QTimer>

#include <AIS_ColoredShape.hxx>
#include <AIS_InteractiveContext.hxx>
#include <AIS_Shape.hxx>
#include <Aspect_DisplayConnection.hxx>
#include <V3d_View.hxx>
#include <V3d_Viewer.hxx>

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <TopoDS_Shape.hxx>
#include <gp_Pnt.hxx>

#include "host/document.h"

namespace occt_host {
class Body;
}

namespace workstation {

// A face or edge the user picked: the body it belongs to (null for an instance of a
// Product), the face or edge, and the point under the cursor.
struct ViewPick {
  std::shared_ptr<occt_host::Body> body;
  TopoDS_Shape shape;
  gp_Pnt point;
};

class OcctView : public QOpenGLWidget {
  Q_OBJECT

 public:
  explicit OcctView(std::shared_ptr<host::Document> document, QWidget* parent = nullptr);
  ~OcctView() override;

  // Schedules one repaint, which takes the document's bodies as they are then; several
  // requests before the next paint give one frame. While frames come faster than a few
  // times what the last one cost, the request waits for its turn (a timer takes it), so that
  // a live draw of many items spends most of its time drawing, not showing.
  void requestRedraw();
  // Seconds until the next frame is due (0 when it is): what shows beside the view (the
  // tree, the status bar) waits as long, since every change recomposes the window.
  double nextFrameIn() const;
  // Work the last frame's turn did besides the frame (the model tree rebuilt with it),
  // counted as part of that frame, so that a live draw's pacing covers it too. Work done
  // while a frame is on its way is already inside that frame's cost.
  void chargeToLastFrame(double seconds) {
    if (!frameStarted_) frameCost_ += seconds;
  }
  // True while the items being drawn are shown with a pause a user watches them in: then
  // every item gets its frame, whatever it costs. Unset: never.
  std::function<bool()> itemsPaused;
  // Repaints only when the document's bodies changed since the scene was last taken.
  void redrawIfChanged();
  void fitAll();
  // The standard views a CAD user expects, each fitted to the part.
  enum class Standard { Front, Top, Right, Isometric };
  void showStandard(Standard which);
  void setPerspective(bool on);
  bool perspective() const;
  // Where the camera looks, as a unit vector in model space.
  std::array<double, 3> viewDirection() const;
  // Picks the face or edge under the widget pixel `at`, as a click does: a second pick of the
  // same one, or of nothing, clears the selection.
  void pickAt(const QPoint& at);
  void clearSelection();
  // The current pick, or null.
  const ViewPick* selection() const { return picked_ ? &*picked_ : nullptr; }
  // Told each time the selection changes (null when it was cleared).
  std::function<void(const ViewPick*)> onSelectionChanged;
  // Where a point of the model shows in the widget, in its own pixels.
  QPoint pixelOf(double x, double y, double z) const;
  // Frames painted so far.
  int frames() const { return frames_; }
  // Bodies shown in the scene.
  int shownBodies() const { return static_cast<int>(shapes_.size()); }
  const std::shared_ptr<host::Document>& document() const { return document_; }
  // Why the view cannot draw, or empty.
  const QString& failure() const { return failure_; }

 signals:
  void painted();
  // A frame is being taken: what waits beside the view for its turn changes now, so that
  // the window is composed once for all of it.
  void frameDue();

 protected:
  void initializeGL() override;
  void paintGL() override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  // True when the scene changed.
  bool syncScene();
  // A frame started and its repaint scheduled, now; what requestRedraw does in its turn.
  void redrawNow();
  void startFrame(std::chrono::steady_clock::time_point at);
  void releaseView();
  void setPick(std::optional<ViewPick> pick);

  std::shared_ptr<host::Document> document_;
  Handle(Aspect_DisplayConnection) display_;
  Handle(V3d_Viewer) viewer_;
  Handle(V3d_View) view_;
  Handle(AIS_InteractiveContext) context_;
  struct Shown {
    std::uint64_t stamp;
    std::uint64_t color;
    Handle(AIS_ColoredShape) shape;
    std::shared_ptr<occt_host::Body> body;
  };
  std::vector<Shown> shapes_;
  QPoint lastMouse_;
  QPoint pressMouse_;
  bool dragged_ = false;
  std::optional<ViewPick> picked_;
  Handle(AIS_Shape) highlight_;
  bool userMoved_ = false;
  bool glReady_ = false;
  int frames_ = 0;
  // What the last frame cost (from taking the scene to its swap), when it ended, and the
  // timer of a request waiting for its turn.
  double frameCost_ = 0;
  bool frameStarted_ = false;
  std::chrono::steady_clock::time_point frameStart_{}, frameEnd_{};
  QTimer* pending_ = nullptr;
  QString failure_;
};

}  // namespace workstation
