// A module for the loader tests: loaded and unloaded by path, never linked.
extern "C" __attribute__((visibility("default"))) int TolvaneResidentModuleAnswer() {
  return 42;
}
