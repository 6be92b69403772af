// STEP export of a Product document as an assembly: one STEP product per Part that an
// instance shows, and one placed, named occurrence per instance.
#pragma once

#include <string>

namespace occt_host {

class Document;

// Throws with a reason when the Product holds no instance with a solid or the file cannot be
// written; exportStep() turns that into its error text.
void writeProductStep(const Document& document, const std::string& path);

}  // namespace occt_host
