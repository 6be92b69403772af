#include "product_drawer.h"

#include <string>
#include <vector>

#include "kestrun/kestrun.h"
#include "vantrel/core_exports.h"
#include "vantrel/transfer_data_processor.h"
#include "workstation/workstation.h"

void installProductDrawer(workstation::Workstation& ws) {
  ws.setProductDrawer([](std::shared_ptr<host::Document>& document, const std::string& json,
                         MardelImportResult& result) -> int {
    vantrel::CoreExports exports;
    exports.drawJson = &MardelImport_DrawJson;
    exports.listProductSourceParts = &MardelImport_ListProductSourceParts;
    exports.freeProductSourcePartSpecs = &MardelImport_FreeProductSourcePartSpecs;
    exports.assignProductSourcePartNumber = &MardelImport_AssignProductSourcePartNumber;
    const std::vector<unsigned char> bytes(json.begin(), json.end());
    return vantrel::TransferDataProcessor::DrawProductJson(exports, document, bytes, result);
  });
}
