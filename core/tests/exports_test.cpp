// The shared module exposes exactly its entry points, bound by name as callers do.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "kestrun/kestrun.h"

namespace {

TEST(Exports, EntryPointsBindByNameAndNothingElseLeaks) {
  void* module = dlopen(KESTRUN_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr) << dlerror();
  auto draw = reinterpret_cast<MardelImport_DrawJsonFn>(dlsym(module, "MardelImport_DrawJson"));
  EXPECT_NE(draw, nullptr);
  EXPECT_NE(dlsym(module,
                  "_ZN6wenlow17ImportJsonToCatiaEPN4host8DocumentEPKhmPK19MardelImportOpti"
                  "onsP18MardelImportResult"),
            nullptr);
  EXPECT_EQ(dlsym(module, "_ZN7kestrun8BusyFlag7tryTakeEv"), nullptr);
  // Without a document the entry refuses cleanly through the bound pointer.
  MardelImportResult result{};
  EXPECT_EQ(draw(nullptr, nullptr, 0, nullptr, &result), 2);
  EXPECT_STREQ(result.message, "drawingDocument is required.");
  dlclose(module);
}

}  // namespace
