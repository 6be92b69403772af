// The one place where features are updated: a failure becomes a negative status
// with the host's diagnostic text, logged once.
#pragma once

#include "host/spec_object.h"

namespace kestrun {

// With `insertIntoLinearBody`, a feature that sits in an ordered geometrical set is
// inserted into its linear body after a successful update.
host::UpdateResult updateFeature(const host::SpecObjectPtr& feature,
                                 bool insertIntoLinearBody = false);

}  // namespace kestrun
