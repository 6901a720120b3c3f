// Feeds arbitrary text to the report's expression parser. Every text either gives a value or fails with one of
// the program's own errors (a parse error, or the error of the operation that failed); nothing else may escape,
// and a text parses to the same tree shape every time.
#include "core/Exceptions.h"
#include "report/RLParser.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// The tree as text: kinds and child counts, depth first.
void Shape(const TRLParserNode* node, std::string& out) {
  if (!node) return;
  out += std::to_string(static_cast<int>(node->Kind())) + "(";
  for (int i = 0; i < node->ChildCount(); ++i) Shape(node->Children(i), out);
  out += ")";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  TRLExpressionParser parser(nullptr);
  std::string first, second;
  bool parsed = true;
  try {
    Shape(parser.Parse(text).get(), first);
  } catch (const ERLParserError&) {
    parsed = false;
  }
  if (parsed) {
    Shape(parser.Parse(text).get(), second);
    if (first != second) std::abort();
  }
  try {
    (void)parser.Evaluate(text);
  } catch (const Exception&) {
    // The program's own errors are answers; anything else escaping is a fault.
  }
  return 0;
}
