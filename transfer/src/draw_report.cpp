#include "vantrel/draw_report.h"

#include <cmath>

#include "host/document.h"
#include "host/part.h"
#include "host/solid_volume.h"
#include "vantrel/plugin_response.h"
#include "vantrel/transfer_services.h"

namespace vantrel {
namespace {

std::string TextOf(const MardelText& text) {
  return text.text != nullptr ? std::string(text.text, text.size) : std::string();
}

std::vector<std::string> TextsOf(const MardelText* texts, uint64_t count) {
  std::vector<std::string> out;
  if (texts == nullptr) return out;
  out.reserve(count);
  for (uint64_t i = 0; i < count; ++i) out.push_back(TextOf(texts[i]));
  return out;
}

DrawReportItem ItemOf(const MardelItemReport& in, bool descriptors) {
  DrawReportItem item;
  item.id = TextOf(in.id);
  item.type = TextOf(in.type);
  item.name = TextOf(in.name);
  item.outcome = in.outcome;
  item.messages = TextsOf(in.messages, in.messageCount);
  item.objects = TextsOf(in.objects, in.objectCount);
  if (in.hasBody) item.body = TextOf(in.body);
  if (in.hasVolume && std::isfinite(in.volume)) item.volume = in.volume;
  item.seconds = std::isfinite(in.seconds) && in.seconds > 0 ? in.seconds : 0;
  item.reason = TextOf(in.reason);
  if (descriptors) item.descriptors = TextsOf(in.descriptors, in.descriptorCount);
  return item;
}

}  // namespace

void DrawReport::Sink(void* context, int32_t event, const MardelItemReport* item) {
  auto* report = static_cast<DrawReport*>(context);
  if (report == nullptr) return;
  if (report->next_ != nullptr) report->next_(report->nextContext_, event, item);
  if (item == nullptr) return;
  try {
    report->Take(event, *item);
  } catch (...) {
    // A report short of memory is not worth a failed draw; the items taken so far stay.
  }
}

void DrawReport::ChainTo(MardelReportSinkFn sink, void* context) {
  next_ = sink;
  nextContext_ = context;
}

void DrawReport::Take(int32_t event, const MardelItemReport& item) {
  if (event == MARDEL_REPORT_BEGIN) {
    importStart_ = items_.size();
    return;
  }
  if (event != MARDEL_REPORT_ITEM_DONE) return;
  const size_t at = importStart_ + item.index;
  if (at < items_.size()) {
    items_[at] = ItemOf(item, readDescriptors_);  // sent again: changed, or with descriptors
  } else {
    items_.push_back(ItemOf(item, readDescriptors_));
  }
}

void DrawReport::Finish(const MardelImportResult& result, double seconds,
                        std::optional<double> volume) {
  finished_ = true;
  result_ = result;
  seconds_ = seconds;
  volume_ = volume;
}

void DrawReport::Refuse(const std::string& code, const std::string& message) {
  if (!refusalCode_.empty()) return;
  refusalCode_ = code;
  refusalMessage_ = message;
}

std::string DrawReport::Response() const {
  if (!refusalCode_.empty())
    return SerializePluginResponse(
        MakeErrorPluginResponse(kDrawReportId, refusalCode_, refusalMessage_));
  if (!finished_)
    return SerializePluginResponse(
        MakeErrorPluginResponse(kDrawReportId, "report.notDrawn", "the payload was not drawn"));
  return SerializePluginResponse(MakeOkPluginResponse(kDrawReportId, Json()));
}

const char* DrawReportOutcomeWord(int32_t outcome) {
  switch (outcome) {
    case MARDEL_ITEM_WARNED:
      return "warned";
    case MARDEL_ITEM_FAILED:
      return "failed";
    case MARDEL_ITEM_SKIPPED:
      return "skipped";
    case MARDEL_ITEM_NEVER_REACHED:
      return "neverReached";
    case MARDEL_ITEM_UNSUPPORTED:
      return "unsupported";
    case MARDEL_ITEM_NO_EFFECT:
      return "noEffect";
    default:
      return "built";
  }
}

std::optional<double> PartSolidsVolume(const std::shared_ptr<host::Document>& document) {
  auto roots = host::query<host::DocumentRoots>(document);
  auto container =
      roots ? host::query<host::PartContainer>(roots->rootContainer(host::kPartContainerType))
            : nullptr;
  auto measure = container ? host::query<host::SolidVolume>(container->part()) : nullptr;
  double volume = 0;
  if (measure && measure->volume(volume) && std::isfinite(volume)) return volume;
  return std::nullopt;
}

}  // namespace vantrel
