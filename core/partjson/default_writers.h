// The core's own writers: sketch items to SketchWriter, feature items to FeatureWriter.
#pragma once

#include "partjson/part_import_pipeline.h"

namespace kestrun {

WriterFactory defaultWriterFactory();

}  // namespace kestrun
