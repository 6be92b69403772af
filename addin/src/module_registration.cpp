#include "vantrel/addin_exports.h"
#include "vantrel/vantrel_addin.h"
#include "vantrel/vantrel_cmd.h"

host::GeneralWorkbenchAddin* CreateTIECATIAfrGeneralWksAddinVantrelAddin() {
  try {
    return new vantrel::VantrelAddin();
  } catch (...) {
    return nullptr;
  }
}

host::Command* fctCreateVantrelCmd() {
  try {
    return new vantrel::VantrelCmd();
  } catch (...) {
    return nullptr;
  }
}

namespace vantrel {
namespace {

// The dictionary hands out untyped objects; the interface name says what each one is.
void* CreateAddinEntry() {
  return CreateTIECATIAfrGeneralWksAddinVantrelAddin();
}

void* CreateCommandEntry() {
  return fctCreateVantrelCmd();
}

}  // namespace

void RegisterVantrelModule(host::Desktop& desktop) {
  desktop.fillDictionary(host::DictionaryEntry{
      "VantrelAddin", std::string(host::kGeneralWorkbenchAddinInterface), &CreateAddinEntry});
  desktop.fillDictionary(host::DictionaryEntry{"VantrelCmd", std::string(host::kCommandInterface),
                                               &CreateCommandEntry});
}

}  // namespace vantrel
