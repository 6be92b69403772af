// The view commands from the toolbar and the keyboard: fit all, the standard views and the
// perspective switch.
#include <QAction>
#include <QTest>
#include <QToolBar>

#include <cmath>

#include "workstation_fixture.h"

namespace workstation::testing {
namespace {

class ViewCommandsTest : public DrawTest {
 protected:
  void SetUp() override {
    DrawTest::SetUp();
    if (HasFatalFailure()) return;
    Workstation::DrawResult result;
    ASSERT_EQ(ws_->drawJson(document_, ReadFile(EXAMPLES_DIR "/flanged_bracket.json"), 0, result),
              0);
    ws_->mainWindowWidget().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&ws_->mainWindowWidget()));
  }
  QAction* action(const QString& text) {
    for (QAction* a : ws_->mainWindowWidget().viewBar()->actions())
      if (a->text() == text) return a;
    return nullptr;
  }
  void expectLooking(double x, double y, double z) {
    const auto d = view_->viewDirection();
    EXPECT_NEAR(d[0], x, 1e-9);
    EXPECT_NEAR(d[1], y, 1e-9);
    EXPECT_NEAR(d[2], z, 1e-9);
  }
  // The bracket's corners (120 x 80 x 70) all show inside the view.
  void expectFitted() {
    for (double x : {0.0, 120.0})
      for (double y : {0.0, 80.0})
        for (double z : {0.0, 70.0})
          EXPECT_TRUE(view_->rect().contains(view_->pixelOf(x, y, z))) << x << " " << y << " " << z;
  }
  void press(Qt::Key key) {
    QTest::keyClick(&ws_->mainWindowWidget(), key);
    QApplication::processEvents();
  }
};

TEST_F(ViewCommandsTest, KeysShowTheStandardViewsFitted) {
  press(Qt::Key_1);  // front: from -Y towards +Y
  expectLooking(0, 1, 0);
  expectFitted();
  press(Qt::Key_2);  // top: looking down
  expectLooking(0, 0, -1);
  expectFitted();
  press(Qt::Key_3);  // right: from +X
  expectLooking(-1, 0, 0);
  expectFitted();
  press(Qt::Key_0);  // isometric: from (+X, -Y, +Z)
  const double k = 1 / std::sqrt(3.0);
  expectLooking(-k, k, -k);
  expectFitted();
}

TEST_F(ViewCommandsTest, ToolbarSwitchesPerspectiveAndFitsAll) {
  for (const char* name : {"Fit all", "Front", "Top", "Right", "Isometric", "Perspective"})
    ASSERT_NE(action(name), nullptr) << name;
  EXPECT_FALSE(view_->perspective());
  action("Perspective")->trigger();
  EXPECT_TRUE(view_->perspective());
  EXPECT_TRUE(action("Perspective")->isChecked());
  expectFitted();
  press(Qt::Key_P);
  EXPECT_FALSE(view_->perspective());
  // Zoomed far in, fit all brings the whole part back.
  for (int i = 0; i < 20; ++i) {
    QWheelEvent wheel(QPointF(50, 50), view_->mapToGlobal(QPointF(50, 50)), QPoint(),
                      QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view_, &wheel);
  }
  EXPECT_FALSE(view_->rect().contains(view_->pixelOf(0, 0, 0)));
  action("Fit all")->trigger();
  expectFitted();
  view_->repaint();
  ws_->mainWindowWidget().grab().save(ARTIFACT_DIR "/workstation_view_commands.png");
}

TEST_F(ViewCommandsTest, TheIsometricPictureIsTheShadedViewAloneFitted) {
  press(Qt::Key_1);
  const std::string path = ARTIFACT_DIR "/workstation_isometric_view.png";
  std::string error;
  ASSERT_TRUE(ws_->saveIsometricView(document_, path, error)) << error;
  const double k = 1 / std::sqrt(3.0);
  expectLooking(-k, k, -k);
  expectFitted();
  const QImage image(QString::fromStdString(path));
  ASSERT_FALSE(image.isNull());
  // The view alone, not the window with its tree and toolbars.
  EXPECT_EQ(image.size(), view_->size());
  // The upright's front face (y = 0, between its bores) shows the body's blue over the
  // background.
  const QColor background = image.pixelColor(2, 2);
  const QColor flange = image.pixelColor(view_->pixelOf(60, 0, 30));
  EXPECT_NE(flange, background);
  EXPECT_GT(flange.blue(), flange.red() + 40);
  EXPECT_FALSE(ws_->saveIsometricView(document_, ARTIFACT_DIR "/no/such/dir/x.png", error));
  EXPECT_EQ(error, "cannot write the PNG file " ARTIFACT_DIR "/no/such/dir/x.png");
}

}  // namespace
}  // namespace workstation::testing
