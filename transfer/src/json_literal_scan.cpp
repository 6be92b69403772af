#include "json_literal_scan.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
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
// more bytes than it consumes. Returns the end written, or null.
char* ReadUnicodeEscape(std::string_view text, size_t& pos, char* out) {
  std::optional<uint32_t> unit = ReadHex4(text, pos + 2);
  if (!unit) return nullptr;
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
  return EncodeUtf8(cp, out);
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

// Decodes the escape at `pos` (on the backslash) of a literal that ends where `literal` ends;
// the end written, or null. (Write positions go by value throughout: a byte store could
// alias a pointer passed by reference and force it through memory after every store.)
char* DecodeEscape(std::string_view literal, size_t& pos, char* out) {
  if (pos + 1 >= literal.size()) return nullptr;
  const char letter = literal[pos + 1];
  if (letter == 'u') return ReadUnicodeEscape(literal, pos, out);
  const char simple = kEscapes.value[static_cast<unsigned char>(letter)];
  if (simple == '\0') return nullptr;
  *out++ = simple;
  pos += 2;
  return out;
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

// Decodes [pos, end) one escape at a time, ending at or past `end`; the end written, or null
// on a bad escape.
char* DecodeSlowly(std::string_view literal, size_t& pos, size_t end, char* out) {
  size_t at = pos;
  while (out != nullptr && at < end) {
    if (literal[at] != '\\') {
      *out++ = literal[at++];
    } else {
      out = DecodeEscape(literal, at, out);
    }
  }
  pos = at;
  return out;
}

// Writes the bytes of the 64 at `in` whose bit is set in `keep`, in order, and returns the
// end of them; the bytes after them, up to the window's length, may be written too.
char* CompactWindow(const char* in, uint64_t keep, char* out) {
  for (size_t j = 0; j < kWindow; ++j) {
    *out = in[j];
    out += (keep >> j) & 1u;
  }
  return out;
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

__attribute__((target("ssse3"))) char* CompactWindowSsse3(const char* in, uint64_t keep,
                                                          char* out) {
  for (size_t group = 0; group < kWindow / 8; ++group) {
    const unsigned pattern = static_cast<unsigned>(keep >> (8 * group)) & 0xFFu;
    const __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(in + 8 * group));
    const __m128i order =
        _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kCompact.shuffle[pattern]));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(bytes, order));
    out += kCompact.count[pattern];
  }
  return out;
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

char* Compact(const char* in, uint64_t keep, char* out) {
#if defined(TOLVANE_HAVE_SSSE3_PATH)
  if (useByteShuffle) return CompactWindowSsse3(in, keep, out);
#endif
  return CompactWindow(in, keep, out);
}

// Decodes the window at `i`, which holds no quote that closes the literal, and moves `i` past
// it (or past an escape that crosses its end); returns the end written, or null on a bad
// escape. The window is packed by dropping its escaping backslashes, without a branch per
// byte, once any one-letter escapes in it (\n, \t, ...; \" \\ \/ stand for themselves) have
// been put in place; a window with a \u escape is decoded escape by escape. `escaped` and
// `quotes` are the window's escaped bytes and quotes, `carried` whether its first byte is
// escaped by the backslash that ended the window before; `carry`, that for the next window,
// is cleared when the window is decoded escape by escape.
char* DecodeWindow(std::string_view literal, size_t& i, uint64_t backslashes, uint64_t escaped,
                   uint64_t quotes, uint64_t carried, uint64_t& carry, char* out) {
  const char* p = literal.data() + i;
  // The write position never passes the read position and the window ends inside the
  // literal, so what is written beyond the kept bytes stays inside `out`.
  const uint64_t keep = ~(backslashes & ~escaped);
  uint64_t letters = escaped & ~(backslashes | quotes);
  if (letters != 0) letters &= ~ByteMask(p, '/');
  if (letters == 0) {
    i += kWindow;
    return Compact(p, keep, out);
  }
  char window[kWindow];
  std::memcpy(window, p, kWindow);
  for (; letters != 0; letters &= letters - 1) {
    const int at = __builtin_ctzll(letters);
    const char value = kEscapes.value[static_cast<unsigned char>(window[at])];
    if (value == '\0') {
      // Back to the backslash that ended the last window, which was dropped, not written.
      i -= carried;
      carry = 0;
      return DecodeSlowly(literal, i, i + carried + kWindow, out);
    }
    window[at] = value;
  }
  i += kWindow;
  return Compact(window, keep, out);
}

// Decodes byte by byte from `i` up to the quote that closes the literal, or up to `stop`
// when that comes first (`i` then rests on a byte no backslash escapes); the end written, or
// null when the text ends first or an escape is bad.
char* DecodeUpToQuote(std::string_view text, size_t& i, size_t stop, char* out) {
  const char* p = text.data();
  size_t at = i;
  while (out != nullptr && at < stop && p[at] != '"') {
    if (p[at] != '\\') {
      *out++ = p[at++];
    } else {
      out = DecodeEscape(text, at, out);
    }
  }
  i = at;
  return at < text.size() ? out : nullptr;
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
  out = DecodeUpToQuote(text, i, std::min(n, i + kShortLiteral), out);
  if (out == nullptr) return {};
  if (p[i] == '"') return finish(i);
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
      out = DecodeUpToQuote(text, i, close, out);
      return out != nullptr ? finish(close) : DecodedLiteral{};
    }
    char* const windowStart = out;
    out = DecodeWindow(text, i, backslashes, escaped, quotes, carried, carry, out);
    if (out == nullptr) return {};
    if (kHash) {
      // One window behind: those bytes are written by now, and the multiply chain runs while
      // the next windows are decoded.
      hash = ChunkHashStep(hash, hashed, windowStart);
      hashed = windowStart;
    }
  }
  i -= carry;
  out = DecodeUpToQuote(text, i, n, out);
  return out != nullptr ? finish(i) : DecodedLiteral{};
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
    out = DecodeWindow(literal, i, backslashes, escaped, ByteMask(p + i, '"'), carried, carry, out);
    if (out == nullptr) return nullptr;
  }
  i -= carry;
  return DecodeSlowly(literal, i, close, out);
}

DecodedLiteral DecodeLiteralToClose(std::string_view text, size_t open, char* out, uint32_t* hash) {
  uint32_t unused = 0;
  return hash != nullptr ? DecodeToClose<true>(text, open, out, *hash)
                         : DecodeToClose<false>(text, open, out, unused);
}

}  // namespace vantrel
