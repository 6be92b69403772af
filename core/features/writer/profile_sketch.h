// Profile and section sketches of feature items: resolving ids through writers that
// hold sub-writers, creating sketches not made yet, and making a profile current so
// that the new feature still lands in the body parseJson chose.
#pragma once

#include <string>
#include <vector>

#include "partjson/writer.h"

namespace kestrun {

class FeatureWriter;

// The writers of `ids`, a feature writer with child writers replaced by its children,
// recursively, in order.
std::vector<Writer*> expandedWriters(const FeatureWriter& writer,
                                     const std::vector<std::string>& ids);
// The first of them, or null.
Writer* firstExpandedWriter(const FeatureWriter& writer, const std::vector<std::string>& ids);

// The writer's sketch, made now by its sketch writer when it does not exist yet.
host::SpecObjectPtr ensureSketch(Writer* writer);

// Makes `sketch` the Part's current feature. The sketch sits in the body that was
// current when it was drawn; a feature that combines later ("new", "remove", ...)
// belongs in the body made for this item, so that body is made current after it.
void makeProfileCurrent(FeatureWriter& writer, const host::SpecObjectPtr& sketch,
                        const host::SpecObjectPtr& body);

}  // namespace kestrun
