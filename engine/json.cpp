#include "engine/json.h"

// SSE2 is part of every x86-64 processor, the product's only target.
#include <emmintrin.h>

#include <algorithm>
#include <array>
#include <cstdint>
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

// The one pass behind every lookup: tells `selector` where each token at depth 1 starts
// (`start`, its first byte) and ends (`end`, its last byte, which returns true to stop). Keys
// and values at depth 1 thus come as strictly alternating start/end pairs, whatever is looked
// for. Returns true when the selector stopped the scan, false when a byte is malformed or the
// text ends first.
template <typename Selector>
bool scan_tokens(const byte* p, const byte* const end, Selector& selector) {
  std::ptrdiff_t depth = 0;
  while (p < end) {
    switch (tables.kinds[*p]) {
      case separator:
        ++p;
        break;
      case quote:
        if (depth == 1) selector.start(p);
        p = skip_string(p + 1, end);
        if (!p) return false;
        if (depth == 1 && selector.end(p)) return true;
        ++p;
        break;
      case opener:
        if (depth == 1) selector.start(p);
        ++depth;
        ++p;
        break;
      case closer:
        --depth;
        if (depth == 1 && selector.end(p)) return true;
        ++p;
        break;
      case literal_start:
        if (depth == 1) selector.start(p);
        do {
          ++p;
        } while (p < end && (tables.classes[*p] & literal_byte));
        if (p == end) return false;
        // Only whitespace, a separator or a closing bracket may end a literal; it is read
        // again between tokens.
        if (*p < 0x20 && *p != '\t' && *p != '\n' && *p != '\r') return false;
        if (*p > 0x7E) return false;
        if (depth == 1 && selector.end(p - 1)) return true;
        break;
      case invalid:
        return false;
    }
  }
  return false;
}

// Bytes strictly between a token's first and last byte: what a key candidate is compared by.
std::size_t inner_length(const byte* first, const byte* last) {
  return last > first ? static_cast<std::size_t>(last - first - 1) : 0;
}

// One key (counter starting at 1) or one index (the counter): a counter of 0 makes the next
// token the value; a key candidate that does not match sets it to 2, skipping its value.
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

  bool end(const byte* last) {
    if (found_ && counter_ == 0) {
      found_last_ = last;
      return true;
    }
    if (key_ && candidate_) {
      const std::size_t inner = inner_length(candidate_, last);
      const bool match = inner == key_length_ && std::memcmp(candidate_ + 1, key_, inner) == 0;
      counter_ = match ? 0 : 2;
      candidate_ = nullptr;
    }
    return false;
  }

  const byte* found() const { return found_; }
  const byte* found_last() const { return found_last_; }

 private:
  const char* key_;
  std::size_t key_length_;
  std::ptrdiff_t counter_;
  const byte* candidate_ = nullptr;
  const byte* found_ = nullptr;
  const byte* found_last_ = nullptr;
};

// Sets `out` to what json_get gives for a found token: a string decoded (empty on `\u`), any
// other token's text unchanged.
void assign_token(std::string& out, const char* value, std::size_t length) {
  if (value[0] != '"') {
    out.assign(value, length);
    return;
  }
  const char* const first = value + 1;
  const char* const last = value + length - 1;  // the closing quote
  if (!std::memchr(first, '\\', static_cast<std::size_t>(last - first))) {
    out.assign(first, last);
    return;
  }
  // The scan has checked that every backslash is followed by an escape letter inside the token.
  std::size_t decoded_length = 0;
  for (const char* p = first; p < last; ++p, ++decoded_length) {
    if (*p != '\\') continue;
    ++p;
    if (*p == 'u') {
      out.clear();
      return;
    }
  }
  out.resize(decoded_length);
  char* o = &out[0];
  for (const char* p = first; p < last; ++p) {
    if (*p != '\\') {
      *o++ = *p;
      continue;
    }
    switch (*++p) {
      case 'b':
        *o++ = '\b';
        break;
      case 'f':
        *o++ = '\f';
        break;
      case 'n':
        *o++ = '\n';
        break;
      case 'r':
        *o++ = '\r';
        break;
      case 't':
        *o++ = '\t';
        break;
      default:  // '"', '\\' or '/'
        *o++ = *p;
        break;
    }
  }
}

// Up to `capacity` keys at once, each settled exactly as member_selector settles it: as the
// pairing of key and value tokens is the same for every key, each key candidate is compared
// with every key still open, and the value after it settles the keys it matched; for the keys
// it did not match it is a skipped value, as it is for member_selector. An empty key stands
// for index 0, as in json_get: the first token, settled where it ends.
class members_selector {
 public:
  static constexpr std::size_t capacity = 64;

  members_selector(const std::string_view* keys, std::string* values, std::size_t count)
      : keys_(keys),
        values_(values),
        count_(count),
        open_(count == capacity ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1) {
    for (std::size_t i = 0; i < count; ++i) {
      if (keys[i].empty()) first_token_keys_ |= std::uint64_t{1} << i;
    }
  }

  void start(const byte* token) { token_ = token; }

  bool end(const byte* last) {
    if (value_next_) {
      value_next_ = false;
      settle(matched_, last);
      matched_ = 0;
      return open_ == 0;
    }
    value_next_ = true;
    settle(first_token_keys_, last);
    first_token_keys_ = 0;
    const std::size_t inner = inner_length(token_, last);
    for (std::size_t i = 0; i < count_; ++i) {
      if ((open_ >> i & 1) && keys_[i].size() == inner &&
          std::memcmp(keys_[i].data(), token_ + 1, inner) == 0) {
        matched_ |= std::uint64_t{1} << i;
      }
    }
    return open_ == 0;
  }

 private:
  void settle(std::uint64_t keys, const byte* last) {
    if (keys == 0) return;
    const auto* const value = reinterpret_cast<const char*>(token_);
    const std::size_t length = static_cast<std::size_t>(last - token_) + 1;
    for (std::size_t i = 0; i < count_; ++i) {
      if (keys >> i & 1) assign_token(values_[i], value, length);
    }
    open_ &= ~keys;
  }

  const std::string_view* keys_;
  std::string* values_;
  std::size_t count_;
  std::uint64_t open_;  // keys not yet settled
  std::uint64_t first_token_keys_ = 0;
  std::uint64_t matched_ = 0;  // keys whose value is the next token
  bool value_next_ = false;
  const byte* token_ = nullptr;
};

}  // namespace

int json_scan(const char* text, std::size_t length, const char* key,
              std::ptrdiff_t key_length_or_index, const char** value, std::size_t* value_length) {
  *value = nullptr;
  *value_length = 0;
  if (key_length_or_index < 0) return -1;
  member_selector selector(key, key_length_or_index);
  const auto* const first = reinterpret_cast<const byte*>(text);
  if (!scan_tokens(first, first + length, selector)) return -1;
  *value = reinterpret_cast<const char*>(selector.found());
  *value_length = static_cast<std::size_t>(selector.found_last() - selector.found()) + 1;
  return 0;
}

std::string json_get(std::string_view text, std::string_view key, int index) {
  const char* value = nullptr;
  std::size_t length = 0;
  const int status = key.empty()
                         ? json_scan(text.data(), text.size(), nullptr, index, &value, &length)
                         : json_scan(text.data(), text.size(), key.data(),
                                     static_cast<std::ptrdiff_t>(key.size()), &value, &length);
  std::string member;
  if (status == 0) assign_token(member, value, length);
  return member;
}

void json_get_members(std::string_view text, const std::string_view* keys, std::string* values,
                      std::size_t count) {
  const auto* const first = reinterpret_cast<const byte*>(text.data());
  for (std::size_t done = 0; done < count; done += members_selector::capacity) {
    const std::size_t n = std::min(count - done, members_selector::capacity);
    for (std::size_t i = 0; i < n; ++i) values[done + i].clear();
    members_selector selector(keys + done, values + done, n);
    scan_tokens(first, first + text.size(), selector);
  }
}

}  // namespace webview::detail
