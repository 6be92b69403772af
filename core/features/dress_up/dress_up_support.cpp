#include "features/dress_up/dress_up_support.h"

#include <sstream>

#include "features/writer/feature_writer.h"
#include "features/writer/update_service.h"
#include "log/core_log.h"
#include "partjson/json_members.h"
#include "text/number_text.h"

namespace kestrun {

std::shared_ptr<host::DressUpFactory> dressUpFactory(const FeatureWriter& writer) {
  auto factory = host::query<host::DressUpFactory>(writer.sharedState().container);
  if (!factory) logOut("error: the part factory is not available, name = " + writer.name());
  return factory;
}

double numberOr(const rapidjson::Value& item, const char* key, double fallback) {
  double value = 0;
  return numberMember(item, key, value) ? value : fallback;
}

const rapidjson::Value& memberOrNull(const rapidjson::Value& item, const char* key) {
  static const rapidjson::Value kNull;
  const rapidjson::Value* value = member(item, key);
  return value ? *value : kNull;
}

std::size_t arrayLength(const rapidjson::Value& value) {
  return value.IsArray() ? value.Size() : 0;
}

FeatureOutcome updateAndMakeCurrent(const FeatureWriter& writer,
                                    const host::SpecObjectPtr& feature) {
  host::Status status = updateFeature(feature).status;
  if (writer.sharedState().part) writer.sharedState().part->setCurrentFeature(feature);
  return FeatureOutcome::built(feature, status);
}

}  // namespace kestrun
