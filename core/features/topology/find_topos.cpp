#include "features/topology/find_topos.h"

#include <map>
#include <string>
#include <vector>

#include "features/topology/topo_descriptor.h"
#include "features/topology/topo_match.h"
#include "features/writer/feature_ids.h"
#include "features/writer/feature_writer.h"
#include "features/writer/writer_services.h"
#include "host/topology.h"
#include "log/core_log.h"
#include "partjson/part_document.h"

namespace kestrun {

namespace {

struct Descriptor {
  std::size_t index = 0;  // in the descriptor array
  const rapidjson::Value* json = nullptr;
  std::string id, topoType, type;
  bool matched = false;
  BoxHint hint;
};

struct Counts {
  int faces = 0, edges = 0, matchedFaces = 0, matchedEdges = 0;
  bool done() const { return matchedFaces >= faces && matchedEdges >= edges; }
};

// One pass of findTopos over the descriptors.
class TopoSearch {
 public:
  TopoSearch(const FeatureWriter& writer, bool strict, const FindToposOptions& options)
      : writer_(writer), strict_(strict), options_(options) {}

  bool run(const rapidjson::Value& descriptors);
  host::SpecObjectList& found() { return found_; }

 private:
  void count(const rapidjson::Value& descriptors);
  void searchWriter(Writer& writer);
  void searchCell(Writer& writer, const std::shared_ptr<host::Unknown>& cell, std::size_t j,
                  Counts& counts);
  void matchFaces(Writer& writer, host::Face& face, const std::shared_ptr<host::Unknown>& cell,
                  const std::string& where, Counts& counts);
  void matchEdges(Writer& writer, host::FaceCell& faceCell, const std::string& where,
                  Counts& counts);
  void matchEdge(Writer& writer, host::Edge& edge, const std::shared_ptr<host::Unknown>& cell,
                 const std::string& where, Counts& counts);
  void append(const std::shared_ptr<host::Unknown>& cell, std::size_t i, const char* what);
  void atLevel(int level, const std::string& line) const;

  const FeatureWriter& writer_;
  bool strict_;
  FindToposOptions options_;
  std::vector<Descriptor> descriptors_;
  std::vector<std::string> ids_;
  std::map<std::string, Counts> counts_;
  host::SpecObjectList found_;
  bool retry_ = false;
  // The descriptors of the writer being searched, by kind.
  std::vector<std::size_t> faceCandidates_, edgeCandidates_;
};

void TopoSearch::atLevel(int level, const std::string& line) const {
  if (writer_.sharedState().verbosity >= level) logOut(line);
}

void TopoSearch::count(const rapidjson::Value& descriptors) {
  for (rapidjson::SizeType index = 0; index < descriptors.Size(); ++index) {
    const rapidjson::Value& value = descriptors[index];
    if (!value.IsObject()) continue;
    Descriptor d;
    d.index = index;
    d.json = &value;
    d.id = descriptorFeatureId(value);
    d.topoType = stringOf(value, "topoType");
    d.type = stringOf(value, "type");
    if (!d.id.empty() && !d.topoType.empty() && !d.type.empty()) {
      auto [entry, added] = counts_.try_emplace(d.id);
      if (added) ids_.push_back(d.id);
      if (isEdgeKind(d.type)) {
        ++entry->second.edges;
      } else if (isFaceKind(d.type)) {
        ++entry->second.faces;
      } else {
        logOut("warn: unsupported geoType " + d.type);
      }
    }
    if (options_.useBoxes)
      d.hint = d.topoType == "edge" ? edgeHint(value) : faceHint(value, strict_);
    descriptors_.push_back(std::move(d));
  }
}

bool TopoSearch::run(const rapidjson::Value& descriptors) {
  count(descriptors);
  std::vector<Writer*> writers = resolveWriters(*writer_.registry(), ids_);
  writer_.debug("debug: findTopos ids size = " + std::to_string(ids_.size()) +
                ", entities size = " + std::to_string(writers.size()));
  for (Writer* writer : writers) {
    if (writer->feature()) searchWriter(*writer);
  }
  return retry_;
}

void TopoSearch::searchWriter(Writer& writer) {
  const std::string& id = writer.id();
  writer_.debug("debug: findTopos processing " + writer.name() + ", id = " + id);
  writer_.debug(aliasLine(writer.feature()));
  auto geometry = host::query<host::FeatureGeometry>(writer.feature());
  atLevel(5, "debug: QueryInterface CATIMfGeometryAccess rc = " +
                 std::to_string(geometry ? host::kOk : host::kNoInterface));
  if (!geometry) {
    logOut("error: QueryInterface CATIMfGeometryAccess failed, featureId = " + id);
    return;
  }
  auto cells = geometry->boundaryCells();
  writer_.debug("debug: GetBReps from CATIMfGeometryAccess size = " + std::to_string(cells.size()));
  Counts& counts = counts_[id];
  faceCandidates_.clear();
  edgeCandidates_.clear();
  for (std::size_t i = 0; i < descriptors_.size(); ++i) {
    const Descriptor& d = descriptors_[i];
    if (d.id != id) continue;
    if (d.topoType == "face" && d.type == "plane") faceCandidates_.push_back(i);
    if (d.topoType == "edge") edgeCandidates_.push_back(i);
  }
  for (std::size_t j = 0; j < cells.size() && !counts.done(); ++j)
    searchCell(writer, cells[j], j + 1, counts);
  if (counts.matchedFaces != counts.faces) {
    logOut("warn: findTopos from feature " + writer.name() +
           " expected face count = " + std::to_string(counts.faces) +
           ", selected face count = " + std::to_string(counts.matchedFaces));
    if (strict_) retry_ = true;
  }
  if (counts.matchedEdges != counts.edges) {
    logOut("warn: findTopos from feature " + writer.name() +
           " expected edge count = " + std::to_string(counts.edges) +
           ", selected edge count = " + std::to_string(counts.matchedEdges));
    if (strict_) retry_ = true;
  }
}

void TopoSearch::searchCell(Writer& writer, const std::shared_ptr<host::Unknown>& cell,
                            std::size_t j, Counts& counts) {
  auto faceCell = host::query<host::FaceCell>(cell);
  if (!faceCell) {
    logOut("error: face(" + std::to_string(j) + ") " +
           "QueryInterface CATIRSur failed, featureId = " + writer.id());
    return;
  }
  auto faces = faceCell->faces();
  std::string size = "debug: spFace GetFaces size = " + std::to_string(faces.size());
  if (faces.size() != 1)
    logOut(size);
  else
    atLevel(4, size);
  for (std::size_t k = 0; k < faces.size() && !counts.done(); ++k) {
    if (!faces[k]) continue;
    std::string where = std::to_string(j) + "-" + std::to_string(k + 1);
    if (counts.matchedFaces < counts.faces) matchFaces(writer, *faces[k], cell, where, counts);
    if (counts.matchedEdges < counts.edges) matchEdges(writer, *faceCell, where, counts);
  }
}

void TopoSearch::matchFaces(Writer& writer, host::Face& face,
                            const std::shared_ptr<host::Unknown>& cell, const std::string& where,
                            Counts& counts) {
  host::Box3 box = options_.useBoxes ? face.box() : host::Box3();
  for (std::size_t c = 0; c < faceCandidates_.size() && counts.matchedFaces < counts.faces; ++c) {
    std::size_t i = faceCandidates_[c];
    Descriptor& d = descriptors_[i];
    if (d.matched) continue;
    if (options_.useBoxes && !mayMatch(box, d.hint)) continue;
    if (!planeMatches(face, *d.json, strict_)) continue;
    writer_.debug("debug: findTopo[" + std::to_string(d.index) + "], " + writer.name() + " " +
                  d.topoType + " " + d.type + ", face(" + where + ")");
    append(cell, i, "face");
    ++counts.matchedFaces;
  }
}

void TopoSearch::matchEdges(Writer& writer, host::FaceCell& faceCell, const std::string& where,
                            Counts& counts) {
  auto edgeCells = faceCell.edgeCells();
  writer_.debug("debug: spFace GetBReps with CATMmiEdge size = " +
                std::to_string(edgeCells.size()));
  for (std::size_t e = 0; e < edgeCells.size() && counts.matchedEdges < counts.edges; ++e) {
    auto edgeCell = host::query<host::EdgeCell>(edgeCells[e]);
    atLevel(5, "debug:" + std::string(" face(") + where + ")" + ", edge(" + std::to_string(e + 1) +
                   ")" + " QueryInterface IID_CATIREdge rc = " +
                   std::to_string(edgeCell ? host::kOk : host::kNoInterface));
    if (!edgeCell) continue;
    auto edges = edgeCell->edges();
    std::string size = "debug: spEdge GetEdges size = " + std::to_string(edges.size());
    if (edges.size() != 1)
      logOut(size);
    else
      atLevel(4, size);
    std::string at = where + "), edge(" + std::to_string(e + 1);
    for (const auto& edge : edges) {
      if (!edge) {
        logOut("warning: edge is NULL");
        continue;
      }
      matchEdge(writer, *edge, edgeCells[e], at, counts);
    }
  }
}

void TopoSearch::matchEdge(Writer& writer, host::Edge& edge,
                           const std::shared_ptr<host::Unknown>& cell, const std::string& where,
                           Counts& counts) {
  TopoLog warn = [](const std::string& line) { logOut(line); };
  host::Box3 box = options_.useBoxes ? edge.box() : host::Box3();
  for (std::size_t c = 0; c < edgeCandidates_.size() && counts.matchedEdges < counts.edges; ++c) {
    std::size_t i = edgeCandidates_[c];
    Descriptor& d = descriptors_[i];
    if (d.matched) continue;
    if (options_.useBoxes && !mayMatch(box, d.hint)) continue;
    if (!edgeMatches(edge, *d.json, warn)) continue;
    writer_.debug("debug: findTopo[" + std::to_string(d.index) + "], " + writer.name() + " " +
                  d.topoType + " " + d.type + ", face(" + where + ")");
    append(cell, i, "edge");
    ++counts.matchedEdges;
  }
}

void TopoSearch::append(const std::shared_ptr<host::Unknown>& cell, std::size_t i,
                        const char* what) {
  auto featurize = host::query<host::Featurize>(cell);
  atLevel(5, "debug: QueryInterface IID_CATIFeaturize rc = " +
                 std::to_string(featurize ? host::kOk : host::kNoInterface));
  host::SpecObjectPtr reference = featurize ? featurize->featurize() : nullptr;
  if (!reference) return;
  found_.push_back(reference);
  descriptors_[i].matched = true;
  writer_.debug("debug: findTopo[" + std::to_string(descriptors_[i].index) + "] " + "append " +
                what + "\n");
}

bool nonEmptyArray(const rapidjson::Value& value) {
  return value.IsArray() && !value.Empty();
}

}  // namespace

host::SpecObjectList findTopos(const FeatureWriter& writer, const rapidjson::Value& descriptors,
                               bool isStrictPoint, const FindToposOptions& options) {
  if (!nonEmptyArray(descriptors)) {
    if (writer.sharedState().verbosity >= 1)
      logOut("error: findTopos invalid or missing json reference");
    return {};
  }
  if (!writer.sharedState().brepFactory || !writer.registry()) {
    logOut("error: findTopos BRepFactory is null");
    return {};
  }
  TopoSearch search(writer, isStrictPoint, options);
  if (search.run(descriptors)) {
    logOut("warn: --------------findTopos (isStrictPoint = true)" + std::string(", count1 = ") +
           std::to_string(2) + ", findTopos (isStrictPoint = false) again");
    return findTopos(writer, descriptors, false, options);
  }
  return std::move(search.found());
}

namespace {

// `descriptor` with its feature id replaced by `id`, as a one-element array.
rapidjson::Document retargeted(const rapidjson::Value& descriptor, const std::string& id) {
  rapidjson::Document doc;
  doc.SetArray();
  auto& allocator = doc.GetAllocator();
  rapidjson::Value copy(descriptor, allocator);
  for (const char* key : {"featureId", "parent"}) {
    rapidjson::Value value(id.c_str(), static_cast<rapidjson::SizeType>(id.size()), allocator);
    auto it = copy.FindMember(key);
    if (it != copy.MemberEnd()) {
      it->value = value;
    } else {
      copy.AddMember(rapidjson::StringRef(key), value, allocator);
    }
  }
  doc.PushBack(copy, allocator);
  return doc;
}

std::vector<std::string> candidateIds(const FeatureWriter& writer, const std::string& own) {
  std::vector<std::string> ids{own};
  for (const auto& [id, registered] : *writer.registry()) {
    if (registered && id != own && !isSketchType(registered->type())) ids.push_back(id);
  }
  return ids;
}

}  // namespace

host::SpecObjectList findToposWithFeatureFallback(const FeatureWriter& writer,
                                                  const rapidjson::Value& descriptors) {
  host::SpecObjectList found;
  if (!nonEmptyArray(descriptors) || !writer.registry()) {
    if (writer.sharedState().verbosity >= 1)
      logOut("error: findToposWithFeatureFallback invalid or missing json reference");
    return found;
  }
  for (rapidjson::SizeType i = 0; i < descriptors.Size(); ++i) {
    const rapidjson::Value& descriptor = descriptors[i];
    if (!descriptor.IsObject()) continue;
    const std::string own = descriptorFeatureId(descriptor);
    bool matched = false;
    for (const std::string& candidate : candidateIds(writer, own)) {
      rapidjson::Document one = retargeted(descriptor, candidate);
      host::SpecObjectList refs = findTopos(writer, one, true);
      if (refs.empty()) continue;
      found.push_back(refs.front());
      if (candidate != own)
        writer.info("info: topology fallback matched featureId = " + candidate +
                    ", originalFeatureId = " + own + ", index = " + std::to_string(i));
      matched = true;
      break;
    }
    if (!matched)
      logOut("warn: topology fallback could not match index = " + std::to_string(i) +
             ", originalFeatureId = " + own);
  }
  return found;
}

}  // namespace kestrun
