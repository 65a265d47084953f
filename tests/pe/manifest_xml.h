// A reader of the XML that application manifests are written in: elements, attributes, text,
// comments and namespaces. No DTD, CDATA or character references, which manifests do without.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace webview::detail {

class xml_format_error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct xml_element {
  std::string ns;    // the resolved namespace name, empty for none
  std::string name;  // the local name
  // By name as written, without the xmlns declarations.
  std::vector<std::pair<std::string, std::string>> attributes;
  std::string text;  // the character data directly inside, entities replaced
  std::vector<xml_element> children;

  // The attribute's value, or null when absent.
  const std::string* attribute(std::string_view attribute_name) const;
};

// The root element of a whole document. Throws xml_format_error when it is not well formed or
// uses a namespace prefix it does not declare.
xml_element parse_xml(std::string_view document);

}  // namespace webview::detail
