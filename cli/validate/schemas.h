// The published schemas, built into the program from docs/ so that the command checks
// against exactly the files a front end reads.
#pragma once

namespace kestrun_validate {

const char* partSchemaText();
const char* productSchemaText();

}  // namespace kestrun_validate
