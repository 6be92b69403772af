// The core linked against the in-memory null adapter alone, without occt_host: it
// reaches the Part through host/ and reports the first capability the adapter lacks.
#include <gtest/gtest.h>

#include <string>

#include "kestrun/kestrun.h"
#include "null_host.h"

namespace {

const std::string kJson = R"([{"type": "sketch", "id": "s1", "name": "S"}])";

MardelImportResult drawClearing() {
  auto document = null_host::newPartDocument();
  MardelImportOptions options{1, 1, 300.0, 500.0, nullptr, 0, 0};
  MardelImportResult result{};
  wenlow::ImportJsonToCatia(document.get(), reinterpret_cast<const unsigned char*>(kJson.data()),
                            kJson.size(), &options, &result);
  return result;
}

TEST(CoreOnNullHost, ClearingAPartWithoutDescendantsFailsWithItsMessage) {
  const MardelImportResult result = drawClearing();
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.errorCode, 100);
  EXPECT_STREQ(result.message, "CATIDescendants not available for Part clearing.");
}

}  // namespace
