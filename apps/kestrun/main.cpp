// kestrun: draws a part or product JSON and writes STEP, glTF, STL, drawings and reports;
// checks batches of files; validates a document without drawing it.
#include "cli/kestrun_command.h"

int main(int argc, char** argv) {
  return kestrun_app::runKestrun(argc, argv);
}
