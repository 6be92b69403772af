// `kestrun validate FILE|-`: prints what is wrong with a part or product document.
#pragma once

namespace kestrun_app {

int runValidate(int argc, char** argv);

}  // namespace kestrun_app
