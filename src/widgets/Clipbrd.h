#pragma once

#include <memory>
#include <string>

class TBitmap;

// The platform's clipboard.
class TClipboard {
public:
  // Puts a copy of the bitmap's pixels on the clipboard, replacing what it held.
  void Assign(const TBitmap& bitmap);
  bool HasPicture() const;
  // The picture on the clipboard, or null when it holds none.
  std::unique_ptr<TBitmap> Bitmap() const;
  void SetText(const std::string& text);
  std::string Text() const;
  void Clear();
};

TClipboard& Clipboard();
