#include "cli/validate_command.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "cli/validate/validate.h"

namespace kestrun_app {

namespace {

const char* const kValidateUsage =
    "Usage: kestrun validate FILE.json|-\n"
    "\n"
    "Checks a part or product JSON against docs/part-json.schema.json (or\n"
    "docs/product-json.schema.json) and the rules a schema cannot say: ids that name\n"
    "nothing or the wrong kind of item, reference cycles, profiles that are not closed,\n"
    "hole locations off every solid. Nothing is drawn. Prints one JSON object:\n"
    "  {\"valid\": bool, \"problems\": [{\"pointer\", \"item\", \"message\", \"suggestion\"}]}\n"
    "(a text that is not JSON also gives \"line\" and \"column\").\n"
    "Exit status: 0 valid, 1 problems, 2 unreadable (no such file, or not JSON), 64 usage.\n";

bool readAll(const std::string& path, std::string& text) {
  if (path == "-") {
    text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    return !std::cin.bad();
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return !file.bad();
}

}  // namespace

int runValidate(int argc, char** argv) {
  if (argc >= 3 && (std::strcmp(argv[2], "--help") == 0 || std::strcmp(argv[2], "-h") == 0)) {
    std::cout << kValidateUsage;
    return 0;
  }
  if (argc != 3) {
    std::cerr << kValidateUsage;
    return 64;
  }
  std::string text;
  kestrun_validate::Validation validation;
  if (!readAll(argv[2], text)) {
    validation.readable = false;
    validation.problems.push_back(
        {"", "", "cannot read " + std::string(argv[2]) + ": " + std::strerror(errno), ""});
  } else {
    validation = kestrun_validate::validateText(text);
  }
  std::cout << kestrun_validate::validationJson(validation) << "\n";
  return kestrun_validate::validationExitStatus(validation);
}

}  // namespace kestrun_app
