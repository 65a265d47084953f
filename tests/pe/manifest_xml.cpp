#include "tests/pe/manifest_xml.h"

#include <algorithm>

namespace webview::detail {
namespace {

constexpr std::size_t max_depth = 64;

// Namespace declarations in force: (prefix, name) pairs, innermost last; "" is the default.
using namespace_scope = std::vector<std::pair<std::string, std::string>>;

class xml_parser {
 public:
  explicit xml_parser(std::string_view text) : text_(text) {}

  xml_element document() {
    if (starts("\xEF\xBB\xBF")) pos_ = 3;
    if (starts("<?xml")) skip_past("?>");
    skip_misc();
    if (!starts("<")) fail("no root element");
    xml_element root = element(namespace_scope{}, 0);
    skip_misc();
    if (pos_ != text_.size()) fail("content after the root element");
    return root;
  }

 private:
  [[noreturn]] void fail(const std::string& why) const {
    throw xml_format_error(why + " at byte " + std::to_string(pos_));
  }

  bool starts(std::string_view s) const { return text_.substr(pos_).substr(0, s.size()) == s; }

  void skip_past(std::string_view end) {
    const std::size_t at = text_.find(end, pos_);
    if (at == std::string_view::npos) fail("unterminated markup");
    pos_ = at + end.size();
  }

  void skip_space() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                   text_[pos_] == '\r' || text_[pos_] == '\n')) {
      ++pos_;
    }
  }

  // Whitespace and comments, as allowed around the root element.
  void skip_misc() {
    for (skip_space(); starts("<!--"); skip_space()) skip_past("-->");
  }

  void expect(char c) {
    if (pos_ >= text_.size() || text_[pos_] != c) fail(std::string("expected '") + c + "'");
    ++pos_;
  }

  std::string name() {
    const std::size_t start = pos_;
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      const bool name_char = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                             (c >= '0' && c <= '9') || c == '_' || c == ':' || c == '.' || c == '-';
      if (!name_char) break;
      ++pos_;
    }
    if (pos_ == start) fail("expected a name");
    return std::string(text_.substr(start, pos_ - start));
  }

  std::string unescape(std::string_view raw) const {
    static const std::pair<std::string_view, char> entities[] = {
        {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string out;
    for (std::size_t i = 0; i < raw.size();) {
      if (raw[i] == '<') fail("'<' in character data");
      if (raw[i] != '&') {
        out.push_back(raw[i++]);
        continue;
      }
      bool known = false;
      for (const auto& [entity, c] : entities) {
        if (raw.substr(i, entity.size()) == entity) {
          out.push_back(c);
          i += entity.size();
          known = true;
          break;
        }
      }
      if (!known) fail("unknown entity");
    }
    return out;
  }

  std::string namespace_of(const std::string& prefix, const namespace_scope& scope) const {
    for (auto it = scope.rbegin(); it != scope.rend(); ++it) {
      if (it->first == prefix) return it->second;
    }
    if (!prefix.empty()) fail("undeclared prefix " + prefix);
    return {};
  }

  xml_element element(namespace_scope scope, std::size_t depth) {
    if (depth == max_depth) fail("elements nested too deeply");
    expect('<');
    const std::string qualified = name();
    xml_element e;
    while (true) {
      const std::size_t before = pos_;
      skip_space();
      if (starts("/>") || starts(">")) break;
      if (pos_ == before) fail("expected whitespace before an attribute");
      std::string attribute = name();
      skip_space();
      expect('=');
      skip_space();
      if (pos_ >= text_.size() || (text_[pos_] != '"' && text_[pos_] != '\'')) {
        fail("unquoted attribute value");
      }
      const char quote = text_[pos_++];
      const std::size_t end = text_.find(quote, pos_);
      if (end == std::string_view::npos) fail("unterminated attribute value");
      std::string value = unescape(text_.substr(pos_, end - pos_));
      pos_ = end + 1;
      if (attribute == "xmlns") {
        scope.emplace_back("", std::move(value));
      } else if (attribute.rfind("xmlns:", 0) == 0) {
        scope.emplace_back(attribute.substr(6), std::move(value));
      } else {
        e.attributes.emplace_back(std::move(attribute), std::move(value));
      }
    }
    const std::size_t colon = qualified.find(':');
    e.name = colon == std::string::npos ? qualified : qualified.substr(colon + 1);
    e.ns = namespace_of(colon == std::string::npos ? "" : qualified.substr(0, colon), scope);
    if (starts("/>")) {
      pos_ += 2;
      return e;
    }
    ++pos_;
    while (true) {
      if (pos_ >= text_.size()) fail("<" + qualified + "> not closed");
      if (starts("<!--")) {
        skip_past("-->");
      } else if (starts("</")) {
        pos_ += 2;
        if (name() != qualified) fail("end tag does not match <" + qualified + ">");
        skip_space();
        expect('>');
        return e;
      } else if (starts("<")) {
        e.children.push_back(element(scope, depth + 1));
      } else {
        const std::size_t end = std::min(text_.find('<', pos_), text_.size());
        e.text += unescape(text_.substr(pos_, end - pos_));
        pos_ = end;
      }
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

const std::string* xml_element::attribute(std::string_view attribute_name) const {
  for (const auto& [key, value] : attributes) {
    if (key == attribute_name) return &value;
  }
  return nullptr;
}

xml_element parse_xml(std::string_view document) { return xml_parser(document).document(); }

}  // namespace webview::detail
