#include "pdf/PdfOutline.h"

#include "pdf/PdfFile.h"

#include <QString>

#include <algorithm>
#include <cstdio>

#include <pwd.h>
#include <unistd.h>

#ifndef RELCLIENTES_VERSION
#define RELCLIENTES_VERSION "0"
#endif

std::string PdfTextString(std::string_view utf8) {
  // Plain printable ASCII stays a literal string, readable in the file; anything else is UTF-16.
  if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return c >= 0x20 && c < 0x7F; })) {
    std::string out = "(";
    for (char c : utf8) {
      if (c == '(' || c == ')' || c == '\\') out += '\\';
      out += c;
    }
    return out + ')';
  }
  const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  std::string out = "<FEFF";
  out.reserve(out.size() + static_cast<std::size_t>(text.size()) * 4 + 1);
  char unit[5];
  for (QChar c : text) {
    std::snprintf(unit, sizeof unit, "%04X", static_cast<unsigned>(c.unicode()));
    out += unit;
  }
  out += '>';
  return out;
}

std::string CurrentUserFullName() {
  const passwd* user = ::getpwuid(::getuid());
  if (!user || !user->pw_gecos) return {};
  // The comment field holds the full name, then office and telephones after commas.
  std::string name = user->pw_gecos;
  name = name.substr(0, name.find(','));
  return name;
}

std::string PdfCreator() { return std::string("relclientes ") + RELCLIENTES_VERSION; }

std::string PdfInfoDictionary(const TPdfInfo& info, std::string_view date) {
  std::string out = "<<";
  const auto entry = [&](const char* key, const std::string& text) {
    if (!text.empty()) out += std::string(" /") + key + ' ' + PdfTextString(text);
  };
  entry("Title", info.Title);
  entry("Subject", info.Subject);
  entry("Author", info.Author);
  entry("Creator", PdfCreator());
  // The writer itself, as it always named itself.
  entry("Producer", "relclientes");
  out += " /CreationDate (" + std::string(date) + ") >>";
  return out;
}

int WritePdfOutline(TPdfFile& pdf, const std::vector<TPdfOutlineItem>& items, const std::vector<int>& pageObjects,
                    const std::vector<double>& pageHeights) {
  // Only the items that have a page; their levels kept at most one deeper than the item before.
  std::vector<TPdfOutlineItem> kept;
  for (const TPdfOutlineItem& item : items) {
    if (item.PageIndex < 0 || item.PageIndex >= static_cast<int>(pageObjects.size())) continue;
    kept.push_back(item);
    const int deepest = kept.size() > 1 ? kept[kept.size() - 2].Level + 1 : 0;
    kept.back().Level = std::clamp(item.Level, 0, deepest);
  }
  if (kept.empty()) return 0;

  struct Node {
    int object = 0, parent = -1, first = -1, last = -1, prev = -1, next = -1, descendants = 0;
  };
  std::vector<Node> nodes(kept.size());
  std::vector<int> open;  // open[level]: the latest item at that level
  for (std::size_t i = 0; i < kept.size(); ++i) {
    const auto level = static_cast<std::size_t>(kept[i].Level);
    open.resize(level);
    Node& node = nodes[i];
    node.parent = open.empty() ? -1 : open.back();
    const int self = static_cast<int>(i);
    if (node.parent >= 0) {
      Node& parent = nodes[static_cast<std::size_t>(node.parent)];
      if (parent.last >= 0) {
        node.prev = parent.last;
        nodes[static_cast<std::size_t>(parent.last)].next = self;
      } else {
        parent.first = self;
      }
      parent.last = self;
    }
    for (int up = node.parent; up >= 0; up = nodes[static_cast<std::size_t>(up)].parent) {
      ++nodes[static_cast<std::size_t>(up)].descendants;
    }
    open.push_back(self);
  }
  // The items at the top hang from the root.
  int root_first = -1, root_last = -1;
  for (std::size_t i = 0; i < kept.size(); ++i) {
    if (nodes[i].parent >= 0) continue;
    const int self = static_cast<int>(i);
    if (root_last >= 0) {
      nodes[i].prev = root_last;
      nodes[static_cast<std::size_t>(root_last)].next = self;
    } else {
      root_first = self;
    }
    root_last = self;
  }

  const int root = pdf.Reserve();
  for (Node& node : nodes) node.object = pdf.Reserve();
  const auto ref = [&](int index) { return std::to_string(nodes[static_cast<std::size_t>(index)].object) + " 0 R"; };
  for (std::size_t i = 0; i < kept.size(); ++i) {
    const Node& node = nodes[i];
    const TPdfOutlineItem& item = kept[i];
    const auto page = static_cast<std::size_t>(item.PageIndex);
    std::string body = "<< /Title " + PdfTextString(item.Title) + " /Parent " +
                       (node.parent >= 0 ? ref(node.parent) : std::to_string(root) + " 0 R");
    if (node.prev >= 0) body += " /Prev " + ref(node.prev);
    if (node.next >= 0) body += " /Next " + ref(node.next);
    if (node.first >= 0) {
      // Closed, so that a long list opens on its top level: the count of the hidden descendants, negative.
      body +=
          " /First " + ref(node.first) + " /Last " + ref(node.last) + " /Count -" + std::to_string(node.descendants);
    }
    body += " /Dest [" + std::to_string(pageObjects[page]) + " 0 R /XYZ 0 ";
    AppendPdfNumber(body, std::max(0.0, pageHeights[page] - item.Top));
    body += " null] >>";
    pdf.WriteObject(node.object, body);
  }
  int top_count = 0;
  for (const Node& node : nodes) top_count += node.parent < 0 ? 1 : 0;
  pdf.WriteObject(root, "<< /Type /Outlines /First " + ref(root_first) + " /Last " + ref(root_last) + " /Count " +
                            std::to_string(top_count) + " >>");
  return root;
}
