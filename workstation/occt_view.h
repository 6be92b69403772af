// The 3D view of one document window: Open CASCADE's AIS viewer drawn inside Qt's OpenGL
// widget, shaded with edges, with a triad; the mouse rotates (left), pans (middle or right)
// and zooms (wheel).
#pragma once

// Qt's headers come before any that pull in X11, whose macros clash with Qt's names.
#include <QOpenGLWidget>
#include <QPoint>

#include <AIS_ColoredShape.hxx>
#include <AIS_InteractiveContext.hxx>
#include <Aspect_DisplayConnection.hxx>
#include <V3d_View.hxx>
#include <V3d_Viewer.hxx>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "host/document.h"

namespace workstation {

class OcctView : public QOpenGLWidget {
  Q_OBJECT

 public:
  explicit OcctView(std::shared_ptr<host::Document> document, QWidget* parent = nullptr);
  ~OcctView() override;

  // Takes the document's current bodies into the scene and schedules one repaint; several
  // requests before the next paint give one frame.
  void requestRedraw();
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

 protected:
  void initializeGL() override;
  void paintGL() override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  // True when the scene changed.
  bool syncScene();
  void releaseView();

  std::shared_ptr<host::Document> document_;
  Handle(Aspect_DisplayConnection) display_;
  Handle(V3d_Viewer) viewer_;
  Handle(V3d_View) view_;
  Handle(AIS_InteractiveContext) context_;
  struct Shown {
    std::uint64_t stamp;
    std::uint64_t color;
    Handle(AIS_ColoredShape) shape;
  };
  std::vector<Shown> shapes_;
  QPoint lastMouse_;
  bool userMoved_ = false;
  bool glReady_ = false;
  int frames_ = 0;
  QString failure_;
};

}  // namespace workstation
