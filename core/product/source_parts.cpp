#include "product/source_parts.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace kestrun {

namespace {

const rapidjson::Value* member(const rapidjson::Value& object, const char* name) {
  auto it = object.FindMember(name);
  return it == object.MemberEnd() ? nullptr : &it->value;
}

bool isArrayMember(const rapidjson::Value& object, const char* name) {
  const rapidjson::Value* v = member(object, name);
  return v && v->IsArray();
}

std::string stringMember(const rapidjson::Value& object, const char* name) {
  const rapidjson::Value* v = member(object, name);
  if (!v || !v->IsString()) return {};
  return std::string(v->GetString(), v->GetStringLength());
}

bool partNumberByte(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_';
}

}  // namespace

bool isSourcePart(const rapidjson::Value& entry) {
  if (!entry.IsObject()) return false;
  const rapidjson::Value* id = member(entry, "id");
  if (!id || !id->IsString()) return false;
  const rapidjson::Value* ref = member(entry, "refId");
  if (ref && ref->IsString() && ref->GetStringLength() > 0) return false;
  return isArrayMember(entry, "flatNode") || isArrayMember(entry, "sequences");
}

const rapidjson::Value* partListOf(const rapidjson::Value& root) {
  if (!root.IsObject()) return nullptr;
  const rapidjson::Value* list = member(root, "partList");
  return list && list->IsArray() ? list : nullptr;
}

const rapidjson::Value* findSourcePart(const rapidjson::Value& root, long long index) {
  const rapidjson::Value* list = partListOf(root);
  if (!list || index < 0) return nullptr;
  long long seen = 0;
  for (const auto& entry : list->GetArray()) {
    if (!isSourcePart(entry)) continue;
    if (seen++ == index) return &entry;
  }
  return nullptr;
}

std::string sourcePartNumber(const rapidjson::Value& entry, long long index) {
  std::string base = entry.IsObject() ? stringMember(entry, "id") : std::string();
  if (base.empty() && entry.IsObject()) base = stringMember(entry, "name");
  if (base.empty()) base = "Part";
  std::string out = "MardelPart_" + std::to_string(index) + "_";
  if (out.size() > kMaxPartNumberBytes) out.resize(kMaxPartNumberBytes);
  for (std::size_t i = 0; i < base.size() && out.size() < kMaxPartNumberBytes; ++i) {
    const unsigned char c = static_cast<unsigned char>(base[i]);
    out.push_back(partNumberByte(c) ? static_cast<char>(c) : '_');
  }
  return out;
}

bool stageSourcePart(const rapidjson::Value& entry, std::string& out) {
  rapidjson::Document staged;
  staged.SetObject();
  auto& alloc = staged.GetAllocator();
  const rapidjson::Value* sequence =
      isArrayMember(entry, "flatNode") ? member(entry, "flatNode") : member(entry, "sequences");
  staged.AddMember("sequences", rapidjson::Value(*sequence, alloc), alloc);
  if (isArrayMember(entry, "bodyColors"))
    staged.AddMember("bodyColors", rapidjson::Value(*member(entry, "bodyColors"), alloc), alloc);
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  if (!staged.Accept(writer)) return false;
  out.assign(buffer.GetString(), buffer.GetSize());
  return true;
}

}  // namespace kestrun
