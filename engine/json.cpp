#include "engine/json.h"

// SSE2 is part of every x86-64 processor, the product's only target.
#include <emmintrin.h>

#include <array>
#include <cstring>

#if defined(_MSC_VER)
#include <intrin.h>
#endif

namespace webview::detail {
namespace {

using byte = unsigned char;

enum byte_class : byte {
  literal_byte = 1,  // continues a number or true/false/null literal
  string_byte = 2,   // stands for itself inside a string, with no check of what follows
};

// What a byte does between tokens.
enum token_kind : byte { invalid, separator, quote, opener, closer, literal_start };

struct byte_tables {
  std::array<byte, 256> classes{};
  std::array<token_kind, 256> kinds{};
};

constexpr byte_tables make_byte_tables() {
  byte_tables tables{};
  for (int c = 0x21; c < 0x7F; ++c) {
    if (c != ',' && c != ':' && c != '}' && c != ']') tables.classes[c] |= literal_byte;
  }
  for (int c = 0x20; c < 0x7F; ++c) {
    if (c != '"' && c != '\\') tables.classes[c] |= string_byte;
  }
  // Bytes that can neither lead nor continue a UTF-8 sequence are passed through unchecked.
  for (int c = 0xF7; c < 0x100; ++c) tables.classes[c] |= string_byte;
  for (const char c : {'\t', '\n', '\r', ' ', ',', ':'}) tables.kinds[byte(c)] = separator;
  for (const char c : {'{', '['}) tables.kinds[byte(c)] = opener;
  for (const char c : {'}', ']'}) tables.kinds[byte(c)] = closer;
  for (const char c : {'t', 'f', 'n', '-'}) tables.kinds[byte(c)] = literal_start;
  for (int c = '0'; c <= '9'; ++c) tables.kinds[c] = literal_start;
  tables.kinds['"'] = quote;
  return tables;
}

constexpr byte_tables tables = make_byte_tables();

// Bit i set when byte i of the sixteen at `p` needs a look inside a string: it is below 0x20
// or from 0x7F up, or a quote or a backslash.
unsigned string_marks(const byte* p) {
  const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  // As signed bytes, everything from 0x80 up is negative, so one compare takes it with the
  // control bytes.
  const __m128i low_or_high = _mm_cmplt_epi8(x, _mm_set1_epi8(0x20));
  const __m128i del = _mm_cmpeq_epi8(x, _mm_set1_epi8(0x7F));
  const __m128i quote = _mm_cmpeq_epi8(x, _mm_set1_epi8('"'));
  const __m128i backslash = _mm_cmpeq_epi8(x, _mm_set1_epi8('\\'));
  return static_cast<unsigned>(_mm_movemask_epi8(
      _mm_or_si128(_mm_or_si128(low_or_high, del), _mm_or_si128(quote, backslash))));
}

int lowest_bit(unsigned marks) {
#if defined(_MSC_VER)
  unsigned long index;
  _BitScanForward(&index, marks);
  return static_cast<int>(index);
#else
  return __builtin_ctz(marks);
#endif
}

bool is_escape(byte c) {
  switch (c) {
    case '"':
    case '/':
    case '\\':
    case 'b':
    case 'f':
    case 'n':
    case 'r':
    case 't':
    case 'u':
      return true;
    default:
      return false;
  }
}

// Number of continuation bytes announced by a lead byte from 0xC0 to 0xF6.
int continuation_count(byte lead) {
  if (lead < 0xE0) return 1;
  return lead < 0xF0 ? 2 : 3;
}

// Checks a string's bytes after its opening quote; returns its closing quote, or null when a
// byte is malformed or the text ends first.
const byte* skip_string(const byte* p, const byte* end) {
  for (;;) {
    for (unsigned marks = 0; marks == 0 && end - p >= 16;) {
      marks = string_marks(p);
      p += marks ? lowest_bit(marks) : 16;
    }
    while (p < end && (tables.classes[*p] & string_byte)) ++p;
    if (p == end) return nullptr;
    const byte c = *p++;
    if (c == '"') return p - 1;
    if (c == '\\') {
      if (p == end || !is_escape(*p)) return nullptr;
      ++p;
      continue;
    }
    if (c < 0xC0) return nullptr;  // a control byte, DEL or a stray continuation byte
    for (int follow = continuation_count(c); follow > 0; --follow, ++p) {
      if (p == end || (*p & 0xC0) != 0x80) return nullptr;
    }
  }
}

// Acts on the tokens and closing brackets met at depth 1.
class member_selector {
 public:
  member_selector(const char* key, std::ptrdiff_t key_length_or_index)
      : key_(key),
        key_length_(key ? static_cast<std::size_t>(key_length_or_index) : 0),
        counter_(key ? 1 : key_length_or_index) {}

  void start(const byte* token) {
    if (counter_ == 0) {
      found_ = token;
    } else if (key_ && counter_ == 1) {
      candidate_ = token;
    } else {
      --counter_;
    }
  }

  // True when `last` ends the selected value.
  bool end(const byte* last) {
    if (found_ && counter_ == 0) return true;
    if (key_ && candidate_) {
      const std::size_t inner = last > candidate_ ? last - candidate_ - 1 : 0;
      const bool match = inner == key_length_ && std::memcmp(candidate_ + 1, key_, inner) == 0;
      counter_ = match ? 0 : 2;
      candidate_ = nullptr;
    }
    return false;
  }

  const byte* found() const { return found_; }

 private:
  const char* key_;
  std::size_t key_length_;
  std::ptrdiff_t counter_;
  const byte* candidate_ = nullptr;
  const byte* found_ = nullptr;
};

}  // namespace

int json_scan(const char* text, std::size_t length, const char* key,
              std::ptrdiff_t key_length_or_index, const char** value, std::size_t* value_length) {
  *value = nullptr;
  *value_length = 0;
  if (key_length_or_index < 0) return -1;
  member_selector selector(key, key_length_or_index);
  const auto* p = reinterpret_cast<const byte*>(text);
  const byte* const end = p + length;
  std::ptrdiff_t depth = 0;
  const auto found = [&](const byte* last) {
    *value = reinterpret_cast<const char*>(selector.found());
    *value_length = static_cast<std::size_t>(last - selector.found()) + 1;
    return 0;
  };
  while (p < end) {
    switch (tables.kinds[*p]) {
      case separator:
        ++p;
        break;
      case quote:
        if (depth == 1) selector.start(p);
        p = skip_string(p + 1, end);
        if (!p) return -1;
        if (depth == 1 && selector.end(p)) return found(p);
        ++p;
        break;
      case opener:
        if (depth == 1) selector.start(p);
        ++depth;
        ++p;
        break;
      case closer:
        --depth;
        if (depth == 1 && selector.end(p)) return found(p);
        ++p;
        break;
      case literal_start:
        if (depth == 1) selector.start(p);
        do {
          ++p;
        } while (p < end && (tables.classes[*p] & literal_byte));
        if (p == end) return -1;
        // Only whitespace, a separator or a closing bracket may end a literal; it is read
        // again between tokens.
        if (*p < 0x20 && *p != '\t' && *p != '\n' && *p != '\r') return -1;
        if (*p > 0x7E) return -1;
        if (depth == 1 && selector.end(p - 1)) return found(p - 1);
        break;
      case invalid:
        return -1;
    }
  }
  return -1;
}

std::string json_get(std::string_view text, std::string_view key, int index) {
  const char* value = nullptr;
  std::size_t length = 0;
  const int status = key.empty()
                         ? json_scan(text.data(), text.size(), nullptr, index, &value, &length)
                         : json_scan(text.data(), text.size(), key.data(),
                                     static_cast<std::ptrdiff_t>(key.size()), &value, &length);
  if (status != 0) return {};
  if (value[0] != '"') return std::string(value, length);
  const char* const first = value + 1;
  const char* const last = value + length - 1;  // the closing quote
  if (!std::memchr(first, '\\', static_cast<std::size_t>(last - first))) {
    return std::string(first, last);
  }
  // The scan has checked that every backslash is followed by an escape letter inside the token.
  std::size_t decoded_length = 0;
  for (const char* p = first; p < last; ++p, ++decoded_length) {
    if (*p != '\\') continue;
    ++p;
    if (*p == 'u') return {};
  }
  std::string decoded(decoded_length, '\0');
  char* out = decoded.data();
  for (const char* p = first; p < last; ++p) {
    if (*p != '\\') {
      *out++ = *p;
      continue;
    }
    switch (*++p) {
      case 'b':
        *out++ = '\b';
        break;
      case 'f':
        *out++ = '\f';
        break;
      case 'n':
        *out++ = '\n';
        break;
      case 'r':
        *out++ = '\r';
        break;
      case 't':
        *out++ = '\t';
        break;
      default:  // '"', '\\' or '/'
        *out++ = *p;
        break;
    }
  }
  return decoded;
}

}  // namespace webview::detail
