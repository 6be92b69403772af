// What the pattern and mirror handlers share: their sources, the object each source
// stands for, instance counts read safely, and the lines they log.
#pragma once

#include <string>
#include <vector>

#include <rapidjson/document.h>

#include "features/writer/feature_writer.h"
#include "host/pattern.h"

namespace kestrun {

// The "features" of the item as feature writers (a writer with children stands for its
// children), the item's own writer left out. Logs a missing list and, at debug verbosity,
// "debug: findEntities size = " + n.
std::vector<FeatureWriter*> patternSources(FeatureWriter& writer, const rapidjson::Value& item);

// What a pattern or mirror copies for `source`: the feature before its boolean when it
// has one (a pad before the add that merged its body), else its feature.
host::SpecObjectPtr patternedObject(const FeatureWriter& source);

// An instance count ("itemNumber", "itemNumber2"): 1 when absent or not a finite number;
// clamped far beyond the instance cap so that the arithmetic on it stays exact.
long long readCount(const rapidjson::Value& item, const char* key);

// The line of an item whose instances would exceed host::kMaxPatternInstances; empty
// when `instances` is within it.
std::string overCapLine(const FeatureWriter& writer, double instances);

// Lines written at verbosity 4 and above.
void trace(const FeatureWriter& writer, const std::string& line);

// "debug: <what> cur feature " / "cur tool " with the alias lines, at verbosity 4.
void traceCurrent(const FeatureWriter& writer, const std::string& what);

// "debug: <what> reset curFeature = " / "reset curTool = " with the alias lines, at
// verbosity 4.
void traceReset(const FeatureWriter& writer, const std::string& what);

// The axis line of `key` when the item has it as an object: stored in the geometrical
// set and named `alias`. Null otherwise.
host::SpecObjectPtr itemAxisLine(FeatureWriter& writer, const rapidjson::Value& item,
                                 const char* key, const std::string& alias);

// The text of a number as the log lines print it.
std::string numberText(double value);

}  // namespace kestrun
