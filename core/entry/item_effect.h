// Whether a built item did what it was asked: a cut that removed no material, a hole that
// drilled nothing. Measured only for a report that measures volumes, from volumes the
// report computes anyway.
#pragma once

#include <string>

#include <rapidjson/document.h>

#include "host/spec_object.h"

namespace kestrun {

// The volume of `body`'s solid just before `feature` in its history: that of the nearest
// earlier feature of the body. False when there is none or it cannot be measured.
bool volumeBefore(const host::SpecObjectPtr& body, const host::SpecObjectPtr& feature, double& mm3);

// Whether two measured volumes are those of one unchanged solid.
bool sameVolume(double before, double after);

// Why an item of `type` (with the JSON `item`) whose body's volume stayed `mm3` had no
// effect, in the document's terms.
std::string unchangedReason(const std::string& type, const rapidjson::Value* item, double mm3);

}  // namespace kestrun
