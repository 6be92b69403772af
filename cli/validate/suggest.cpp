#include "validate/suggest.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace kestrun_validate {

namespace {

std::string lower(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Words front ends write for what the core calls otherwise; each maps to every key or
// value it may stand for, the first that the context accepts wins.
const std::multimap<std::string, std::string>& synonyms() {
  static const std::multimap<std::string, std::string> table = {
      {"height", "n1Height"},
      {"length", "n1Height"},
      {"distance", "n1Height"},
      {"extent", "n1Height"},
      {"depth", "n1Height"},
      {"depth", "depth"},
      {"height2", "n2Height"},
      {"length2", "n2Height"},
      {"radius", "diameter"},
      {"r", "radius"},
      {"d", "diameter"},
      {"diameter", "radius"},
      {"sketch", "sketchId"},
      {"sketch", "sketches"},
      {"profile", "sketchId"},
      {"profileid", "sketchId"},
      {"edges", "filletTopos"},
      {"edges", "chamferTopos"},
      {"faces", "shellFaces"},
      {"faces", "draftFaces"},
      {"items", "flatNode"},
      {"nodes", "flatNode"},
      {"features", "flatNode"},
      {"union", "add"},
      {"fuse", "add"},
      {"join", "add"},
      {"subtract", "remove"},
      {"cut", "remove"},
      {"difference", "remove"},
      {"intersect", "common"},
      {"intersection", "common"},
      {"pad", "extrude"},
      {"pocket", "extrude"},
      {"boss", "extrude"},
      {"cut", "extrude"},
      {"extrusion", "extrude"},
      {"revolve", "rotate"},
      {"revolution", "rotate"},
      {"shaft", "rotate"},
      {"rib", "sweep"},
      {"pattern", "linearArray"},
      {"rectarray", "linearArray"},
      {"lineararray", "linearArray"},
      {"linearpattern", "linearArray"},
      {"circularpattern", "polarArray"},
      {"circulararray", "polarArray"},
      {"mirror", "mirrorFeature"},
      {"countersink", "chamferedHole"},
      {"countersunk", "chamferedHole"},
      {"tapered", "taperedHole"},
      {"counterbored", "counterbore"},
      {"thick", "thickness"},
      {"count", "itemNumber"},
      {"number", "itemNumber"},
      {"instances", "itemNumber"},
      {"spacing", "distance"},
      {"polyline", "line"},
      {"segment", "line"},
      {"point", "vertex"},
      {"ellipsearc", "ellipseArc"},
      {"bspline", "spline"},
      {"center", "center"},
      {"centre", "center"},
      {"colour", "color"},
      {"bodycolours", "bodyColors"},
      {"plane", "matrix"},
      {"transform", "matrix"},
      {"placement", "matrix"},
      {"operation", "boolType"},
      {"boolean", "boolType"},
      {"op", "boolType"},
      {"rectangle", "line"},
      {"rect", "line"},
      {"polygon", "line"},
      {"curves", "geometries"},
      {"entities", "geometries"},
      {"elements", "geometries"},
  };
  return table;
}

bool contains(const std::vector<std::string>& words, const std::string& word) {
  return std::find(words.begin(), words.end(), word) != words.end();
}

}  // namespace

std::size_t editDistance(const std::string& a, const std::string& b) {
  const std::string x = lower(a), y = lower(b);
  std::vector<std::size_t> row(y.size() + 1);
  for (std::size_t j = 0; j <= y.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= x.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= y.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (x[i - 1] == y[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[y.size()];
}

std::string nearest(const std::string& word, const std::vector<std::string>& candidates) {
  if (word.empty() || candidates.empty()) return {};
  const std::string key = lower(word);
  for (const std::string& c : candidates) {
    if (lower(c) == key) return c;
  }
  auto range = synonyms().equal_range(key);
  for (auto it = range.first; it != range.second; ++it) {
    if (contains(candidates, it->second) && it->second != word) return it->second;
  }
  const std::size_t limit = std::min<std::size_t>(3, std::max<std::size_t>(1, word.size() / 3));
  std::string best;
  std::size_t bestDistance = limit + 1;
  for (const std::string& c : candidates) {
    const std::size_t d = editDistance(word, c);
    if (d < bestDistance) {
      best = c;
      bestDistance = d;
    }
  }
  return best;
}

std::string didYouMean(const std::string& word) {
  return "did you mean \"" + word + "\"?";
}

}  // namespace kestrun_validate
