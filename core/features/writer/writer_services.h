// Services that every writer shares: plane features, hidden reference objects,
// names and colours. Each logs its own failures and answers null or a status.
#pragma once

#include <string>

#include "host/values.h"
#include "partjson/writer.h"

namespace kestrun {

// Where saveRefObj puts an auxiliary object.
constexpr int kRefObjNowhere = 0;
constexpr int kRefObjFeatureTree = 1;
constexpr int kRefObjGeometricalSet = 2;

// A plane feature through the plane's origin, spanned by its two directions.
host::SpecObjectPtr createPlaneFeature(const SharedWriterState& state, const host::Plane& plane);

// The geometrical set that holds an import's reference objects, at the end of the Part.
host::SpecObjectPtr createReferenceSet(const SharedWriterState& state);

// Stores an auxiliary object out of the user's way: in the current body (mode 1) or the
// geometrical set for reference objects (mode 2), hidden and updated.
void saveRefObj(const SharedWriterState& state, const host::SpecObjectPtr& object, int mode,
                const std::string& name);

// Sets the user-visible name; `name` is JSON text (UTF-8, else the ANSI code page).
void setAlias(const host::SpecObjectPtr& object, const std::string& name);
// "alias = " followed by the object's alias, for the debug log.
std::string aliasLine(const host::SpecObjectPtr& object);

void setColor(const host::SpecObjectPtr& object, const host::Color& color);

}  // namespace kestrun
