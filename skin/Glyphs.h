#pragma once
// Line glyphs of the catalogue icons and the power buttons, drawn with 2 px strokes into a
// square box.

#include <QColor>
#include <QPainter>
#include <QRectF>

namespace skin {

// Draws the glyph that tells what catalogue item `id` does (401..418, 601..628, 701..703).
// Returns false for an id without a glyph.
bool drawCatalogueGlyph(QPainter& p, int id, const QRectF& box, const QColor& c);

}  // namespace skin
