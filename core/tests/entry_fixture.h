// A live Open CASCADE session with one Part document shown in a window.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "host/document.h"
#include "host/part.h"
#include "host/spec_object.h"
#include "kestrun/kestrun.h"
#include "occt_host/session/session.h"
#include "occt_host/session/viewer.h"
#include "step_measure.h"

class EntryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    document = session.newDocument("Part");
    window = session.openWindow(document);
  }

  int32_t draw(const std::string& json, const MardelImportOptions* options = nullptr) {
    return drawInto(document.get(), json, options);
  }
  int32_t drawInto(host::Document* doc, const std::string& json,
                   const MardelImportOptions* options = nullptr) {
    return MardelImport_DrawJson(doc, reinterpret_cast<const unsigned char*>(json.data()),
                                 json.size(), options, &result);
  }
  // Draws a list of items, keeping what the core logged.
  int32_t drawItems(const std::string& items) {
    ::testing::internal::CaptureStdout();
    const int32_t status = draw("{\"flatNode\":[" + items + "]}");
    log = ::testing::internal::GetCapturedStdout();
    return status;
  }
  bool logged(const std::string& text) const { return log.find(text) != std::string::npos; }

  // Everything in the Part, and what of it has a host type or an alias.
  host::SpecObjectList everything() {
    auto roots = document->query<host::DocumentRoots>();
    auto container =
        host::query<host::PartContainer>(roots->rootContainer(host::kPartContainerType));
    return host::query<host::Descendants>(container->part())->allDescendants();
  }
  int countOfType(const std::string& type) {
    int count = 0;
    for (const auto& object : everything()) count += object->typeName() == type;
    return count;
  }
  bool hasAlias(const std::string& name) {
    for (const auto& object : everything()) {
      auto alias = host::query<host::Alias>(object);
      if (alias && alias->alias() == name) return true;
    }
    return false;
  }

  // Writes the document as STEP and reads it back with an independent reader.
  StepMeasure exported();

  static MardelImportOptions defaults() { return {0, 1, 300.0, 500.0, nullptr, 0, 0}; }
  static double cylinderVolume(double r, double h) { return M_PI * r * r * h; }

  occt_host::Session session;
  std::shared_ptr<host::Document> document;
  std::shared_ptr<host::Window> window;
  MardelImportResult result{};
  std::string log;
};

// Relative comparison for measured volumes.
#define EXPECT_REL_NEAR(actual, expected, rel) \
  EXPECT_NEAR((actual), (expected), std::fabs(expected) * (rel))
