#pragma once

#include <string>

// The statement of the client report: every client ordered by city and name, or only the clients of one city.
// The city text goes into the literal exactly as given: no trimming, no change of case.
std::string ClientReportStatement(const std::string& city);

// A double-quoted string literal of the query language holding exactly `text` (a quote inside is doubled).
std::string QuotedLiteral(const std::string& text);
