#include "dynamic_symbols.h"

#include <elf.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

template <typename T>
bool ReadAt(const std::vector<char>& file, uint64_t offset, T& out) {
  if (offset > file.size() || file.size() - offset < sizeof(T)) return false;
  std::memcpy(&out, file.data() + offset, sizeof(T));
  return true;
}

bool SectionHeader(const std::vector<char>& file, const Elf64_Ehdr& header, unsigned index,
                   Elf64_Shdr& section) {
  return index < header.e_shnum &&
         ReadAt(file, header.e_shoff + uint64_t{index} * header.e_shentsize, section);
}

// The name at `offset` of the string table `strings`, or false when it runs off the table.
bool NameAt(const std::vector<char>& file, const Elf64_Shdr& strings, uint32_t offset,
            std::string& name) {
  if (offset >= strings.sh_size || strings.sh_offset + strings.sh_size > file.size()) return false;
  const char* begin = file.data() + strings.sh_offset + offset;
  const char* end = static_cast<const char*>(std::memchr(begin, '\0', strings.sh_size - offset));
  if (end == nullptr) return false;
  name.assign(begin, end);
  return true;
}

bool ReadSymbols(const std::vector<char>& file, const Elf64_Ehdr& header, const Elf64_Shdr& dynsym,
                 std::set<std::string>& names) {
  Elf64_Shdr strings{};
  if (dynsym.sh_entsize != sizeof(Elf64_Sym) ||
      !SectionHeader(file, header, dynsym.sh_link, strings)) {
    return false;
  }
  // Entry 0 is the reserved null symbol.
  for (uint64_t i = 1; i < dynsym.sh_size / sizeof(Elf64_Sym); ++i) {
    Elf64_Sym symbol{};
    if (!ReadAt(file, dynsym.sh_offset + i * sizeof(Elf64_Sym), symbol)) return false;
    const unsigned binding = ELF64_ST_BIND(symbol.st_info);
    if (symbol.st_shndx == SHN_UNDEF || binding == STB_LOCAL) continue;
    std::string name;
    if (!NameAt(file, strings, symbol.st_name, name)) return false;
    names.insert(name);
  }
  return true;
}

}  // namespace

bool ReadDefinedDynamicSymbols(const std::string& path, std::set<std::string>& names,
                               std::string& error) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<char> file{std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>()};
  Elf64_Ehdr header{};
  if (!ReadAt(file, 0, header) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
      header.e_ident[EI_CLASS] != ELFCLASS64 || header.e_shentsize != sizeof(Elf64_Shdr)) {
    error = path + " is not a readable 64-bit ELF file";
    return false;
  }
  for (unsigned i = 0; i < header.e_shnum; ++i) {
    Elf64_Shdr section{};
    if (!SectionHeader(file, header, i, section)) break;
    if (section.sh_type != SHT_DYNSYM) continue;
    if (ReadSymbols(file, header, section, names)) return true;
    error = path + ": its dynamic symbol table is damaged";
    return false;
  }
  error = path + " has no dynamic symbol table";
  return false;
}
