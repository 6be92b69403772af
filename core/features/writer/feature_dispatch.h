// The handler of each feature type, and the outcome value every handler returns.
//
// A handler builds its item's host feature and says what it did in a FeatureOutcome;
// FeatureWriter::apply takes the outcome in one place (feature, status, body, warning,
// the error line) and then finishes the item: alias, "new" placement or the boolean
// with earlier solids. A new handler is one file in core/features/:
//
//   FeatureOutcome filletHandler(FeatureWriter& writer, const rapidjson::Value& item,
//                                const host::SpecObjectPtr& previous,
//                                const host::SpecObjectPtr& body) {
//     host::SpecObjectPtr fillet = ...;
//     if (!fillet) return FeatureOutcome::none("error: the fillet could not be created");
//     return FeatureOutcome::built(fillet, updateFeature(fillet).status);
//   }
//
// declared in feature_handlers.h and named in the table of feature_dispatch.cpp.
#pragma once

#include <string>
#include <utility>

#include <rapidjson/document.h>

#include "host/spec_object.h"
#include "host/status.h"

namespace kestrun {

class FeatureWriter;

struct FeatureOutcome {
  // How the writer finishes a built feature.
  enum class Finish {
    Normal,         // by the item's bool type: "new" stands alone, others combine
    DirectCut,      // already cut into its target body by a pocket or through-bore
    SimpleHoleCut,  // already cut into its target body by the simple hole cutter
  };

  host::SpecObjectPtr feature;  // what the item produced; null when nothing
  host::Status status = host::kOk;
  // The item's warning. With no feature it means the item was skipped on purpose: the
  // item warns instead of failing.
  std::string warning;
  // The line that says why nothing (or something wrong) was built; the writer logs it.
  std::string error;
  host::SpecObjectPtr body;  // the body the feature now sits in; null keeps the writer's
  Finish finish = Finish::Normal;

  // A feature made, with the status of its update.
  static FeatureOutcome built(host::SpecObjectPtr feature, host::Status status = host::kOk) {
    FeatureOutcome out;
    out.feature = std::move(feature);
    out.status = status;
    return out;
  }
  // Nothing made; the writer reports the item's missing feature as a failure.
  static FeatureOutcome none(std::string error = {}) {
    FeatureOutcome out;
    out.error = std::move(error);
    return out;
  }
  // The host refused: the item fails with `status`.
  static FeatureOutcome failed(host::Status status, std::string error = {}) {
    FeatureOutcome out;
    out.status = status;
    out.error = std::move(error);
    return out;
  }
  // Nothing to build, on purpose: the item warns with `text` and does not fail.
  static FeatureOutcome skipped(std::string text) {
    FeatureOutcome out;
    out.warning = std::move(text);
    return out;
  }
};

using FeatureHandler = FeatureOutcome (*)(FeatureWriter& writer, const rapidjson::Value& item,
                                          const host::SpecObjectPtr& previous,
                                          const host::SpecObjectPtr& body);

// Null for a type that is not a feature type.
FeatureHandler handlerFor(const std::string& type);

}  // namespace kestrun
