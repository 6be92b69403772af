#include "features/pattern/pattern.h"

#include <gp_Ax1.hxx>
#include <gp_Vec.hxx>

#include <cmath>
#include <stdexcept>
#include <string>

#include "features/pattern/feature_copies.h"
#include "host/interface_table.h"
#include "occt_host/model/body.h"
#include "occt_host/model/line_feature.h"

namespace occt_host {

namespace {

// The unit direction of a line feature and its start; false for anything else.
bool lineOf(const host::SpecObjectPtr& object, gp_Pnt& from, gp_Dir& direction) {
  auto line = std::dynamic_pointer_cast<LineFeature>(object);
  if (!line) return false;
  const gp_Vec along(line->from(), line->to());
  if (!(along.Magnitude() > 1e-9)) return false;
  from = line->from();
  direction = gp_Dir(along);
  return true;
}

// Beyond a kilometre from the source the kernel's fixed precision no longer holds.
constexpr double kLargestSpan = 1e6;

bool spanAllowed(double distance, long long count) {
  return std::isfinite(distance) &&
         std::fabs(distance) * static_cast<double>(count - 1) <= kLargestSpan;
}

bool countsAllowed(long long count1, long long count2) {
  if (count1 < 1 || count2 < 1) return false;
  if (count1 > host::kMaxPatternInstances || count2 > host::kMaxPatternInstances) return false;
  return count1 * count2 <= host::kMaxPatternInstances;
}

}  // namespace

PatternFeature::PatternFeature(std::string type, std::string name,
                               const host::SpecObjectPtr& object, std::vector<gp_Trsf> moves)
    : SolidFeature(std::move(type), std::move(name)), object_(object), moves_(std::move(moves)) {}

std::vector<TopoDS_Shape> PatternFeature::copiesOf(const std::vector<TopoDS_Shape>& shapes) const {
  const double count = static_cast<double>(shapes.size()) * static_cast<double>(moves_.size());
  if (count > static_cast<double>(host::kMaxPatternInstances))
    throw std::runtime_error(name() + ": " + std::to_string(static_cast<long long>(count)) +
                             " copies, more than the " +
                             std::to_string(host::kMaxPatternInstances) + " one pattern may make");
  std::vector<TopoDS_Shape> copies;
  copies.reserve(static_cast<std::size_t>(count));
  for (const gp_Trsf& move : moves_) {
    for (const TopoDS_Shape& shape : shapes) copies.push_back(placedCopy(shape, move));
  }
  return copies;
}

bool PatternFeature::contribution(Contribution& out) {
  auto feature = std::dynamic_pointer_cast<SolidFeature>(object_.lock());
  Contribution source;
  if (!feature || feature.get() == this || !feature->contribution(source)) return false;
  std::vector<TopoDS_Shape> copies = copiesOf(source.shapes);
  out = std::move(source);
  out.shapes.insert(out.shapes.end(), copies.begin(), copies.end());
  return true;
}

TopoDS_Shape PatternFeature::build(const TopoDS_Shape& before) {
  const CopySource source = copySourceOf(object_.lock(), *this, before);
  const std::vector<TopoDS_Shape> copies = copiesOf(source.shapes);
  FeatureHistory history;
  TopoDS_Shape shape = source.adds ? combineCopies(before, copies, {}, name(), history)
                                   : combineCopies(before, {}, copies, name(), history);
  publishHistory(std::move(history));
  publishCopies(source.shapes, copies);
  return shape;
}

// A body patterned from elsewhere changes without touching this body.
std::uint64_t PatternFeature::inputRevision() const {
  auto body = std::dynamic_pointer_cast<Body>(object_.lock());
  if (!body || isWithin(body.get())) return 0;
  return body->solidStamp();
}

void* RectPatternFeature::findInterface(host::InterfaceId id) {
  if (void* found = host::answerAs<host::RectPattern>(this, id)) return found;
  return PatternFeature::findInterface(id);
}

void* CircPatternFeature::findInterface(host::InterfaceId id) {
  if (void* found = host::answerAs<host::CircPattern>(this, id)) return found;
  return PatternFeature::findInterface(id);
}

bool rectPatternMoves(const host::RectPatternParams& p, std::vector<gp_Trsf>& out) {
  const long long count2 = p.secondDirection ? p.count2 : 1;
  const long long position2 = p.secondDirection ? p.position2 : 1;
  if (!countsAllowed(p.count1, count2)) return false;
  if (p.position1 < 1 || p.position1 > p.count1 || position2 < 1 || position2 > count2)
    return false;
  if (!spanAllowed(p.distance1, p.count1) || !spanAllowed(p.distance2, count2)) return false;
  gp_Pnt origin;
  gp_Dir d1, d2;
  if (!lineOf(p.direction1, origin, d1)) return false;
  if (p.secondDirection && count2 > 1 && !lineOf(p.direction2, origin, d2)) return false;
  out.clear();
  out.reserve(static_cast<std::size_t>(p.count1 * count2 - 1));
  for (long long j = 1; j <= count2; ++j) {
    for (long long i = 1; i <= p.count1; ++i) {
      if (i == p.position1 && j == position2) continue;
      gp_Vec offset = gp_Vec(d1) * (static_cast<double>(i - p.position1) * p.distance1);
      if (j != position2) offset += gp_Vec(d2) * (static_cast<double>(j - position2) * p.distance2);
      gp_Trsf move;
      move.SetTranslation(offset);
      out.push_back(move);
    }
  }
  return true;
}

bool circPatternMoves(const host::CircPatternParams& p, std::vector<gp_Trsf>& out) {
  if (!countsAllowed(p.count, 1) || !std::isfinite(p.stepDegrees)) return false;
  gp_Pnt origin;
  gp_Dir axis;
  if (!lineOf(p.axis, origin, axis)) return false;
  const double step = p.stepDegrees * M_PI / 180.0 * (p.clockwise ? -1.0 : 1.0);
  out.clear();
  out.reserve(static_cast<std::size_t>(p.count - 1));
  for (long long k = 1; k < p.count; ++k) {
    gp_Trsf turn;
    turn.SetRotation(gp_Ax1(origin, axis), static_cast<double>(k) * step);
    out.push_back(turn);
  }
  return true;
}

}  // namespace occt_host
