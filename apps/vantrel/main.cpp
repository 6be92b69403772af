// vantrel: replays front-end packets through the transfer protocol and shows the add-in's
// runtime configuration, for the people who write the front end.
#include "replay/vantrel_command.h"

int main(int argc, char** argv) {
  return vantrel::RunVantrelCommand(argc, argv);
}
