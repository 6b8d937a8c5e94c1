#include "Art.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QStringList>

#include <cstring>

namespace skin {

QColor colour(SkinColour c) { return QColor(skinRed(c), skinGreen(c), skinBlue(c)); }

QRect toQRect(SkinRect r) { return QRect(r.left, r.top, r.width(), r.height()); }

QFont latinFont(int pixelSize, bool bold) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

QImage newPicture(SkinSize size) {
    QImage image(size.width, size.height, QImage::Format_RGB32);
    image.fill(palette::edge);
    return image;
}

void prepare(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
}

static QLinearGradient vertical(const QRectF& r, const QColor& top, const QColor& bottom) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

void paintWindowBody(QPainter& p, QSize size, int radius, int headerHeight) {
    const QRectF all(0, 0, size.width(), size.height());
    QPainterPath body;
    body.addRoundedRect(all, radius, radius);
    p.setPen(Qt::NoPen);
    p.setBrush(palette::frame);
    p.drawPath(body);
    // Inner body inside a 2 px frame, with a soft vertical gradient.
    const QRectF inner = all.adjusted(2, 2, -2, -2);
    QPainterPath innerPath;
    innerPath.addRoundedRect(inner, radius - 2, radius - 2);
    p.setBrush(vertical(inner, palette::baseTop, palette::baseBottom));
    p.drawPath(innerPath);
    // Header band, a touch lighter, closed by a thin accent line that fades out to the sides.
    if (headerHeight > 0) {
        p.save();
        p.setClipPath(innerPath);
        const QRectF header(inner.left(), inner.top(), inner.width(), headerHeight - 2);
        p.setBrush(vertical(header, QColor(40, 43, 49), QColor(28, 30, 35)));
        p.drawRect(header);
        QLinearGradient line(header.bottomLeft(), header.bottomRight());
        line.setColorAt(0, QColor(255, 111, 0, 0));
        line.setColorAt(0.3, QColor(255, 111, 0, 200));
        line.setColorAt(0.7, QColor(255, 111, 0, 200));
        line.setColorAt(1, QColor(255, 111, 0, 0));
        p.setBrush(line);
        p.drawRect(QRectF(header.left(), header.bottom(), header.width(), 1));
        p.restore();
    }
    // 1 px lighter top edge of the frame.
    p.save();
    p.setClipRect(QRectF(0, 0, size.width(), radius + 2));
    p.setPen(QPen(palette::frameHighlight, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(all.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5, radius - 0.5);
    p.restore();
}

static bool insideRounded(int x, int y, int width, int height, int radius) {
    const double cx = x + 0.5;
    const double cy = y + 0.5;
    double dx = 0;
    double dy = 0;
    if (cx < radius)
        dx = radius - cx;
    else if (cx > width - radius)
        dx = cx - (width - radius);
    if (cy < radius)
        dy = radius - cy;
    else if (cy > height - radius)
        dy = cy - (height - radius);
    return dx * dx + dy * dy <= double(radius) * radius;
}

static QRgb nudged(QRgb px) {
    const QRgb rgb = px & 0xFFFFFF;
    if (rgb == kSkinKeyBlue)
        return qRgb(0, 0, 254);
    if (rgb == kSkinKeyRed)
        return qRgb(254, 0, 0);
    return px;
}

void cutOut(QImage& image, int radius, SkinColour key) {
    if (image.format() != QImage::Format_RGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    const QRgb keyPixel = 0xFF000000u | key;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = insideRounded(x, y, image.width(), image.height(), radius) ? nudged(line[x]) : keyPixel;
    }
}

void clearKeyColours(QImage& image) {
    if (image.format() != QImage::Format_RGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = nudged(line[x]);
    }
}

void drawButton(QPainter& p, const QRectF& r, Look look, qreal radius) {
    const QRectF box = r.adjusted(0.5, 0.5, -0.5, -0.5);
    p.save();
    switch (look) {
    case Look::Normal:
        p.setPen(QPen(QColor(64, 69, 78), 1));
        p.setBrush(vertical(box, QColor(46, 49, 56), QColor(33, 35, 40)));
        break;
    case Look::Hover:
        p.setPen(QPen(palette::hover, 1));
        p.setBrush(vertical(box, QColor(64, 70, 80), QColor(46, 51, 58)));
        break;
    case Look::Active:
        p.setPen(QPen(palette::accent, 1));
        p.setBrush(vertical(box, QColor(92, 50, 14), QColor(60, 32, 9)));
        break;
    }
    p.drawRoundedRect(box, radius, radius);
    // Top highlight.
    p.setPen(QPen(look == Look::Hover ? QColor(150, 215, 255, 120) : QColor(255, 255, 255, 28), 1));
    p.drawLine(QPointF(box.left() + radius, box.top() + 1.5), QPointF(box.right() - radius, box.top() + 1.5));
    if (look == Look::Active) {
        p.setPen(Qt::NoPen);
        p.setBrush(palette::accent);
        p.drawRoundedRect(QRectF(box.left() + 6, box.bottom() - 3, box.width() - 12, 2), 1, 1);
    }
    p.restore();
}

void drawRecess(QPainter& p, const QRectF& r, qreal radius, const QColor& fill) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(palette::recessEdge);
    p.drawRoundedRect(r, radius, radius);
    p.setBrush(fill);
    p.drawRoundedRect(r.adjusted(1, 1, -1, -1), qMax<qreal>(radius - 1, 0), qMax<qreal>(radius - 1, 0));
    // The lower edge catches the light.
    p.setPen(QPen(QColor(255, 255, 255, 22), 1));
    p.drawLine(QPointF(r.left() + radius, r.bottom() - 0.5), QPointF(r.right() - radius, r.bottom() - 0.5));
    p.restore();
}

void drawRaisedPanel(QPainter& p, const QRectF& r, qreal radius) {
    p.save();
    p.setPen(QPen(QColor(52, 56, 63), 1));
    p.setBrush(vertical(r, QColor(36, 39, 44), QColor(27, 29, 33)));
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    p.setPen(QPen(QColor(255, 255, 255, 18), 1));
    p.drawLine(QPointF(r.left() + radius, r.top() + 1.5), QPointF(r.right() - radius, r.top() + 1.5));
    p.restore();
}

void drawCloseBox(QPainter& p, const QRect& r, Look look) {
    const int side = qMin(r.width(), r.height());
    const QRectF box(r.left() + (r.width() - side) / 2.0, r.top() + (r.height() - side) / 2.0, side, side);
    drawButton(p, box, look, 4);
    p.save();
    const qreal m = side * 0.32;
    p.setPen(QPen(look == Look::Hover ? QColor(255, 255, 255) : palette::glyph, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(box.topLeft() + QPointF(m, m), box.bottomRight() - QPointF(m, m));
    p.drawLine(QPointF(box.right() - m, box.top() + m), QPointF(box.left() + m, box.bottom() - m));
    p.restore();
}

void drawTile(QPainter& p, const QRectF& r, Look look) {
    const QRectF box = r.adjusted(0.5, 0.5, -0.5, -0.5);
    p.save();
    switch (look) {
    case Look::Normal:
        p.setPen(QPen(QColor(60, 65, 73), 1));
        p.setBrush(vertical(box, QColor(44, 47, 54), QColor(32, 34, 39)));
        break;
    case Look::Hover:
        p.setPen(QPen(palette::hover, 1.5));
        p.setBrush(vertical(box, QColor(70, 77, 88), QColor(52, 57, 65)));
        break;
    case Look::Active:
        p.setPen(QPen(QColor(255, 190, 120), 1));
        p.setBrush(vertical(box, QColor(255, 138, 30), QColor(228, 94, 0)));
        break;
    }
    p.drawRoundedRect(box, 5, 5);
    p.restore();
}

QColor tileGlyphColour(Look look) {
    switch (look) {
    case Look::Hover:
        return QColor(245, 250, 255);
    case Look::Active:
        return QColor(34, 20, 8);
    case Look::Normal:
        break;
    }
    return palette::glyph;
}

QPainterPath keyCapPath(const QRect& r) {
    QPainterPath path;
    path.addRoundedRect(QRectF(r).adjusted(1, 1, -1, -1), 5, 5);
    return path;
}

void drawKeyCap(QPainter& p, const QRect& r, const char* legend, Look look) {
    const QRectF cap = QRectF(r).adjusted(1, 1, -1, -1);
    const QRectF face = cap.adjusted(3, 2, -3, -5);
    QColor skirtTop, skirtBottom, faceTop, faceBottom, legendColour;
    switch (look) {
    case Look::Normal:
        skirtTop = QColor(36, 39, 44);
        skirtBottom = QColor(22, 24, 28);
        faceTop = QColor(60, 64, 71);
        faceBottom = QColor(45, 48, 54);
        legendColour = palette::text;
        break;
    case Look::Hover:
        skirtTop = QColor(48, 56, 66);
        skirtBottom = QColor(30, 35, 42);
        faceTop = QColor(82, 91, 103);
        faceBottom = QColor(63, 70, 80);
        legendColour = QColor(245, 250, 255);
        break;
    case Look::Active:
        skirtTop = QColor(96, 46, 6);
        skirtBottom = QColor(58, 27, 4);
        faceTop = QColor(156, 74, 10);
        faceBottom = QColor(118, 54, 6);
        legendColour = QColor(255, 226, 196);
        break;
    }
    p.save();
    p.setPen(QPen(QColor(10, 11, 13), 1));
    p.setBrush(vertical(cap, skirtTop, skirtBottom));
    p.drawRoundedRect(cap.adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(face, faceTop, faceBottom));
    p.drawRoundedRect(face, 4, 4);
    // Highlight on the top edge of the face.
    p.setPen(QPen(QColor(255, 255, 255, look == Look::Active ? 70 : 40), 1));
    p.drawLine(QPointF(face.left() + 4, face.top() + 0.5), QPointF(face.right() - 4, face.top() + 0.5));
    if (look == Look::Hover) {
        p.setPen(QPen(palette::hover, 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(cap.adjusted(1, 1, -1, -1), 4, 4);
    } else if (look == Look::Active) {
        p.setPen(QPen(palette::accent, 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(cap.adjusted(0.75, 0.75, -0.75, -0.75), 4.5, 4.5);
        p.setPen(QPen(QColor(255, 160, 60, 90), 1));
        p.drawRoundedRect(face.adjusted(0.5, 0.5, -0.5, -0.5), 3.5, 3.5);
    }
    p.restore();
    drawLegend(p, face, legend, legendColour, 12);
}

static void drawArrowGlyph(QPainter& p, const QRectF& face, double angleDegrees, const QColor& c) {
    p.save();
    p.translate(face.center());
    p.rotate(angleDegrees);
    QPainterPath tri;
    tri.moveTo(0, -6);
    tri.lineTo(6, 3);
    tri.lineTo(-6, 3);
    tri.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(tri);
    p.restore();
}

static void drawMenuGlyph(QPainter& p, const QRectF& face, const QColor& c) {
    p.save();
    const QRectF box(face.center().x() - 7, face.center().y() - 8, 14, 16);
    p.setPen(QPen(c, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(box, 2, 2);
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(box.left() + 3.5, box.top() + 4.5 + 3.5 * i), QPointF(box.right() - 3.5, box.top() + 4.5 + 3.5 * i));
    p.restore();
}

// Splits a legend for two lines: at a space, else before the last capital (PrtScreen ->
// Prt / Screen, PgDown -> Pg / Down).
static QStringList splitLegend(const QString& legend) {
    const int space = legend.indexOf(QLatin1Char(' '));
    if (space > 0)
        return {legend.left(space), legend.mid(space + 1)};
    for (int i = legend.size() - 1; i > 0; --i)
        if (legend.at(i).isUpper() && legend.at(i - 1).isLower())
            return {legend.left(i), legend.mid(i)};
    return {legend};
}

void drawLegend(QPainter& p, const QRectF& face, const char* legend, const QColor& c, int pixelSize) {
    if (!legend)
        return;
    if (std::strcmp(legend, "Up") == 0)
        return drawArrowGlyph(p, face, 0, c);
    if (std::strcmp(legend, "Right") == 0)
        return drawArrowGlyph(p, face, 90, c);
    if (std::strcmp(legend, "Down") == 0)
        return drawArrowGlyph(p, face, 180, c);
    if (std::strcmp(legend, "Left") == 0)
        return drawArrowGlyph(p, face, 270, c);
    if (std::strcmp(legend, "LMenu") == 0)
        return drawMenuGlyph(p, face, c);

    const QString text = QString::fromUtf8(legend);
    const qreal room = face.width() - 4;
    QStringList lines{text};
    int size = pixelSize;
    QFont font = latinFont(size, true);
    if (QFontMetricsF(font).horizontalAdvance(text) > room || text.contains(QLatin1Char(' ')))
        lines = splitLegend(text);
    auto widest = [&](const QFont& f) {
        qreal w = 0;
        for (const QString& line : lines)
            w = qMax(w, QFontMetricsF(f).horizontalAdvance(line));
        return w;
    };
    if (lines.size() > 1)
        font = latinFont(size = pixelSize - 2, true);
    while (size > 8 && widest(font) > room)
        font = latinFont(--size, true);
    p.save();
    p.setFont(font);
    p.setPen(c);
    const QFontMetricsF fm(font);
    const qreal lineHeight = fm.height() - 1;
    qreal y = face.center().y() - lineHeight * lines.size() / 2.0;
    for (const QString& line : lines) {
        p.drawText(QRectF(face.left(), y, face.width(), lineHeight), Qt::AlignCenter, line);
        y += lineHeight;
    }
    p.restore();
}

void drawBrand(QPainter& p, QPointF at, int pixelSize) {
    QFont font = latinFont(pixelSize, true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, pixelSize * 0.12);
    const QFontMetricsF fm(font);
    p.save();
    p.setFont(font);
    p.setPen(QColor(222, 226, 232));
    const QString name = QStringLiteral("KELVANE");
    p.drawText(at + QPointF(0, fm.ascent()), name);
    p.setPen(palette::accent);
    p.drawText(at + QPointF(fm.horizontalAdvance(name) + pixelSize * 0.4, fm.ascent()), QStringLiteral("X30"));
    p.restore();
}

}  // namespace skin
