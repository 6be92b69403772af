// Reads the symbols a shared module defines in its dynamic symbol table straight from the ELF
// file, independently of the loader: what any program linking or dlopen-ing it can bind.
#pragma once

#include <set>
#include <string>

// The names of the global and weak symbols `path` defines in .dynsym (undefined imports left
// out). Returns false with `error` set when the file is not a readable 64-bit ELF module.
bool ReadDefinedDynamicSymbols(const std::string& path, std::set<std::string>& names,
                               std::string& error);
