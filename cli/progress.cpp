#include "cli/progress.h"

#include <cstring>

namespace kestrun_app {

namespace {

constexpr auto kRedrawEvery = std::chrono::milliseconds(100);
constexpr std::size_t kFailedShown = 20;
constexpr std::size_t kMessagesShown = 3;

bool startsWith(std::string_view line, std::string_view word) {
  return line.substr(0, word.size()) == word;
}

std::string text(const MardelText& t) {
  return t.text ? std::string(t.text, t.size) : std::string();
}

// Control characters would move the terminal's cursor or worse; they show as spaces.
std::string printable(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
  }
  return text;
}

// The item as the progress line names it, kept short enough for one terminal line.
std::string label(const MardelItemReport& item) {
  std::string out = text(item.type) + " " + text(item.id);
  const std::string name = text(item.name);
  if (!name.empty() && name != text(item.id)) out += " (" + name + ")";
  out = printable(out);
  if (out.size() > 50) out = out.substr(0, 47) + "...";
  return out;
}

}  // namespace

Progress::Progress(std::FILE* err, bool terminal, int verbosity, std::FILE* log)
    : err_(err), terminal_(terminal), verbosity_(verbosity), log_(log) {}

void Progress::install(bool report) {
  MardelImport_SetLogSink(&Progress::logSink, this);
  MardelImport_SetReportSinkWithFlags(
      &Progress::reportSink, this,
      static_cast<std::uint32_t>(report ? MARDEL_REPORT_DESCRIPTORS : MARDEL_REPORT_NO_VOLUMES));
}

void Progress::uninstall() {
  MardelImport_SetReportSink(nullptr, nullptr);
  MardelImport_SetLogSink(nullptr, nullptr);
}

void Progress::logSink(void* context, std::int32_t, const char* text, std::uint64_t size) {
  static_cast<Progress*>(context)->logLine(std::string_view(text, size));
}

void Progress::reportSink(void* context, std::int32_t event, const MardelItemReport* item) {
  if (item) static_cast<Progress*>(context)->reportEvent(event, *item);
}

double Progress::elapsed() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
}

// -v shows everything but the debug lines; -vv shows those too.
bool Progress::shows(std::string_view line) const {
  if (verbosity_ >= 2) return true;
  return verbosity_ == 1 && !startsWith(line, "debug:");
}

void Progress::logLine(std::string_view line) {
  if (log_) {
    std::fwrite(line.data(), 1, line.size(), log_);
    std::fputc('\n', log_);
    std::fflush(log_);
  }
  if (!shows(line)) return;
  clearLine();
  std::fwrite(line.data(), 1, line.size(), err_);
  std::fputc('\n', err_);
  std::fflush(err_);
}

void Progress::reportEvent(std::int32_t event, const MardelItemReport& item) {
  collector_.take(event, item);
  if (event == MARDEL_REPORT_BEGIN) {
    done_ = 0;
    total_ = item.total;
  } else if (event == MARDEL_REPORT_ITEM_START) {
    current_ = label(item);
    draw(false);
  } else if (event == MARDEL_REPORT_ITEM_DONE && item.index >= done_) {
    done_ = item.index + 1;
  }
}

void Progress::draw(bool force) {
  if (!terminal_) return;
  const auto now = std::chrono::steady_clock::now();
  if (!force && lineShown_ && now - drawn_ < kRedrawEvery) return;
  drawn_ = now;
  std::fprintf(err_, "\r[%u/%u] %.1fs %s\x1b[K", done_, total_, elapsed(), current_.c_str());
  std::fflush(err_);
  lineShown_ = true;
}

void Progress::clearLine() {
  if (!lineShown_) return;
  std::fputs("\r\x1b[K", err_);
  lineShown_ = false;
}

void Progress::finish(const ReportSummary& s, const MardelImportResult& result) {
  clearLine();
  std::fprintf(err_,
               "kestrun: %s %zu items: %zu built, %zu warned, %zu failed, %zu skipped, "
               "%zu never reached, %zu unsupported, %zu without effect; %.2f s\n",
               printable(result.message).c_str(), s.items, s.built, s.warned, s.failed, s.skipped,
               s.neverReached, s.unsupported, s.noEffect, s.seconds);
  if (s.fallback) std::fputs("  no item list: the fallback cylinder was drawn\n", err_);
  if (s.empty) std::fputs("  the item list is empty: nothing was drawn\n", err_);
  std::size_t shown = 0;
  for (const ReportItem& item : collector_.items()) {
    if (item.outcome != MARDEL_ITEM_FAILED) continue;
    if (shown++ == kFailedShown) {
      std::fprintf(err_, "  ... and %zu more failed items\n", s.failed - kFailedShown);
      break;
    }
    std::fprintf(err_, "  failed: %s %s\n", printable(item.type).c_str(),
                 printable(item.id).c_str());
    for (std::size_t i = 0; i < item.messages.size() && i < kMessagesShown; ++i)
      std::fprintf(err_, "    %s\n", printable(item.messages[i]).c_str());
  }
  showUnbuilt(s);
  std::fflush(err_);
}

// Items that were built to no effect or not at all for want of a handler: their reasons.
void Progress::showUnbuilt(const ReportSummary& s) {
  std::size_t shown = 0;
  for (const ReportItem& item : collector_.items()) {
    if (item.outcome != MARDEL_ITEM_UNSUPPORTED && item.outcome != MARDEL_ITEM_NO_EFFECT) continue;
    if (shown++ == kFailedShown) {
      std::fprintf(err_, "  ... and %zu more\n", s.unsupported + s.noEffect - kFailedShown);
      break;
    }
    std::fprintf(err_, "  %s: %s %s: %s\n", outcomeWord(item.outcome), printable(item.type).c_str(),
                 printable(item.id).c_str(), printable(item.reason).c_str());
  }
}

}  // namespace kestrun_app
