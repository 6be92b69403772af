// workstation: the desktop CAD session that loads the Vantrel add-in.
#include "desktop/workstation_command.h"

int main(int argc, char** argv) {
  return desktop::runWorkstation(argc, argv);
}
