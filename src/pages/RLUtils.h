#pragma once

// Small routines the report engine uses everywhere: temporary files, text tokens, file extensions, line breaks and
// rectangle arithmetic.

#include "graphics/Geometry.h"

#include <functional>
#include <string>
#include <string_view>

// The folder for temporary files, with a trailing "/", read once per process.
const std::string& TempDir();

// A name in the temporary folder, "~mx" + a random number + ".tmp", that did not exist when it was chosen.
std::string NewTempFileName();

// Creates a new temporary file exclusively (readable and writable by the user only), "~mx" + the process id + "-" +
// a number + ".tmp", locked while its descriptor is open and removed on SIGTERM, SIGINT or SIGHUP (and by a later
// run when this process was killed), and returns its open descriptor; `fileName` receives the name. Raises
// EFCreateError when it cannot.
int CreateTempFile(std::string& fileName);

// Files in this list are deleted when the process ends.
void RegisterTempFile(const std::string& fileName);
void UnregisterTempFile(const std::string& fileName);
bool IsTempFileRegistered(const std::string& fileName);

// The n-th field (from 1) of `text` split at `separator`; empty when there are fewer fields.
std::string Token(std::string_view text, int n, char separator);

// "." + ext, unless ext is empty or already starts with ".".
std::string FormatFileExt(std::string_view ext);

// Looks backwards from position `pos` (from 1) for the gap between two words and inserts one space there, after
// the last character of the earlier word; `pos` is left on that character. False when no gap lies before pos.
bool FindLineBreak(std::string& text, int& pos);
// The same, trying once more from the end of the text when nothing is found before pos.
bool FindLineBreakWrapping(std::string& text, int& pos);
// `text` after `spaces` calls of FindLineBreakWrapping starting from its end: the gaps take one space each in turn,
// from the last gap backwards. Built in one pass, whatever the count. `text` itself when it has no gap.
std::string WidenedLine(std::string_view text, long long spaces);
// A justified line: `text` widened as FindLineBreakWrapping widens it until `measure` finds it wider than `room`.
// It stops early at kMaxJustifySpaces spaces, or when one more space does not widen the text (a font whose space
// measures nothing). The number of spaces is searched for, so that a huge room costs a few dozen measurements, not
// one per space; `measure` must not shrink as spaces are added.
constexpr long long kMaxJustifySpaces = 100000;
std::string JustifiedLine(std::string_view text, long long room, const std::function<int(const std::string&)>& measure);

// round(value), halves to even, held inside the int range (coordinates from damaged data may be anything).
int RoundToInt(double value);
// a + b held inside the int range.
int AddClamped(int a, int b);

int RectWidth(const TRect& rect);
int RectHeight(const TRect& rect);
// The rectangle moved so that its top-left corner is at (x, y).
TRect MoveRect(const TRect& rect, int x, int y);
// The rectangle shrunk (or grown) by the left, top, right and bottom values of `amounts`.
TRect ReduceRect(const TRect& rect, const TRect& amounts);
TRect IncreaseRect(const TRect& rect, const TRect& amounts);

template <typename T>
void FreeAndNil(T*& object) {
  T* doomed = object;
  object = nullptr;
  delete doomed;
}

// Deletes the stale "ZOru.log" beside the executable; the engine calls it once at start-up.
void DeleteStaleEngineLog();
