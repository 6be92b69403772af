#include "host/environment.h"

#include <atomic>

namespace host {

namespace {
std::atomic<Environment*> g_environment{nullptr};
}

Environment* environment() {
  return g_environment.load();
}
void setEnvironment(Environment* env) {
  g_environment.store(env);
}

}  // namespace host
