#include "features/hole/host_hole_support.h"

#include <algorithm>

#include "features/topology/find_topos.h"
#include "log/core_log.h"

namespace kestrun {

namespace {

rapidjson::Value triple(const host::Vec3& v, rapidjson::Document::AllocatorType& a) {
  rapidjson::Value out(rapidjson::kArrayType);
  out.PushBack(v.x, a).PushBack(v.y, a).PushBack(v.z, a);
  return out;
}

// [{"topoType": "face", "type": "plane", "featureId": id, "loc": point, "vDir": direction}]
rapidjson::Document faceDescriptor(const std::string& id, const host::Point3& point,
                                   const host::Vec3& direction) {
  rapidjson::Document doc(rapidjson::kArrayType);
  auto& a = doc.GetAllocator();
  rapidjson::Value face(rapidjson::kObjectType);
  face.AddMember("topoType", "face", a);
  face.AddMember("type", "plane", a);
  face.AddMember("featureId",
                 rapidjson::Value(id.c_str(), static_cast<rapidjson::SizeType>(id.size()), a), a);
  face.AddMember("loc", triple(point, a), a);
  face.AddMember("vDir", triple(direction, a), a);
  doc.PushBack(face, a);
  return doc;
}

host::SpecObjectPtr firstFaceOn(FeatureWriter& writer, const std::vector<std::string>& ids,
                                const host::Point3& point, const host::Vec3& direction,
                                std::string& matchedId) {
  for (const std::string& id : ids) {
    const host::SpecObjectList faces =
        findTopos(writer, faceDescriptor(id, point, direction), true);
    if (!faces.empty() && faces.front()) {
      matchedId = id;
      return faces.front();
    }
  }
  return nullptr;
}

}  // namespace

std::vector<host::SpecObjectPtr> findHoleSupports(FeatureWriter& writer, const HoleParams& p,
                                                  const std::vector<std::string>& targetIds) {
  std::vector<host::SpecObjectPtr> supports;
  if (!p.locations) return supports;
  // The fallback looks at every solid not already tried: a wrong target id is then mended
  // by the face itself rather than by repeating the same search.
  std::vector<std::string> others;
  for (const std::string& id : allSolidIds(*writer.registry())) {
    if (std::find(targetIds.begin(), targetIds.end(), id) == targetIds.end()) others.push_back(id);
  }
  for (rapidjson::SizeType i = 0; i < p.locations->Size(); ++i) {
    const std::string index = std::to_string(i);
    host::Point3 point;
    if (!resolveHoleLocation(*writer.registry(), (*p.locations)[i], point)) {
      logOut("warning: hole location cannot be resolved for support face, index = " + index);
      supports.push_back(nullptr);
      continue;
    }
    std::string id;
    host::SpecObjectPtr face = firstFaceOn(writer, targetIds, point, p.direction, id);
    if (!face) {
      face = firstFaceOn(writer, others, point, p.direction, id);
      if (face) {
        writer.info("info: hole support fallback matched featureId = " + id + ", index = " + index);
      } else {
        logOut("warning: hole support face not found, index = " + index);
      }
    }
    supports.push_back(face);
  }
  writer.debug("hole supportList size: " +
               std::to_string(std::count_if(supports.begin(), supports.end(),
                                            [](const host::SpecObjectPtr& s) { return !!s; })));
  return supports;
}

}  // namespace kestrun
