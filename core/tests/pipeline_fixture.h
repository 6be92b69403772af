// Items run through the part pipeline, which is kept so that its writers can be read after
// the import.
#pragma once

#include <memory>
#include <string>

#include <rapidjson/document.h>
#include "entry/import_result.h"
#include "entry_fixture.h"
#include "features/writer/feature_writer.h"
#include "partjson/default_writers.h"
#include "partjson/part_import_pipeline.h"

class PipelineTest : public EntryTest {
 protected:
  int32_t run(const std::string& items) {
    json.Parse(("{\"flatNode\":[" + items + "]}").c_str());
    EXPECT_FALSE(json.HasParseError()) << items;
    outcome = std::make_unique<kestrun::ImportResult>(&result);
    outcome->clear();
    pipeline = std::make_unique<kestrun::PartImportPipeline>(kestrun::defaultWriterFactory());
    ::testing::internal::CaptureStdout();
    int32_t status = 2;
    if (pipeline->attach(document.get(), *outcome) == 0) status = pipeline->import(json, *outcome);
    log = ::testing::internal::GetCapturedStdout();
    return status;
  }
  kestrun::FeatureWriter* writer(const std::string& id) {
    auto it = pipeline->writers().find(id);
    return it == pipeline->writers().end()
               ? nullptr
               : dynamic_cast<kestrun::FeatureWriter*>(it->second.get());
  }
  // A new Part for the next run.
  void fresh() { document = session.newDocument("Part"); }

  rapidjson::Document json;
  std::unique_ptr<kestrun::ImportResult> outcome;
  std::unique_ptr<kestrun::PartImportPipeline> pipeline;
};
