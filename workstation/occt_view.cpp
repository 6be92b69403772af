#include "workstation/occt_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QSurfaceFormat>
#include <QWheelEvent>

#include <algorithm>

#include <Aspect_NeutralWindow.hxx>
#include <Graphic3d_Camera.hxx>
#include <Graphic3d_Vec2.hxx>
#include <OpenGl_Context.hxx>
#include <OpenGl_FrameBuffer.hxx>
#include <OpenGl_GraphicDriver.hxx>
#include <Prs3d_Drawer.hxx>
#include <Prs3d_LineAspect.hxx>
#include <Quantity_Color.hxx>
#include <StdPrs_ToolTriangulatedShape.hxx>

#include "document_scene.h"
#include "occt_host/kernel/triangulation.h"
#include "platform/environment.h"
#include "view_picker.h"

namespace workstation {
namespace {

// A live draw may spend this share of its time showing frames, at the most: a fifth keeps
// it within 1.25 times the silent draw (1 / (1 - 0.2)).
constexpr double kShowingShare = 0.2;

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Qt renders into a framebuffer of its own; OCCT must draw into that one, as sRGB.
class QtFrameBuffer : public OpenGl_FrameBuffer {
  DEFINE_STANDARD_RTTI_INLINE(QtFrameBuffer, OpenGl_FrameBuffer)
 public:
  void BindBuffer(const Handle(OpenGl_Context) & gl) override {
    OpenGl_FrameBuffer::BindBuffer(gl);
    gl->SetFrameBufferSRGB(true, false);
  }
  void BindDrawBuffer(const Handle(OpenGl_Context) & gl) override {
    OpenGl_FrameBuffer::BindDrawBuffer(gl);
    gl->SetFrameBufferSRGB(true, false);
  }
  void BindReadBuffer(const Handle(OpenGl_Context) & gl) override {
    OpenGl_FrameBuffer::BindReadBuffer(gl);
  }
};

Quantity_Color kernelColor(const host::Color& c) {
  return Quantity_Color(c.r / 255.0, c.g / 255.0, c.b / 255.0, Quantity_TOC_sRGB);
}

// A body without a colour of its own is shown in a warm grey.
Quantity_Color bodyColor(const SceneBody& body) {
  if (!body.hasColor) return Quantity_Color(0.70, 0.66, 0.60, Quantity_TOC_sRGB);
  return kernelColor(body.color);
}

// Setting a shape's colour paints its face boundaries in that colour too; each shape gets
// back the dark line that CAD viewers draw over the shading.
const Handle(Prs3d_LineAspect) & boundaryAspect() {
  static const Handle(Prs3d_LineAspect) aspect = new Prs3d_LineAspect(
      Quantity_Color(0.08, 0.08, 0.10, Quantity_TOC_sRGB), Aspect_TOL_SOLID, 1.0);
  return aspect;
}

// How close to an edge, in pixels, a click picks it rather than the face under it.
constexpr double kEdgePixels = 4.0;

// Face boundaries are drawn unless TOLVANE_VIEW_EDGES is "0" (the start-up benchmark's
// baseline, and a user's choice on a slow display).
bool edgesShown() {
  static const bool shown = platform::GetEnv("TOLVANE_VIEW_EDGES").value_or("1") != "0";
  return shown;
}

// Colours are applied after the solids are built; a new colour must redraw the scene too.
std::uint64_t colorKey(const SceneBody& body) {
  auto mix = [](std::uint64_t key, const host::Color& c) {
    const std::uint64_t rgb = (std::uint64_t(c.r) << 16) | (std::uint64_t(c.g) << 8) | c.b;
    return (key ^ rgb) * 1099511628211ull;
  };
  std::uint64_t key = body.hasColor ? mix(14695981039346656037ull, body.color) : 1;
  for (const auto& entry : body.faceColors) key = mix(key, entry.second);
  return key ^ body.faceColors.size();
}

// The view's triangulation of `solid`, made before its presentation would make it, with the
// deflection and angle the presentation asks for, so that it finds every face done.
void triangulateFor(const TopoDS_Shape& solid, const Handle(Prs3d_Drawer) & drawer) {
  try {
    IMeshTools_Parameters parameters;
    parameters.Deflection = StdPrs_ToolTriangulatedShape::GetDeflection(solid, drawer);
    parameters.Angle = drawer->DeviationAngle();
    parameters.InParallel = true;
    occt_host::triangulate(solid, parameters);
  } catch (...) {
    // The presentation triangulates what is left.
  }
}

}  // namespace

OcctView::OcctView(std::shared_ptr<host::Document> document, QWidget* parent)
    : QOpenGLWidget(parent), document_(std::move(document)) {
  display_ = new Aspect_DisplayConnection();
  Handle(OpenGl_GraphicDriver) driver = new OpenGl_GraphicDriver(display_, false);
  // Qt owns the context and swaps the buffers.
  driver->ChangeOptions().buffersNoSwap = true;
  driver->ChangeOptions().buffersOpaqueAlpha = true;
  driver->ChangeOptions().useSystemBuffer = false;
  viewer_ = new V3d_Viewer(driver);
  viewer_->SetDefaultBackgroundColor(Quantity_Color(0.86, 0.88, 0.91, Quantity_TOC_sRGB));
  viewer_->SetDefaultLights();
  viewer_->SetLightOn();
  context_ = new AIS_InteractiveContext(viewer_);
  // A frame costs what it takes from taking the scene to the swap: a software renderer
  // does most of its work when the frame is composed, after paintGL.
  connect(this, &QOpenGLWidget::frameSwapped, this, [this] {
    if (!frameStarted_) return;
    frameEnd_ = std::chrono::steady_clock::now();
    // The first frame also builds the renderer's programs: it says nothing of the next.
    if (frames_ > 1) frameCost_ = std::chrono::duration<double>(frameEnd_ - frameStart_).count();
    frameStarted_ = false;
  });
  context_->SetDisplayMode(AIS_Shaded, false);
  context_->DefaultDrawer()->SetFaceBoundaryDraw(edgesShown());
  context_->DefaultDrawer()->SetFaceBoundaryAspect(boundaryAspect());
  view_ = viewer_->CreateView();
  view_->SetImmediateUpdate(false);
  // Not an exact isometric view: under the headlight its three visible faces of a box would
  // all get the same shade.
  view_->SetProj(0.8, -1.6, 1.0);
  view_->TriedronDisplay(Aspect_TOTP_LEFT_LOWER, Quantity_NOC_GRAY20, 0.1, V3d_ZBUFFER);

  setMouseTracking(false);
  setFocusPolicy(Qt::StrongFocus);
  setUpdateBehavior(QOpenGLWidget::NoPartialUpdate);
  QSurfaceFormat format;
  format.setDepthBufferSize(24);
  format.setStencilBufferSize(8);
  setFormat(format);
  setMinimumSize(200, 150);
}

OcctView::~OcctView() {
  releaseView();
}

// The view's GL resources belong to Qt's context: release them while it is current, and keep
// the display connection open until then.
void OcctView::releaseView() {
  Handle(Aspect_DisplayConnection) display = display_;
  makeCurrent();
  shapes_.clear();
  if (!context_.IsNull()) context_->RemoveAll(false);
  context_.Nullify();
  if (!view_.IsNull()) view_->Remove();
  view_.Nullify();
  viewer_.Nullify();
  doneCurrent();
  display.Nullify();
  display_.Nullify();
}

void OcctView::initializeGL() {
  Handle(OpenGl_Context) gl = new OpenGl_Context();
  if (!gl->Init(false)) {
    failure_ = "OpenGL context could not be wrapped";
    return;
  }
  // The top-level window names the drawable; making this widget native would give it a
  // surface of its own that Qt cannot compose.
  const Aspect_Drawable native = static_cast<Aspect_Drawable>(window()->winId());
  Handle(Aspect_NeutralWindow) window = Handle(Aspect_NeutralWindow)::DownCast(view_->Window());
  if (window.IsNull()) {
    window = new Aspect_NeutralWindow();
    window->SetVirtual(true);
  }
  window->SetNativeHandle(native);
  window->SetSize(std::max(1, width()), std::max(1, height()));
  view_->SetWindow(window, gl->RenderingContext());
  glReady_ = true;
  syncScene();
}

void OcctView::paintGL() {
  if (!glReady_ || view_->Window().IsNull()) return;
  // What changed since the frame was asked for shows in it.
  syncScene();
  Handle(OpenGl_GraphicDriver) driver = Handle(OpenGl_GraphicDriver)::DownCast(viewer_->Driver());
  const Handle(OpenGl_Context)& gl = driver->GetSharedContext();
  Handle(OpenGl_FrameBuffer) fbo = gl->DefaultFrameBuffer();
  if (fbo.IsNull()) {
    fbo = new QtFrameBuffer();
    gl->SetDefaultFrameBuffer(fbo);
  }
  if (!fbo->InitWrapper(gl)) {
    failure_ = "Qt's framebuffer could not be wrapped";
    return;
  }
  Handle(Aspect_NeutralWindow) window = Handle(Aspect_NeutralWindow)::DownCast(view_->Window());
  Graphic3d_Vec2i oldSize;
  window->Size(oldSize.x(), oldSize.y());
  const Graphic3d_Vec2i newSize = fbo->GetVPSize();
  if (newSize != oldSize) {
    window->SetSize(newSize.x(), newSize.y());
    view_->MustBeResized();
    view_->Invalidate();
    if (!userMoved_) view_->FitAll(0.1, false);
  }
  view_->InvalidateImmediate();
  view_->Redraw();
  ++frames_;
  emit painted();
}

double OcctView::nextFrameIn() const {
  // Whatever changes beside the view before a frame on its way paints is composed with it.
  if (frameStarted_ || (itemsPaused && itemsPaused())) return 0;
  return std::max(0.0, frameCost_ * (1 / kShowingShare - 1) - secondsSince(frameEnd_));
}

void OcctView::requestRedraw() {
  // A frame on its way takes the scene as it paints; one waiting for its turn is coming.
  if (frameStarted_ || (pending_ != nullptr && pending_->isActive())) return;
  const double wait = nextFrameIn();
  if (wait <= 0) {
    redrawNow();
    return;
  }
  if (pending_ == nullptr) {
    pending_ = new QTimer(this);
    pending_->setSingleShot(true);
    connect(pending_, &QTimer::timeout, this, [this] { redrawNow(); });
  }
  pending_->start(static_cast<int>(wait * 1000) + 1);
}

void OcctView::redrawNow() {
  if (pending_ != nullptr) pending_->stop();
  // The scene is taken as the frame paints: taken here as well, it would be computed twice
  // whenever items are drawn before the paint comes.
  startFrame(std::chrono::steady_clock::now());
  update();
}

void OcctView::startFrame(std::chrono::steady_clock::time_point at) {
  if (frameStarted_) return;
  frameStart_ = at;
  frameStarted_ = true;
  emit frameDue();
}

void OcctView::redrawIfChanged() {
  // A frame on its way or waiting for its turn shows the change; a frame is not due yet
  // otherwise.
  if (frameStarted_ || (pending_ != nullptr && pending_->isActive())) return;
  if (nextFrameIn() > 0) return;
  const auto start = std::chrono::steady_clock::now();
  if (!syncScene()) return;
  startFrame(start);
  update();
}

bool OcctView::syncScene() {
  if (context_.IsNull()) return false;
  std::vector<SceneBody> bodies = sceneBodies(document_);
  bool same = bodies.size() == shapes_.size();
  for (size_t i = 0; same && i < bodies.size(); ++i)
    same = bodies[i].stamp == shapes_[i].stamp && colorKey(bodies[i]) == shapes_[i].color;
  if (same) return false;
  context_->RemoveAll(false);
  shapes_.clear();
  highlight_.Nullify();
  if (picked_) setPick(std::nullopt);
  for (const SceneBody& body : bodies) {
    // A coloured shape draws the face boundaries as a group of their own, in the boundary
    // aspect's dark line; a plain shape draws them in the faces' colour.
    Handle(AIS_ColoredShape) shape = new AIS_ColoredShape(body.solid);
    shape->SetColor(bodyColor(body));
    shape->Attributes()->SetFaceBoundaryAspect(boundaryAspect());
    for (const auto& [face, color] : body.faceColors) {
      shape->SetCustomColor(face, kernelColor(color));
      shape->CustomAspects(face)->SetFaceBoundaryAspect(boundaryAspect());
    }
    triangulateFor(body.solid, shape->Attributes());
    context_->Display(shape, AIS_Shaded, -1, false);
    shapes_.push_back(Shown{body.stamp, colorKey(body), shape, body.body});
  }
  if (!userMoved_) view_->FitAll(0.1, false);
  view_->Invalidate();
  return true;
}

void OcctView::fitAll() {
  userMoved_ = false;
  syncScene();
  if (!view_.IsNull()) view_->FitAll(0.1, false);
  update();
}

void OcctView::showStandard(Standard which) {
  if (view_.IsNull()) return;
  switch (which) {
    case Standard::Front:
      view_->SetProj(V3d_Yneg);
      break;
    case Standard::Top:
      view_->SetProj(V3d_Zpos);
      break;
    case Standard::Right:
      view_->SetProj(V3d_Xpos);
      break;
    case Standard::Isometric:
      view_->SetProj(V3d_XposYnegZpos);
      break;
  }
  fitAll();
}

void OcctView::setPerspective(bool on) {
  if (view_.IsNull()) return;
  view_->Camera()->SetProjectionType(on ? Graphic3d_Camera::Projection_Perspective
                                        : Graphic3d_Camera::Projection_Orthographic);
  fitAll();
}

bool OcctView::perspective() const {
  return !view_.IsNull() &&
         view_->Camera()->ProjectionType() == Graphic3d_Camera::Projection_Perspective;
}

std::array<double, 3> OcctView::viewDirection() const {
  if (view_.IsNull()) return {0, 0, 0};
  const gp_Dir d = view_->Camera()->Direction();
  return {d.X(), d.Y(), d.Z()};
}

QPoint OcctView::pixelOf(double x, double y, double z) const {
  if (view_.IsNull()) return QPoint(-1, -1);
  Standard_Integer px = 0, py = 0;
  view_->Convert(x, y, z, px, py);
  const double ratio = devicePixelRatioF();
  return QPoint(static_cast<int>(px / ratio), static_cast<int>(py / ratio));
}

void OcctView::pickAt(const QPoint& at) {
  if (!glReady_ || context_.IsNull()) return;
  std::vector<TopoDS_Shape> solids;
  for (const Shown& shown : shapes_) solids.push_back(shown.shape->Shape());
  const double ratio = devicePixelRatioF();
  const PickHit hit = pickTopology(view_, solids, static_cast<int>(at.x() * ratio),
                                   static_cast<int>(at.y() * ratio), kEdgePixels * ratio);
  if (hit.solid < 0 || (picked_ && picked_->shape.IsEqual(hit.shape))) {
    setPick(std::nullopt);
    return;
  }
  setPick(ViewPick{shapes_[hit.solid].body, hit.shape, hit.point});
}

void OcctView::clearSelection() {
  if (picked_) setPick(std::nullopt);
}

// The pick shows over the part in orange: a face filled, an edge as a thick line.
void OcctView::setPick(std::optional<ViewPick> pick) {
  if (!highlight_.IsNull()) context_->Remove(highlight_, false);
  highlight_.Nullify();
  picked_ = std::move(pick);
  if (picked_ && !context_.IsNull()) {
    const Quantity_Color orange(1.0, 0.45, 0.0, Quantity_TOC_sRGB);
    highlight_ = new AIS_Shape(picked_->shape);
    highlight_->SetColor(orange);
    highlight_->Attributes()->SetWireAspect(new Prs3d_LineAspect(orange, Aspect_TOL_SOLID, 4.0));
    highlight_->SetZLayer(Graphic3d_ZLayerId_Top);
    const bool face = picked_->shape.ShapeType() == TopAbs_FACE;
    context_->Display(highlight_, face ? AIS_Shaded : AIS_WireFrame, -1, false);
  }
  update();
  if (onSelectionChanged) onSelectionChanged(selection());
}

void OcctView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && picked_) {
    clearSelection();
    return;
  }
  QOpenGLWidget::keyPressEvent(event);
}

void OcctView::mouseReleaseEvent(QMouseEvent* event) {
  // A click that did not turn the view picks what is under it.
  if (event->button() == Qt::LeftButton && !dragged_) pickAt(event->position().toPoint());
}

void OcctView::mousePressEvent(QMouseEvent* event) {
  lastMouse_ = event->position().toPoint();
  pressMouse_ = lastMouse_;
  dragged_ = false;
  if (event->button() == Qt::LeftButton && glReady_)
    view_->StartRotation(lastMouse_.x(), lastMouse_.y());
}

void OcctView::mouseMoveEvent(QMouseEvent* event) {
  if (!glReady_) return;
  const QPoint p = event->position().toPoint();
  if ((p - pressMouse_).manhattanLength() <= 3 && !dragged_) return;
  dragged_ = true;
  if (event->buttons() & Qt::LeftButton) {
    view_->Rotation(p.x(), p.y());
  } else if (event->buttons() & (Qt::MiddleButton | Qt::RightButton)) {
    view_->Pan(p.x() - lastMouse_.x(), lastMouse_.y() - p.y());
  } else {
    return;
  }
  userMoved_ = true;
  lastMouse_ = p;
  update();
}

void OcctView::wheelEvent(QWheelEvent* event) {
  if (!glReady_) return;
  const double steps = event->angleDelta().y() / 120.0;
  view_->SetZoom(steps > 0 ? 1.0 + 0.1 * steps : 1.0 / (1.0 - 0.1 * steps));
  userMoved_ = true;
  update();
}

}  // namespace workstation
