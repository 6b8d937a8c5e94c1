#pragma once
// Drawing primitives shared by every skin picture: the palette, the window frame, buttons,
// key caps, panels and the final colour-key pass that shapes a window.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>

#include "shell/SkinItem.h"

namespace skin {

// How an element is drawn: at rest, under the pointer, or active (assigned / selected).
enum class Look { Normal, Hover, Active };

QColor colour(SkinColour c);
QRect toQRect(SkinRect r);

namespace palette {
inline const QColor baseTop(30, 32, 37);
inline const QColor baseBottom(19, 20, 23);
inline const QColor edge(10, 10, 12);           // what anti-aliased outer edges blend against
inline const QColor frame(45, 48, 54);
inline const QColor frameHighlight(78, 83, 92);
inline const QColor recess(16, 17, 19);         // list areas, troughs
inline const QColor recessEdge(8, 8, 9);
inline const QColor recessLight(52, 56, 62);
inline const QColor text(210, 214, 220);
inline const QColor glyph(196, 201, 208);
inline const QColor dimGlyph(110, 116, 126);
inline const QColor accent(255, 111, 0);        // "assigned" and selected
inline const QColor accentLight(255, 170, 80);
inline const QColor hover(120, 200, 255);       // hover outline
}  // namespace palette

// A fresh picture of the given size, filled with the edge colour.
QImage newPicture(SkinSize size);

// A QPainter with anti-aliasing on, as every picture is drawn.
void prepare(QPainter& p);

// The window body: a rounded panel over the whole picture with a header band of the given
// height under a thin accent line. The rounding is what the colour key cuts out later.
void paintWindowBody(QPainter& p, QSize size, int radius, int headerHeight);

// Cuts the window's shape: every pixel whose centre lies outside the rounded rectangle of
// the whole picture becomes exactly `key`; inside, any pixel that happens to equal either
// cut-out key colour is nudged by one step so that it is never cut out.
void cutOut(QImage& image, int radius, SkinColour key);

// Nudges any pixel that equals a cut-out key colour (pictures without a shape of their own).
void clearKeyColours(QImage& image);

// A flat button panel inside `r`.
void drawButton(QPainter& p, const QRectF& r, Look look, qreal radius = 5);

// A recessed panel (list areas, edit fields, troughs) with `fill` inside.
void drawRecess(QPainter& p, const QRectF& r, qreal radius, const QColor& fill = palette::recess);

// A raised, slightly lighter panel that groups elements.
void drawRaisedPanel(QPainter& p, const QRectF& r, qreal radius);

// A close box: a small x in a rounded square centred in `r`.
void drawCloseBox(QPainter& p, const QRect& r, Look look);

// The face of a tile (catalogue icons): dark, lighter under the pointer, orange when selected.
void drawTile(QPainter& p, const QRectF& r, Look look);
QColor tileGlyphColour(Look look);

// A key cap filling `r` (1 px inside), with its legend; `legendColour` overrides the look's.
void drawKeyCap(QPainter& p, const QRect& r, const char* legend, Look look);

// The region of a key cap as drawn by drawKeyCap (for masks).
QPainterPath keyCapPath(const QRect& r);

// Legend of a key: arrows and the menu key as glyphs, words split on two lines when needed.
void drawLegend(QPainter& p, const QRectF& face, const char* legend, const QColor& c, int pixelSize);

// The brand mark "KELVANE X30" with its top-left corner at `at`.
void drawBrand(QPainter& p, QPointF at, int pixelSize);

QFont latinFont(int pixelSize, bool bold);

}  // namespace skin
