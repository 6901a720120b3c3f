#pragma once

// PNG files of opaque images, written without the general image writer: rows unfiltered and deflated fast by
// libdeflate. Why by hand: for the 156 pages of a 10,000-row report, Qt's writer (libpng over zlib) spent 68 G
// instructions, 47% of them choosing row filters and about 45% in zlib; libpng told to skip filtering would still
// deflate through zlib, several times slower than libdeflate at its fastest level. Pages of text are mostly runs of
// white, which the deflater's matches catch as well as a row filter would: those pages came out 10% smaller
// (25.0 MB against 27.7 MB) for about a seventh of the instructions spent encoding. The format's framing (signature,
// chunks, CRCs) is all this file writes itself.

#include <string>

class QImage;

// The PNG file (8-bit RGB, with the image's resolution) of an image whose alpha channel is ignored (a 32-bit RGB
// image); `level` is the deflater's, 1 (fastest) to 12.
std::string EncodeOpaquePng(const QImage& image, int level);
