// The product staging exports over arbitrary bytes: the list is well formed whenever it is
// returned, every staged part JSON parses back to an object with a `sequences` array, and the
// part number of any index stays within its 120 safe bytes.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include <rapidjson/document.h>

#include "host/document.h"
#include "host/part.h"
#include "host/product.h"
#include "kestrun/kestrun.h"
#include "occt_host/session/session.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

bool Terminated(const char* text, size_t capacity) {
  return strnlen(text, capacity) < capacity;
}

void CheckResult(const MardelImportResult& r, int32_t status) {
  Check(r.status == status);
  Check(status == 0 ? r.errorCode == 0 : r.errorCode == 100);
  Check(Terminated(r.message, sizeof r.message) && Terminated(r.warning, sizeof r.warning));
  Check(r.message[0] != '\0');
}

void CheckStaged(const ProductSourcePartSpec& part, uint64_t index) {
  Check(part.sourcePartIndex == static_cast<int32_t>(index));
  Check(Terminated(part.sourcePartId, sizeof part.sourcePartId) && part.sourcePartId[0] != '\0');
  Check(part.jsonBytes != nullptr && part.jsonSize > 0);
  rapidjson::Document staged;
  staged.Parse(reinterpret_cast<const char*>(part.jsonBytes), part.jsonSize);
  Check(!staged.HasParseError() && staged.IsObject());
  auto sequences = staged.FindMember("sequences");
  Check(sequences != staged.MemberEnd() && sequences->value.IsArray());
}

std::string PartNumberAfterAssign(const uint8_t* data, size_t size, int32_t index) {
  static occt_host::Session session;
  static std::shared_ptr<host::Document> part = session.newDocument("Part");
  MardelImportResult result{};
  const int32_t status =
      MardelImport_AssignProductSourcePartNumber(data, size, index, part.get(), &result);
  Check(status == 0 || status == 2);
  CheckResult(result, status);
  auto roots = host::query<host::DocumentRoots>(part);
  auto container = host::query<host::PartContainer>(roots->rootContainer("CATIPrtContainer"));
  return host::query<host::PartProduct>(container->part())->product()->partNumber();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ProductSourcePartSpec* parts = nullptr;
  uint64_t count = 0;
  MardelImportResult result{};
  const int32_t status = MardelImport_ListProductSourceParts(data, size, &parts, &count, &result);
  Check(status == 0 || status == 2);
  CheckResult(result, status);
  Check((status == 0) == (parts != nullptr && count > 0));
  for (uint64_t i = 0; i < count; ++i) CheckStaged(parts[i], i);
  MardelImport_FreeProductSourcePartSpecs(parts, count);
  if (status == 0) {
    const std::string number = PartNumberAfterAssign(data, size, 0);
    Check(number.size() <= 120 && number.rfind("MardelPart_0_", 0) == 0);
    for (char c : number)
      Check(std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_');
    PartNumberAfterAssign(data, size, static_cast<int32_t>(count));  // one past the end
  }
  return 0;
}
