#pragma once
// The two bitmap routines of the backlight picture: cutting an area mask out of a skin
// bitmap and colouring a mask with an area's colour.

#include <QImage>
#include <QPixmap>

#include <cstdint>

// A colour reference as the configuration stores colours: 0x00BBGGRR.
using ColourRef = std::uint32_t;

// The pixel (0x00RRGGBB) of a colour reference: its red and blue bytes swapped.
constexpr std::uint32_t pixelFromColourRef(ColourRef ref) {
    return ((ref & 0xFFu) << 16) | (ref & 0xFF00u) | ((ref >> 16) & 0xFFu);
}

// A new 32-bit (QImage::Format_RGB32) copy of `source` in which every pixel that is not the
// key colour 0xFF0103 is the mask background 0x0102FE; key-colour pixels stay. A null image
// when `source` is null.
QImage makeAreaMask(const QImage& source);
QImage makeAreaMask(const QPixmap& source);

// A new 32-bit (QImage::Format_RGB32) copy of `source` in which every key-colour pixel is the
// colour `colour` (a colour reference, 0x00BBGGRR); all other pixels stay. A null image when
// `source` is null.
QImage recolourAreaMask(ColourRef colour, const QImage& source);
QImage recolourAreaMask(ColourRef colour, const QPixmap& source);
