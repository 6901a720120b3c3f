#pragma once

// A PDF document's bookmarks and its description (the information dictionary).

#include <string>
#include <string_view>
#include <vector>

class TPdfFile;

// One bookmark: its title, its depth (0 at the top, at most one below the bookmark before it), the page it goes to
// (0 for the document's first) and the row there, from the page's top, in points.
struct TPdfOutlineItem {
  std::string Title;
  int Level = 0;
  int PageIndex = 0;
  double Top = 0;
};

// What the information dictionary says. The creator is this program and its version, the producer "relclientes",
// the date when it is written.
struct TPdfInfo {
  std::string Title;
  std::string Subject;
  std::string Author;
};

// A text as a PDF text string: printable ASCII as a literal string, anything else as UTF-16 with its byte order
// mark, in hexadecimal, so that any character survives.
std::string PdfTextString(std::string_view utf8);

// The full name of the user running the program, from the system's user database, or empty.
std::string CurrentUserFullName();

// "relclientes <version>".
std::string PdfCreator();

// The information dictionary, dated `date` (a PDF date).
std::string PdfInfoDictionary(const TPdfInfo& info, std::string_view date);

// Writes the outline's objects, each item to its page object at its row, and returns the number of the outline's
// root (for the catalog's /Outlines), or 0 when no item has a page. `pageObjects` and `pageHeights` (in points)
// are the document's pages in order.
int WritePdfOutline(TPdfFile& pdf, const std::vector<TPdfOutlineItem>& items, const std::vector<int>& pageObjects,
                    const std::vector<double>& pageHeights);
