#include "engine/json.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace webview::detail {
namespace {

using byte = unsigned char;

enum byte_class : byte {
  literal_byte = 1,  // continues a number or true/false/null literal
  string_byte = 2,   // stands for itself inside a string, with no check of what follows
};

constexpr std::array<byte, 256> make_byte_classes() {
  std::array<byte, 256> classes{};
  for (int c = 0x21; c < 0x7F; ++c) {
    if (c != ',' && c != ':' && c != '}' && c != ']') classes[c] |= literal_byte;
  }
  for (int c = 0x20; c < 0x7F; ++c) {
    if (c != '"' && c != '\\') classes[c] |= string_byte;
  }
  // Bytes that can neither lead nor continue a UTF-8 sequence are passed through unchecked.
  for (int c = 0xF7; c < 0x100; ++c) classes[c] |= string_byte;
  return classes;
}

constexpr std::array<byte, 256> byte_classes = make_byte_classes();

// True when none of the eight bytes needs a look inside a string: each is printable ASCII
// other than a quote or a backslash. Every lane is tested on its own (no carries between
// lanes once the high bits are known to be clear), so the answer is exact.
bool eight_string_bytes(const byte* p) {
  constexpr std::uint64_t ones = 0x0101010101010101u;
  constexpr std::uint64_t highs = ones * 0x80;
  std::uint64_t x;
  std::memcpy(&x, p, sizeof x);
  if (x & highs) return false;
  const std::uint64_t printable = (x + ones * 0x60) & ~(x + ones);  // >= 0x20 and != 0x7F
  const std::uint64_t not_quote = (x ^ (ones * '"')) + ones * 0x7F;
  const std::uint64_t not_backslash = (x ^ (ones * '\\')) + ones * 0x7F;
  return (printable & not_quote & not_backslash & highs) == highs;
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

// Number of continuation bytes a UTF-8 lead byte announces (0xF7 and above announce none).
int continuation_count(byte lead) {
  if (lead < 0xE0) return 1;
  if (lead < 0xF0) return 2;
  return lead < 0xF7 ? 3 : 0;
}

// Checks a string's bytes after its opening quote; returns its closing quote, or null when a
// byte is malformed or the text ends first.
const byte* skip_string(const byte* p, const byte* end) {
  for (;;) {
    while (end - p >= 8 && eight_string_bytes(p)) p += 8;
    while (p < end && (byte_classes[*p] & string_byte)) ++p;
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
    switch (*p) {
      case '\t':
      case '\n':
      case '\r':
      case ' ':
      case ',':
      case ':':
        ++p;
        break;
      case '"':
        if (depth == 1) selector.start(p);
        p = skip_string(p + 1, end);
        if (!p) return -1;
        if (depth == 1 && selector.end(p)) return found(p);
        ++p;
        break;
      case '{':
      case '[':
        if (depth == 1) selector.start(p);
        ++depth;
        ++p;
        break;
      case '}':
      case ']':
        --depth;
        if (depth == 1 && selector.end(p)) return found(p);
        ++p;
        break;
      case 't':
      case 'f':
      case 'n':
      case '-':
      case '0':
      case '1':
      case '2':
      case '3':
      case '4':
      case '5':
      case '6':
      case '7':
      case '8':
      case '9':
        if (depth == 1) selector.start(p);
        do {
          ++p;
        } while (p < end && (byte_classes[*p] & literal_byte));
        if (p == end) return -1;
        // Only whitespace, a separator or a closing bracket may end a literal; it is read
        // again between tokens.
        if (*p < 0x20 && *p != '\t' && *p != '\n' && *p != '\r') return -1;
        if (*p > 0x7E) return -1;
        if (depth == 1 && selector.end(p - 1)) return found(p - 1);
        break;
      default:
        return -1;
    }
  }
  return -1;
}

std::string json_get(std::string_view text, std::string_view key, int index) {
  const char* value = nullptr;
  std::size_t length = 0;
  const int status =
      key.empty() ? json_scan(text.data(), text.size(), nullptr, index, &value, &length)
                  : json_scan(text.data(), text.size(), key.data(),
                              static_cast<std::ptrdiff_t>(key.size()), &value, &length);
  if (status != 0) return {};
  if (value[0] != '"') return std::string(value, length);
  if (length < 3) return {};
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
