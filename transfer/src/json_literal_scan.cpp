#include "json_literal_scan.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "vantrel/chunk_hash.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <tmmintrin.h>
#define TOLVANE_HAVE_SSSE3_PATH 1
#endif

namespace vantrel {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<uint32_t> ReadHex4(std::string_view text, size_t pos) {
  if (pos + 4 > text.size()) return std::nullopt;
  uint32_t value = 0;
  for (size_t i = pos; i < pos + 4; ++i) {
    int digit = HexValue(text[i]);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<uint32_t>(digit);
  }
  return value;
}

// Writes `cp` as UTF-8 at `out` and returns the end; surrogates and out-of-range values become
// U+FFFD.
char* EncodeUtf8(uint32_t cp, char* out) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  if (cp < 0x80) {
    *out++ = static_cast<char>(cp);
  } else if (cp < 0x800) {
    *out++ = static_cast<char>(0xC0 | (cp >> 6));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (cp >> 12));
    *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (cp >> 18));
    *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  }
  return out;
}

// A \u escape at `pos` (on the backslash); a high surrogate followed by an escaped low surrogate
// makes one code point, so text sent as escaped UTF-16 arrives as valid UTF-8. Never writes
// more bytes than it consumes.
bool ReadUnicodeEscape(std::string_view text, size_t& pos, char*& out) {
  std::optional<uint32_t> unit = ReadHex4(text, pos + 2);
  if (!unit) return false;
  pos += 6;
  uint32_t cp = *unit;
  if (cp >= 0xD800 && cp <= 0xDBFF && pos + 1 < text.size() && text[pos] == '\\' &&
      text[pos + 1] == 'u') {
    std::optional<uint32_t> low = ReadHex4(text, pos + 2);
    if (low && *low >= 0xDC00 && *low <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (*low - 0xDC00);
      pos += 6;
    }
  }
  out = EncodeUtf8(cp, out);
  return true;
}

// The byte a one-letter escape stands for; 0 for letters that are no escape ('u' included).
struct EscapeTable {
  char value[256] = {};
  constexpr EscapeTable() {
    value[static_cast<unsigned char>('"')] = '"';
    value[static_cast<unsigned char>('/')] = '/';
    value[static_cast<unsigned char>('\\')] = '\\';
    value[static_cast<unsigned char>('b')] = '\b';
    value[static_cast<unsigned char>('f')] = '\f';
    value[static_cast<unsigned char>('n')] = '\n';
    value[static_cast<unsigned char>('r')] = '\r';
    value[static_cast<unsigned char>('t')] = '\t';
  }
};
constexpr EscapeTable kEscapes;

// Decodes the escape at `pos` (on the backslash) of a literal that ends where `literal` ends.
bool DecodeEscape(std::string_view literal, size_t& pos, char*& out) {
  const char letter = literal[pos + 1];
  if (letter == 'u') return ReadUnicodeEscape(literal, pos, out);
  const char simple = kEscapes.value[static_cast<unsigned char>(letter)];
  if (simple == '\0') return false;
  *out++ = simple;
  pos += 2;
  return true;
}

// Long literals are looked at 64 bytes at a time, as bit masks: one bit per byte.
constexpr size_t kWindow = 64;
constexpr size_t kShortLiteral = 24;

// The bytes of the window at `p` that equal `c`.
uint64_t ByteMask(const char* p, char c) {
#if defined(__SSE2__)
  const __m128i wanted = _mm_set1_epi8(c);
  uint64_t mask = 0;
  for (int part = 0; part < 4; ++part) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * part));
    const auto bits = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, wanted)));
    mask |= static_cast<uint64_t>(bits) << (16 * part);
  }
  return mask;
#else
  uint64_t mask = 0;
  for (size_t i = 0; i < kWindow; ++i) mask |= static_cast<uint64_t>(p[i] == c) << i;
  return mask;
#endif
}

// The bytes of a window that a backslash escapes, from the window's backslashes and whether
// its first byte is escaped by a backslash that ended the window before (`carry`, updated for
// the next window). In a run of backslashes every second one escapes the byte after it,
// counted from where the run starts: the run's parity is found by one addition.
uint64_t EscapedBytes(uint64_t backslashes, uint64_t& carry) {
  constexpr uint64_t kEvenBits = 0x5555555555555555ULL;
  backslashes &= ~carry;
  const uint64_t followsEscape = (backslashes << 1) | carry;
  const uint64_t oddStarts = backslashes & ~kEvenBits & ~followsEscape;
  uint64_t evenStarts = 0;
  carry = __builtin_add_overflow(oddStarts, backslashes, &evenStarts) ? 1 : 0;
  return (kEvenBits ^ (evenStarts << 1)) & followsEscape;
}

// Decodes [pos, end) one escape at a time, ending at or past `end`; false on a bad escape.
bool DecodeSlowly(std::string_view literal, size_t& pos, size_t end, char*& out) {
  while (pos < end) {
    if (literal[pos] != '\\') {
      *out++ = literal[pos++];
    } else if (pos + 1 >= literal.size() || !DecodeEscape(literal, pos, out)) {
      return false;
    }
  }
  return true;
}

// Writes the bytes of the 64 at `in` whose bit is set in `keep`, in order, and moves `out`
// past them; the bytes after them, up to the window's length, may be written too.
void CompactWindow(const char* in, uint64_t keep, char*& out) {
  for (size_t j = 0; j < kWindow; ++j) {
    *out = in[j];
    out += (keep >> j) & 1u;
  }
}

#if defined(TOLVANE_HAVE_SSSE3_PATH)
// For each 8-bit keep pattern: the byte shuffle that packs the kept bytes first, and their
// number.
struct CompactTable {
  uint8_t shuffle[256][8] = {};
  uint8_t count[256] = {};
  constexpr CompactTable() {
    for (unsigned pattern = 0; pattern < 256; ++pattern) {
      unsigned n = 0;
      for (unsigned bit = 0; bit < 8; ++bit) {
        if ((pattern >> bit) & 1u) shuffle[pattern][n++] = static_cast<uint8_t>(bit);
      }
      count[pattern] = static_cast<uint8_t>(n);
      for (unsigned rest = n; rest < 8; ++rest) shuffle[pattern][rest] = 0x80;
    }
  }
};
constexpr CompactTable kCompact;

__attribute__((target("ssse3"))) void CompactWindowSsse3(const char* in, uint64_t keep,
                                                         char*& out) {
  for (size_t group = 0; group < kWindow / 8; ++group) {
    const unsigned pattern = static_cast<unsigned>(keep >> (8 * group)) & 0xFFu;
    const __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(in + 8 * group));
    const __m128i order =
        _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kCompact.shuffle[pattern]));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(bytes, order));
    out += kCompact.count[pattern];
  }
}

bool useByteShuffle = __builtin_cpu_supports("ssse3");
#endif

}  // namespace

void UseByteShuffle(bool use) {
#if defined(TOLVANE_HAVE_SSSE3_PATH)
  useByteShuffle = use && __builtin_cpu_supports("ssse3");
#else
  (void)use;
#endif
}

namespace {

// Keys and short values end within a few bytes: those are looked at one by one. Returns the
// closing quote, or npos with `i` left on a byte no backslash escapes.
size_t ShortClose(const char* p, size_t n, size_t& i) {
  for (const size_t shortEnd = std::min(n, i + kShortLiteral); i < shortEnd; ++i) {
    if (p[i] == '\\') {
      ++i;
    } else if (p[i] == '"') {
      return i;
    }
  }
  return std::string_view::npos;
}

}  // namespace

size_t ShortLiteralClose(std::string_view text, size_t open) {
  size_t i = open + 1;
  return ShortClose(text.data(), text.size(), i);
}

size_t ClosingQuote(std::string_view text, size_t pos) {
  const char* p = text.data();
  const size_t n = text.size();
  size_t i = pos + 1;
  if (const size_t close = ShortClose(p, n, i); close != std::string_view::npos) return close;
  uint64_t carry = 0;
  while (i + kWindow <= n) {
    const uint64_t escaped = EscapedBytes(ByteMask(p + i, '\\'), carry);
    const uint64_t quotes = ByteMask(p + i, '"') & ~escaped;
    if (quotes != 0) return i + static_cast<size_t>(__builtin_ctzll(quotes));
    i += kWindow;
  }
  for (i += carry; i < n; ++i) {
    if (p[i] == '\\') {
      ++i;
    } else if (p[i] == '"') {
      return i;
    }
  }
  return std::string_view::npos;
}

namespace {

void Compact(const char* in, uint64_t keep, char*& out) {
#if defined(TOLVANE_HAVE_SSSE3_PATH)
  if (useByteShuffle) {
    CompactWindowSsse3(in, keep, out);
    return;
  }
#endif
  CompactWindow(in, keep, out);
}

// Decodes the window at `i`, which holds no quote that closes the literal, and moves `i` past
// it (or past an escape that crosses its end). A window whose escapes all stand for the
// escaped byte itself (\" \\ \/, the ones escaped chunk text is full of) is decoded by dropping
// its escaping backslashes, without a branch per byte; any other window escape by escape.
// `escaped` and `quotes` are the window's escaped bytes and quotes, `carried` whether its
// first byte is escaped by the backslash that ended the window before; `carry`, that for the
// next window, is cleared when the window is decoded escape by escape.
bool DecodeWindow(std::string_view literal, size_t& i, uint64_t backslashes, uint64_t escaped,
                  uint64_t quotes, uint64_t carried, uint64_t& carry, char*& out) {
  const char* p = literal.data() + i;
  if ((escaped & ~(backslashes | quotes | ByteMask(p, '/'))) != 0) {
    // Back to the backslash that ended the last window, which was dropped, not written.
    i -= carried;
    carry = 0;
    return DecodeSlowly(literal, i, i + carried + kWindow, out);
  }
  // The write position never passes the read position and the window ends inside the
  // literal, so what is written beyond the kept bytes stays inside `out`.
  Compact(p, ~(backslashes & ~escaped), out);
  i += kWindow;
  return true;
}

// Decodes byte by byte from `i` up to the quote that closes the literal, or up to `stop`
// when that comes first (`i` then rests on a byte no backslash escapes); false when the text
// ends first or an escape is bad.
bool DecodeUpToQuote(std::string_view text, size_t& i, size_t stop, char*& out) {
  const char* p = text.data();
  while (i < stop && p[i] != '"') {
    if (p[i] != '\\') {
      *out++ = p[i++];
    } else if (i + 1 >= text.size() || !DecodeEscape(text, i, out)) {
      return false;
    }
  }
  return i < text.size();
}

template <bool kHash>
DecodedLiteral DecodeToClose(std::string_view text, size_t open, char* out, uint32_t& hash) {
  const char* p = text.data();
  const size_t n = text.size();
  const char* hashed = out;
  auto finish = [&](size_t close) {
    if (kHash) hash = ChunkHashStep(hash, hashed, out);
    return DecodedLiteral{close, out};
  };
  size_t i = open + 1;
  if (!DecodeUpToQuote(text, i, std::min(n, i + kShortLiteral), out)) return {};
  if (i < n && p[i] == '"') return finish(i);
  uint64_t carry = 0;
  while (i + kWindow <= n) {
    const uint64_t carried = carry;
    const uint64_t backslashes = ByteMask(p + i, '\\');
    const uint64_t escaped = EscapedBytes(backslashes, carry);
    const uint64_t quotes = ByteMask(p + i, '"');
    const uint64_t closing = quotes & ~escaped;
    if (closing != 0) {
      i -= carried;
      const size_t close = i + carried + static_cast<size_t>(__builtin_ctzll(closing));
      if (!DecodeUpToQuote(text, i, close, out)) return {};
      return finish(close);
    }
    if (!DecodeWindow(text, i, backslashes, escaped, quotes, carried, carry, out)) return {};
    if (kHash) {
      hash = ChunkHashStep(hash, hashed, out);
      hashed = out;
    }
  }
  i -= carry;
  if (!DecodeUpToQuote(text, i, n, out)) return {};
  return finish(i);
}

}  // namespace

char* DecodeLiteral(std::string_view text, size_t open, size_t close, char* out) {
  const std::string_view literal = text.substr(0, close);
  const char* p = text.data();
  size_t i = open + 1;
  uint64_t carry = 0;
  while (i + kWindow <= close) {
    const uint64_t carried = carry;
    const uint64_t backslashes = ByteMask(p + i, '\\');
    const uint64_t escaped = EscapedBytes(backslashes, carry);
    if (!DecodeWindow(literal, i, backslashes, escaped, ByteMask(p + i, '"'), carried, carry,
                      out)) {
      return nullptr;
    }
  }
  i -= carry;
  if (!DecodeSlowly(literal, i, close, out)) return nullptr;
  return out;
}

DecodedLiteral DecodeLiteralToClose(std::string_view text, size_t open, char* out, uint32_t* hash) {
  uint32_t unused = 0;
  return hash != nullptr ? DecodeToClose<true>(text, open, out, *hash)
                         : DecodeToClose<false>(text, open, out, unused);
}

}  // namespace vantrel
