#include "partjson/default_writers.h"

#include "features/writer/feature_writer.h"
#include "sketch/sketch_writer.h"

namespace kestrun {

WriterFactory defaultWriterFactory() {
  return [](bool sketch, WriterRegistry* registry) -> std::unique_ptr<Writer> {
    if (sketch) return std::make_unique<SketchWriter>();
    return std::make_unique<FeatureWriter>(registry);
  };
}

}  // namespace kestrun
