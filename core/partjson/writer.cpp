#include "partjson/writer.h"

#include "partjson/part_document.h"

namespace kestrun {

void Writer::initFromJson(const rapidjson::Value& item) {
  if (const rapidjson::Value* v = stringMember(item, "id")) id_ = std::string(stringView(*v));
  if (const rapidjson::Value* v = stringMember(item, "name")) name_ = std::string(stringView(*v));
  if (const rapidjson::Value* v = stringMember(item, "type")) type_ = std::string(stringView(*v));
}

}  // namespace kestrun
