#pragma once

#include <string>
#include <string_view>

// Text from outside (arguments, paths, aliases, lines of a file) made safe to print on a terminal: every byte or
// character that a terminal could take as a command is written as a visible escape instead. C0 controls and DEL
// become "\xNN" ("\t", "\n" and "\r" by their names), C1 controls U+0080..U+009F "\u0080".."\u009F", and bytes
// that are no valid UTF-8 "\xNN"; a backslash stays itself. Printable UTF-8 passes unchanged.
std::string EscapeForTerminal(std::string_view text);

// The same for a whole message of several lines: its line breaks stay line breaks, every other control is escaped.
std::string EscapeMessageForTerminal(std::string_view message);
