#include "features/writer/feature_writer.h"

#include <exception>
#include <sstream>

#include "features/writer/feature_dispatch.h"
#include "features/writer/feature_ids.h"
#include "features/writer/update_service.h"
#include "features/writer/writer_services.h"
#include "host/wireframe.h"
#include "log/core_log.h"
#include "partjson/build_order.h"
#include "partjson/part_document.h"
#include "text/host_text.h"
#include "text/number_text.h"

namespace kestrun {

namespace {

bool isPatternOrMirror(const std::string& type) {
  return type == "linearArray" || type == "polarArray" || type == "mirrorFeature";
}

// Types whose feature modifies the body it sits in rather than standing on its own.
bool modifiesItsBody(const std::string& type) {
  return type == "hole" || type == "draft" || type == "shell" || type == "fillet" ||
         type == "chamfer" || isPatternOrMirror(type);
}

std::string phraseFor(BoolType boolType) {
  switch (boolType) {
    case BoolType::Add:
      return "be added after";
    case BoolType::Remove:
      return "be removed from";
    case BoolType::Common:
      return "common with";
    case BoolType::New:
      return "be new independently from";
    default:
      return "";
  }
}

}  // namespace

FeatureWriter::~FeatureWriter() {
  if (shared_.verbosity >= 6) logOut("debug: FeatureWriter destructed");
}

void FeatureWriter::debug(const std::string& line) const {
  if (shared_.verbosity >= 3) logOut(line);
}

void FeatureWriter::info(const std::string& line) const {
  if (shared_.verbosity >= 2) logOut(line);
}

void FeatureWriter::initFromJson(const rapidjson::Value& item) {
  Writer::initFromJson(item);
  debug("debug: initFromJson " + type_ + ", name = " + name_ + ", id = " + id_);
}

std::vector<Writer*> FeatureWriter::subWriters() const {
  std::vector<Writer*> writers;
  for (const auto& child : children_) writers.push_back(child.get());
  return writers;
}

std::unique_ptr<FeatureWriter> FeatureWriter::makeChild(const std::string& name) const {
  auto child = std::make_unique<FeatureWriter>(registry_);
  child->setSharedState(shared_);
  child->id_ = name;
  child->name_ = name;
  child->type_ = type_;
  child->parent_ = this;
  return child;
}

host::SpecObjectPtr FeatureWriter::getSpecObjBody() const {
  return isCombined(boolKind_) ? prtTool_ : specObj_;
}

void FeatureWriter::parseJson(const rapidjson::Value& item) {
  if (!shared_.part) {
    logOut("error: no Part to build " + type_ + ", name = " + name_ + ", id = " + id_);
    status_ = host::kFail;
    return;
  }
  if (boolType_.empty()) {
    if (const rapidjson::Value* v = stringMember(item, "boolType"))
      setBoolType(std::string(stringView(*v)));
  }
  host::SpecObjectPtr previous = shared_.part->currentFeature();
  debug("debug: cur feature " + aliasLine(previous));
  debug("debug: cur tool " + aliasLine(shared_.part->currentTool()));
  debug("debug: boolType = " + boolType_);
  const std::vector<FeatureWriter*> targets = resolveTargets(item, previous);
  chooseBody(previous);
  FeatureOutcome outcome;
  if (!dispatch(item, previous, outcome)) return;
  apply(outcome);
  finishAfterHandler(targets, previous, outcome);
}

std::vector<FeatureWriter*> FeatureWriter::resolveTargets(const rapidjson::Value& item,
                                                          host::SpecObjectPtr& previous) {
  std::vector<FeatureWriter*> writers;
  for (Writer* w : boolTargets(item)) {
    if (FeatureWriter* fw = w->asFeatureWriter()) writers.push_back(fw);
  }
  if (writers.size() < 2) return writers;
  std::vector<FeatureWriter*> targets;
  int merges = 0;
  for (std::size_t i = 0; i < writers.size(); ++i) {
    FeatureWriter* target = writers[i];
    debug("debug: " + name_ + " will " + phraseFor(boolKind_) + " boolSolids1[" +
          std::to_string(i) + "], " + target->name() + " (" + target->boolType() + ")");
    if (target->boolKind() != BoolType::New) {
      targets.push_back(target);
    } else {
      // An independent body named with others is merged into the part first.
      target->setBoolType("add");
      target->createBool(previous);
      previous = shared_.part->currentFeature();
      ++merges;
    }
    if (merges == 1) debug("debug: boolSolids1.size() = " + std::to_string(targets.size()));
  }
  if (targets.size() >= 2) {
    const std::string text =
        "warning: ----------boolSolids.size() = " + std::to_string(targets.size());
    logOut(text);
    warning_ = text;
    targets.resize(1);
  }
  return targets;
}

void FeatureWriter::chooseBody(host::SpecObjectPtr& previous) {
  if (!isCombined(boolKind_)) {
    prtTool_ = shared_.part->currentTool();
    return;
  }
  previous = shared_.part->currentFeature();
  prtTool_ = createPRTTool("");
  if (prtTool_) shared_.part->setCurrentFeature(prtTool_);
}

bool FeatureWriter::dispatch(const rapidjson::Value& item, const host::SpecObjectPtr& previous,
                             FeatureOutcome& outcome) {
  FeatureHandler handler = handlerFor(type_);
  if (!handler) {
    logOut("error: unsupported feature type = " + type_);
    return false;
  }
  try {
    outcome = handler(*this, item, previous, prtTool_);
    return true;
  } catch (const std::exception& e) {
    logOut(std::string("error: ") + e.what());
  } catch (...) {
  }
  // What the writer's services made before the throw stays the item's feature.
  outcome = FeatureOutcome::failed(host::kFail);
  outcome.feature = specObj_;
  return true;
}

void FeatureWriter::apply(const FeatureOutcome& outcome) {
  if (!outcome.error.empty()) logOut(outcome.error);
  specObj_ = outcome.feature;
  status_ = outcome.status;
  if (!outcome.warning.empty()) warning_ = outcome.warning;
  if (outcome.body) prtTool_ = outcome.body;
  // A cut made straight into its target body is no boolean of this writer's.
  if (outcome.finish != FeatureOutcome::Finish::Normal) previousSpecObj_ = nullptr;
}

void FeatureWriter::finishAfterHandler(const std::vector<FeatureWriter*>& targets,
                                       const host::SpecObjectPtr& previous,
                                       const FeatureOutcome& outcome) {
  const std::string who = ", name = " + name_ + ", id = " + id_;
  if (host::failed(status_)) {
    logOut("error: exception occurred while parsing " + type_ + who);
    return;
  }
  if (!specObj_) {
    if (!outcome.warning.empty()) {
      logOut("warning: " + warning_ + who);
    } else {
      logOut("error: spSpecObj is null after parsing " + type_ + who);
      status_ = host::kFail;
    }
    return;
  }
  if (!isCombined(boolKind_) && !isPatternOrMirror(type_)) setAlias(specObj_, name_);
  if (outcome.finish == FeatureOutcome::Finish::DirectCut) {
    setAlias(specObj_, name_);
    info("info: ----------direct remove cut " + name_ + " complete\n");
  } else if (outcome.finish == FeatureOutcome::Finish::SimpleHoleCut) {
    setAlias(specObj_, name_);
    info("info: ----------simple hole remove " + name_ + " complete\n");
  } else if ((boolKind_ == BoolType::New || boolKind_ == BoolType::None) &&
             !modifiesItsBody(type_)) {
    shared_.part->setCurrentFeature(previous);
    setAlias(specObj_, name_);
    info("info: ----------new " + name_ + " complete\n");
  } else if (isCombined(boolKind_)) {
    booleanStep(targets, previous);
    if (host::failed(status_)) logOut("error: exception occurred while parsing " + type_ + who);
  }
  debug("debug: parseJson " + type_ + " end" + who);
}

void FeatureWriter::booleanStep(const std::vector<FeatureWriter*>& targets,
                                const host::SpecObjectPtr& previous) {
  if (targets.empty()) {
    boolWith(previous, nullptr);
    return;
  }
  for (std::size_t i = 0; i < targets.size(); ++i) {
    debug("debug: " + name_ + " create bool " + boolType_ + " with boolSolids[" +
          std::to_string(i) + "] " + targets[i]->name());
    boolWith(previous, targets[i]);
  }
}

void FeatureWriter::boolWith(const host::SpecObjectPtr& previous, FeatureWriter* target) {
  host::SpecObjectPtr first;
  debug("debug: cur feature " + aliasLine(shared_.part->currentFeature()));
  if (target && target->type() != "linearArray") {
    shared_.part->setCurrentFeature(target->body());
    first = target->feature();
    if (!first) {
      logOut("warn: invalid feature for boolean operation");
      first = target->getSpecObjBody();
    }
  } else {
    shared_.part->setCurrentFeature(previous);
    first = previous;
    if (!first) {
      logOut("warn: invalid feature");
      first = shared_.part->currentFeature();
    }
  }
  debug("debug: cur feature reset as " + aliasLine(shared_.part->currentFeature()));
  createBool(first);
}

void FeatureWriter::createBool(const host::SpecObjectPtr& firstObject, BoolPlace place) {
  if (!firstObject) {
    logOut("error: iBoolFirstObj is null, cannot perform boolean operation");
    status_ = host::kFail;
    return;
  }
  debug("debug: create bool " + boolType_ + " in " + aliasLine(firstObject));
  host::SpecObjectPtr booleanFeature = createBooleanFeature(firstObject, place);
  if (!booleanFeature) {
    logOut("error: failed to create boolean operation for boolType = " + boolType_);
    status_ = host::kFail;
    return;
  }
  completeBoolean(booleanFeature);
}

// The host puts a boolean right after the object it operates on; in build order that is
// the last feature this import put in that object's body. A boolean placed earlier on
// purpose does not move the body's end.
host::SpecObjectPtr FeatureWriter::createBooleanFeature(const host::SpecObjectPtr& operated,
                                                        BoolPlace place) {
  BuildOrder* order = shared_.buildOrder.get();
  const host::SpecObjectPtr last = order ? order->operatedFor(operated) : operated;
  const host::SpecObjectPtr first = place == BoolPlace::AfterOperated ? operated : last;
  host::SpecObjectPtr made = createBooleanAfter(first);
  if (order && host::sameObject(first, last)) order->note(made);
  return made;
}

host::SpecObjectPtr FeatureWriter::createBooleanAfter(const host::SpecObjectPtr& first) {
  const auto& factory = shared_.booleanFactory;
  switch (boolKind_) {
    case BoolType::Remove:
      return factory ? factory->createRemove(first, specObj_) : nullptr;
    case BoolType::Common:
      return factory ? factory->createIntersect(first, nullptr) : nullptr;
    case BoolType::Add:
      return factory ? factory->createAdd(first, nullptr) : nullptr;
    case BoolType::New:
      return nullptr;
    case BoolType::None:
    case BoolType::Other:
      break;
  }
  logOut("error: unsupported boolType = " + boolType_);
  return nullptr;
}

void FeatureWriter::completeBoolean(const host::SpecObjectPtr& booleanFeature) {
  setAlias(booleanFeature, name_);
  debug("debug: bool feature " + aliasLine(booleanFeature));
  debug("debug: cur feature " + aliasLine(shared_.part->currentFeature()));
  auto operation = booleanFeature->query<host::BooleanOperation>();
  if (!operation) {
    logOut("error: spBoolOpera is null, cannot perform boolean operation");
    status_ = host::kFail;
  }
  if (operation && (boolKind_ == BoolType::Add || boolKind_ == BoolType::Common)) {
    const host::Status rc = operation->modifyOperatedObject(specObj_);
    debug("debug: ModifyOperatedObject " + boolType_ + ", rc = " + std::to_string(rc) + ", " +
          aliasLine(specObj_));
    if (host::failed(rc)) {
      status_ = rc;
      return;
    }
  }
  previousSpecObj_ = specObj_;
  specObj_ = booleanFeature;
  status_ = updateFeature(booleanFeature).status;
  debug("debug: create bool " + boolType_ + " result " + aliasLine(booleanFeature));
  if (!host::failed(status_)) shared_.part->setCurrentFeature(booleanFeature);
}

host::SpecObjectPtr FeatureWriter::createPRTTool(const std::string& name) {
  auto factory = host::query<host::BodyFactory>(shared_.container);
  if (shared_.verbosity >= 5) {
    logOut("debug: QueryInterface IID_CATIMechanicalRootFactory rc = " +
           std::to_string(factory ? host::kOk : host::kNoInterface));
  }
  if (!factory) {
    logOut("error: CATIMechanicalRootFactory_var spMechRootFactory is null");
    return nullptr;
  }
  host::SpecObjectPtr body = factory->createBody(toHostText(name));
  if (!body) logOut("createPRTTool Failed");
  return body;
}

host::SpecObjectPtr FeatureWriter::createAxisLine(const rapidjson::Value& axis) {
  double x, y, z, dx, dy, dz;
  if (!axis.IsObject() || !numberMember(axis, "x", x) || !numberMember(axis, "y", y) ||
      !numberMember(axis, "z", z) || !numberMember(axis, "dx", dx) ||
      !numberMember(axis, "dy", dy) || !numberMember(axis, "dz", dz)) {
    logOut("error: CreateAxisLine failed");
    return nullptr;
  }
  const host::Vec3 d{dx, dy, dz};
  const double len2 = host::dot(d, d);
  const host::Vec3 unit = len2 == 1.0   ? d
                          : len2 == 0.0 ? host::Vec3{1, 0, 0}
                                        : d * (1.0 / std::sqrt(len2));
  debug("debug: axisLine origin = " + num(x) + ", " + num(y) + ", " + num(z) +
        ", axis direction = " + num(unit.x) + ", " + num(unit.y) + ", " + num(unit.z));
  // The axis runs 1000 mm along the unit direction that the line above shows, whatever
  // the length of the given one; a zero direction gives two equal points and no line.
  const host::Vec3 along = len2 == 0.0 ? d : unit;
  const auto& factory = shared_.wireframeFactory;
  host::SpecObjectPtr line;
  if (factory) {
    const host::Point3 origin{x, y, z};
    line = factory->createLine(factory->createPoint(origin),
                               factory->createPoint(origin + along * 1000.0));
  }
  if (!line) logOut("error: CreateAxisLine failed");
  return line;
}

host::Status FeatureWriter::createLength(const std::string& name, double millimetres,
                                         host::SpecObjectPtr& out) {
  auto factory = host::query<host::ParameterFactory>(shared_.container);
  host::SpecObjectPtr parameter =
      factory ? factory->createLength(name, millimetres / 1000.0) : nullptr;
  if (!parameter) {
    logOut("ERROR in creating Cke length paramater");
    return host::kFail;
  }
  out = parameter;
  return host::kOk;
}

std::vector<Writer*> FeatureWriter::boolTargets(const rapidjson::Value& item) const {
  return featureWritersOnly(resolveWriters(*registry_, boolTargetIds(item)));
}

std::vector<Writer*> FeatureWriter::profileSketches(const rapidjson::Value& item) const {
  return resolveWriters(*registry_, profileSketchIds(item));
}

}  // namespace kestrun
