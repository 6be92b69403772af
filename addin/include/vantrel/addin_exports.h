// The add-in's creation functions, exported under these plain names: the host finds them
// in the module's dictionary entries.
#pragma once

#include "host/desktop.h"

extern "C" {
// The add-in object (the general workbench add-in interface); null on failure.
__attribute__((visibility("default"))) host::GeneralWorkbenchAddin*
CreateTIECATIAfrGeneralWksAddinVantrelAddin();
// A new panel command, owned by the host; null on failure.
__attribute__((visibility("default"))) host::Command* fctCreateVantrelCmd();
}
