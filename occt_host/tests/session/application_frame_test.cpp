#include <gtest/gtest.h>

#include "host/application.h"
#include "host/document.h"
#include "host/environment.h"
#include "occt_host/session/application_frame.h"
#include "occt_host/session/session.h"

namespace occt_host {
namespace {

std::shared_ptr<host::Editor> editorOf(const std::shared_ptr<host::Document>& document) {
  auto editors = host::query<host::DocumentEditor>(document);
  return editors ? editors->editor() : nullptr;
}

TEST(ApplicationFrameTest, ReachedThroughTheEnvironment) {
  Session session;
  auto application = host::environment()->application();
  ASSERT_TRUE(application);
  EXPECT_TRUE(host::sameObject(application, session.application()));
  EXPECT_FALSE(application->currentEditor());
  EXPECT_TRUE(application->editors().empty());
}

TEST(ApplicationFrameTest, OpeningAWindowMakesItsEditorCurrent) {
  Session session;
  auto part = session.newDocument("Part");
  auto application = session.application();
  EXPECT_FALSE(application->currentEditor());
  session.openWindow(part);
  EXPECT_TRUE(host::sameObject(application->currentEditor(), editorOf(part)));
  ASSERT_EQ(application->editors().size(), 1u);
  EXPECT_TRUE(host::sameObject(application->editors()[0]->document(), part));
}

TEST(ApplicationFrameTest, CurrentEditorOnlyFromThisSession) {
  Session session;
  auto part = session.newDocument("Part");
  auto product = session.newDocument("Product");
  auto application = session.application();
  EXPECT_EQ(application->setCurrentEditor(editorOf(product)), host::kOk);
  EXPECT_EQ(application->currentEditor()->document()->kind(), "Product");
  EXPECT_EQ(application->setCurrentEditor(nullptr), host::kPointer);
  Session other;
  auto foreign = other.newDocument("Part");
  EXPECT_EQ(application->setCurrentEditor(editorOf(foreign)), host::kInvalidArg);
  EXPECT_EQ(application->activateEditor(editorOf(foreign)), host::kInvalidArg);
  EXPECT_FALSE(application->createEditor(foreign));
  EXPECT_FALSE(application->createDefaultWindow(editorOf(foreign)));
  EXPECT_TRUE(host::sameObject(application->createEditor(part), editorOf(part)));
}

TEST(ApplicationFrameTest, NewDocumentWithoutAWindow) {
  Session session;
  auto application = session.application();
  std::shared_ptr<host::Document> document;
  EXPECT_EQ(application->newDocument("Product", document), host::kOk);
  ASSERT_TRUE(document);
  EXPECT_EQ(document->kind(), "Product");
  EXPECT_EQ(document->name(), "Product1");
  EXPECT_TRUE(session.layout()->windows().empty());
  EXPECT_FALSE(application->currentEditor());
  EXPECT_EQ(application->newDocument("Spreadsheet", document), host::kInvalidArg);
  EXPECT_FALSE(document);
}

TEST(ApplicationFrameTest, DefaultWindowJoinsTheLayoutAndTakesTheEditor) {
  Session session;
  auto application = session.application();
  auto first = session.openWindow(session.newDocument("Part"));
  std::shared_ptr<host::Document> document;
  ASSERT_EQ(application->newDocument("Part", document), host::kOk);
  auto editor = application->createEditor(document);
  ASSERT_TRUE(editor);
  auto window = application->createDefaultWindow(editor);
  ASSERT_TRUE(window);
  ASSERT_TRUE(window->viewer());
  auto layout = session.layout();
  ASSERT_EQ(layout->windows().size(), 2u);
  EXPECT_TRUE(host::sameObject(layout->currentWindow(), first));
  EXPECT_EQ(layout->setCurrentWindow(window), host::kOk);
  EXPECT_EQ(layout->setWindowEditor(window, editor), host::kOk);
  EXPECT_TRUE(host::sameObject(layout->currentWindow()->editor(), editor));
  EXPECT_EQ(application->setCurrentEditor(editor), host::kOk);
  EXPECT_EQ(application->activateEditor(editor), host::kOk);
  EXPECT_TRUE(host::sameObject(session.frame().activeEditor(), editor));
  EXPECT_EQ(layout->setWindowEditor(window, nullptr), host::kPointer);
}

TEST(ApplicationFrameTest, WindowEditorOnlyForWindowsOfTheLayout) {
  Session session;
  Session other;
  auto foreign = other.openWindow(other.newDocument("Part"));
  auto part = session.newDocument("Part");
  EXPECT_EQ(session.layout()->setWindowEditor(foreign, editorOf(part)), host::kInvalidArg);
}

TEST(ApplicationFrameTest, InteractiveSessionCreatesADocumentInACurrentWindow) {
  Session session;
  auto interactive = host::query<host::InteractiveSession>(session.application());
  ASSERT_TRUE(interactive);
  std::shared_ptr<host::DocumentEditor> created;
  EXPECT_EQ(interactive->newDocument("Part", created), host::kOk);
  ASSERT_TRUE(created);
  auto editor = created->editor();
  ASSERT_TRUE(editor);
  EXPECT_EQ(editor->document()->kind(), "Part");
  auto current = session.layout()->currentWindow();
  ASSERT_TRUE(current);
  EXPECT_TRUE(host::sameObject(current->editor(), editor));
  EXPECT_TRUE(current->viewer());
  EXPECT_TRUE(host::sameObject(session.application()->currentEditor(), editor));
  EXPECT_EQ(interactive->newDocument("Spreadsheet", created), host::kInvalidArg);
  EXPECT_FALSE(created);
}

TEST(ApplicationFrameTest, InteractiveSideCanBeAbsent) {
  Session session;
  session.frame().setInteractiveAvailable(false);
  EXPECT_FALSE(host::query<host::InteractiveSession>(session.application()));
  session.frame().setInteractiveAvailable(true);
  EXPECT_TRUE(host::query<host::InteractiveSession>(session.application()));
}

}  // namespace
}  // namespace occt_host
