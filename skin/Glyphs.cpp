#include "Glyphs.h"

#include <QFont>
#include <QPainterPath>
#include <QtMath>

#include "Art.h"

namespace skin {
namespace {

// Glyphs are designed on a 24 x 24 grid; G maps that grid onto the box.
struct G {
    QPainter& p;
    QColor c;
    qreal unit;

    void pen(qreal width = 2) {
        p.setPen(QPen(c, width / unit, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
    }
    void fill() {
        p.setPen(Qt::NoPen);
        p.setBrush(c);
    }
    void line(qreal x1, qreal y1, qreal x2, qreal y2) { p.drawLine(QPointF(x1, y1), QPointF(x2, y2)); }
    void poly(std::initializer_list<QPointF> pts, bool closed) {
        QPainterPath path;
        auto it = pts.begin();
        path.moveTo(*it);
        for (++it; it != pts.end(); ++it)
            path.lineTo(*it);
        if (closed)
            path.closeSubpath();
        p.drawPath(path);
    }
    void triangle(QPointF a, QPointF b, QPointF d) {
        fill();
        poly({a, b, d}, true);
    }
    void circle(qreal x, qreal y, qreal r) { p.drawEllipse(QPointF(x, y), r, r); }
    void text(const QRectF& r, const QString& s, qreal size) {
        QFont f = latinFont(10, true);
        f.setPixelSize(qMax(6, qRound(size * unit)));
        p.save();
        p.resetTransform();
        p.setFont(f);
        p.setPen(c);
        const QTransform t = transform;
        p.drawText(t.mapRect(r), Qt::AlignCenter, s);
        p.restore();
    }
    void plus(qreal x, qreal y, qreal s) {
        line(x - s, y, x + s, y);
        line(x, y - s, x, y + s);
    }
    void minus(qreal x, qreal y, qreal s) { line(x - s, y, x + s, y); }
    void speaker() {
        fill();
        poly({{3, 9}, {7, 9}, {12, 4.5}, {12, 19.5}, {7, 15}, {3, 15}}, true);
    }
    void sun(qreal x, qreal y, qreal r, qreal rays) {
        pen();
        circle(x, y, r);
        for (int i = 0; i < 8; ++i) {
            const qreal a = i * M_PI / 4;
            line(x + qCos(a) * (r + 2.5), y + qSin(a) * (r + 2.5), x + qCos(a) * (r + 2.5 + rays), y + qSin(a) * (r + 2.5 + rays));
        }
    }
    void wave(qreal top, qreal amplitude) {
        QPainterPath path;
        path.moveTo(2, top);
        for (int i = 0; i <= 40; ++i) {
            const qreal x = 2 + i * 0.5;
            path.lineTo(x, top - amplitude * qSin((x - 2) / 20.0 * 2 * M_PI));
        }
        pen();
        p.drawPath(path);
    }
    void padlock(qreal x, qreal y, qreal s) {  // body top-left at (x, y), width s
        pen();
        p.drawRoundedRect(QRectF(x, y, s, s * 0.8), 1.5, 1.5);
        QPainterPath shackle;
        shackle.moveTo(x + s * 0.22, y);
        shackle.lineTo(x + s * 0.22, y - s * 0.3);
        shackle.arcTo(QRectF(x + s * 0.22, y - s * 0.58, s * 0.56, s * 0.56), 180, -180);
        shackle.lineTo(x + s * 0.78, y);
        p.drawPath(shackle);
    }

    QTransform transform;
};

}  // namespace

bool drawCatalogueGlyph(QPainter& painter, int id, const QRectF& box, const QColor& c) {
    painter.save();
    painter.translate(box.topLeft());
    const qreal unit = box.width() / 24.0;
    painter.scale(unit, unit);
    G g{painter, c, unit, {}};
    g.transform = painter.transform();
    bool drawn = true;
    switch (id) {
    case 401:  // media select: a note
        g.fill();
        g.p.drawEllipse(QPointF(7, 18), 3.2, 2.6);
        g.p.drawEllipse(QPointF(17, 16), 3.2, 2.6);
        g.pen();
        g.line(10, 18, 10, 5);
        g.line(20, 16, 20, 3);
        g.pen(3);
        g.line(10, 5, 20, 3);
        break;
    case 402:  // play / pause
        g.triangle({3, 5}, {12, 12}, {3, 19});
        g.fill();
        g.p.drawRect(QRectF(14, 5, 3, 14));
        g.p.drawRect(QRectF(19, 5, 3, 14));
        break;
    case 403:  // stop
        g.fill();
        g.p.drawRoundedRect(QRectF(5, 5, 14, 14), 1.5, 1.5);
        break;
    case 404:  // next track
        g.triangle({2, 5}, {10, 12}, {2, 19});
        g.triangle({10, 5}, {18, 12}, {10, 19});
        g.fill();
        g.p.drawRect(QRectF(19, 5, 3, 14));
        break;
    case 405:  // previous track
        g.triangle({22, 5}, {14, 12}, {22, 19});
        g.triangle({14, 5}, {6, 12}, {14, 19});
        g.fill();
        g.p.drawRect(QRectF(2, 5, 3, 14));
        break;
    case 406:  // volume down
        g.speaker();
        g.pen();
        g.minus(18.5, 12, 3.5);
        break;
    case 407:  // volume up
        g.speaker();
        g.pen();
        g.plus(18.5, 12, 3.5);
        break;
    case 408:  // mute
        g.speaker();
        g.pen();
        g.line(15, 9, 21, 15);
        g.line(21, 9, 15, 15);
        break;
    case 409:  // back
    case 410:  // forward
        g.pen();
        g.circle(12, 12, 9.5);
        if (id == 409) {
            g.line(17, 12, 7.5, 12);
            g.poly({{11.5, 8}, {7.5, 12}, {11.5, 16}}, false);
        } else {
            g.line(7, 12, 16.5, 12);
            g.poly({{12.5, 8}, {16.5, 12}, {12.5, 16}}, false);
        }
        break;
    case 411:  // browser stop: an octagon with a cross
        g.pen();
        g.poly({{8, 2.5}, {16, 2.5}, {21.5, 8}, {21.5, 16}, {16, 21.5}, {8, 21.5}, {2.5, 16}, {2.5, 8}}, true);
        g.line(8.5, 8.5, 15.5, 15.5);
        g.line(15.5, 8.5, 8.5, 15.5);
        break;
    case 412: {  // refresh
        g.pen();
        g.p.drawArc(QRectF(3.5, 3.5, 17, 17), 60 * 16, 290 * 16);
        g.triangle({13.5, 1}, {19.5, 4.5}, {13.5, 8.5});
        break;
    }
    case 413: {  // favourites: a star
        QPainterPath star;
        for (int i = 0; i < 10; ++i) {
            const qreal r = i % 2 ? 4.2 : 10;
            const qreal a = -M_PI / 2 + i * M_PI / 5;
            const QPointF pt(12 + r * qCos(a), 12.8 + r * qSin(a));
            i ? star.lineTo(pt) : star.moveTo(pt);
        }
        star.closeSubpath();
        g.pen();
        g.p.drawPath(star);
        break;
    }
    case 414:  // search
        g.pen();
        g.circle(10, 10, 6.5);
        g.pen(3);
        g.line(15, 15, 21, 21);
        break;
    case 415:  // mail
        g.pen();
        g.p.drawRoundedRect(QRectF(2.5, 5.5, 19, 13), 1.5, 1.5);
        g.poly({{3, 6.5}, {12, 13}, {21, 6.5}}, false);
        break;
    case 416:  // home
        g.pen();
        g.poly({{2.5, 12}, {12, 3}, {21.5, 12}}, false);
        g.poly({{5.5, 10}, {5.5, 21}, {18.5, 21}, {18.5, 10}}, false);
        g.p.drawRect(QRectF(10, 14.5, 4, 6.5));
        break;
    case 417:  // computer: a monitor on a stand
        g.pen();
        g.p.drawRoundedRect(QRectF(2.5, 3.5, 19, 13), 1.5, 1.5);
        g.line(12, 16.5, 12, 20);
        g.line(7, 21, 17, 21);
        break;
    case 418:  // calculator
        g.pen();
        g.p.drawRoundedRect(QRectF(5, 2.5, 14, 19), 2, 2);
        g.p.drawRect(QRectF(8, 5.5, 8, 4));
        g.fill();
        for (int r = 0; r < 3; ++r)
            for (int col = 0; col < 3; ++col)
                g.p.drawRect(QRectF(7.7 + col * 3.3, 11.5 + r * 3.2, 2, 2));
        break;

    case 601:  // 6-key / n-key rollover
        g.text(QRectF(0, 2, 24, 20), QStringLiteral("6/N"), 9);
        break;
    case 602:  // keyboard lock
        g.padlock(6, 11, 12);
        g.fill();
        g.circle(12, 15.5, 1.6);
        break;
    case 603:  // key response: a key cap pressed by an arrow, with speed marks
        g.pen();
        g.p.drawRoundedRect(QRectF(4, 12, 16, 9.5), 2, 2);
        g.line(12, 2, 12, 8.5);
        g.poly({{9, 6}, {12, 9}, {15, 6}}, false);
        g.line(4, 5, 7, 7);
        g.line(20, 5, 17, 7);
        break;
    case 604:  // swap Ctrl and Caps
        g.pen();
        g.line(4, 8, 19, 8);
        g.poly({{15.5, 4.5}, {19.5, 8}, {15.5, 11.5}}, false);
        g.line(20, 16, 5, 16);
        g.poly({{8.5, 12.5}, {4.5, 16}, {8.5, 19.5}}, false);
        break;
    case 608:  // Win lock
        g.text(QRectF(0, 0, 24, 11), QStringLiteral("WIN"), 8);
        g.padlock(7.5, 15, 9);
        break;
    case 609: {  // scan delay: a stopwatch
        g.pen();
        g.circle(12, 13.5, 8);
        g.line(12, 13.5, 12, 8.5);
        g.line(12, 13.5, 15.5, 15.5);
        g.line(10, 2.5, 14, 2.5);
        g.line(12, 2.5, 12, 5.5);
        break;
    }
    case 610:  // report rate
        g.text(QRectF(0, 10, 24, 13), QStringLiteral("Hz"), 10);
        g.pen(1.6);
        g.poly({{2, 7}, {5, 7}, {5, 2.5}, {9, 2.5}, {9, 7}, {13, 7}, {13, 2.5}, {17, 2.5}, {17, 7}, {22, 7}}, false);
        break;
    case 611:  // mouse DPI-
    case 612:  // mouse DPI+
        g.text(QRectF(0, 1, 24, 11), QStringLiteral("DPI"), 8.5);
        g.pen(2.4);
        if (id == 612)
            g.plus(12, 17, 4.5);
        else
            g.minus(12, 17, 4.5);
        break;
    case 613:  // FN
        g.text(QRectF(0, 2, 24, 20), QStringLiteral("FN"), 12);
        break;
    case 614:  // programmable keyboard
        g.pen();
        g.p.drawRoundedRect(QRectF(1.5, 6.5, 21, 12), 2, 2);
        g.fill();
        for (int col = 0; col < 5; ++col)
            g.p.drawRect(QRectF(4 + col * 3.4, 9.3, 2, 2));
        for (int col = 0; col < 5; ++col)
            g.p.drawRect(QRectF(4 + col * 3.4, 12.3, 2, 2));
        g.p.drawRect(QRectF(7.5, 15.2, 9, 1.6));
        break;
    case 615:
    case 616:
    case 617:
    case 618:  // colour of area n: a sun carrying the area's number
        g.sun(12, 12, 6.2, 2.2);
        g.text(QRectF(6, 6, 12, 12), QString::number(id - 614), 9);
        break;
    case 619:  // brightness down
    case 620:  // brightness up
        g.sun(12, 12, 5.5, 2.5);
        g.pen(1.8);
        if (id == 620)
            g.plus(12, 12, 3);
        else
            g.minus(12, 12, 3);
        break;
    case 621:  // colour breathe: three overlapping light circles over a wave
        g.pen(1.6);
        g.circle(9.5, 7.5, 4);
        g.circle(14.5, 7.5, 4);
        g.circle(12, 11.5, 4);
        g.wave(19, 2.5);
        break;
    case 622: {  // backlight on / off: a bulb
        g.pen();
        QPainterPath bulb;
        bulb.moveTo(9, 16);
        bulb.cubicTo(9, 13, 4.5, 11.5, 4.5, 8.5);
        bulb.cubicTo(4.5, 1, 19.5, 1, 19.5, 8.5);
        bulb.cubicTo(19.5, 11.5, 15, 13, 15, 16);
        bulb.closeSubpath();
        g.p.drawPath(bulb);
        g.line(9.5, 19, 14.5, 19);
        g.line(10.5, 22, 13.5, 22);
        break;
    }
    case 623:  // breathe
        g.wave(12, 6);
        break;
    case 624:  // custom lighting: a grid of keys, some lit
        g.pen(1.5);
        for (int r = 0; r < 3; ++r)
            for (int col = 0; col < 3; ++col)
                g.p.drawRoundedRect(QRectF(3 + col * 6.5, 3 + r * 6.5, 5, 5), 1, 1);
        g.fill();
        g.p.drawRoundedRect(QRectF(3, 3, 5, 5), 1, 1);
        g.p.drawRoundedRect(QRectF(9.5, 9.5, 5, 5), 1, 1);
        g.p.drawRoundedRect(QRectF(16, 16, 5, 5), 1, 1);
        break;
    case 625:  // breathe faster
    case 626:  // breathe slower
        g.wave(8, 4);
        g.pen(2.4);
        if (id == 625)
            g.plus(12, 18.5, 4);
        else
            g.minus(12, 18.5, 4);
        break;
    case 627:  // sunset / relax: half a sun on the horizon, sinking
        g.pen();
        g.p.drawArc(QRectF(5, 8, 14, 14), 0, 180 * 16);
        g.line(2, 15, 22, 15);
        g.line(12, 2, 12, 5);
        g.line(4, 6.5, 6, 8.5);
        g.line(20, 6.5, 18, 8.5);
        g.line(8, 19, 16, 19);
        g.line(10, 22, 14, 22);
        break;
    case 628: {  // all keys' colour: a colour wheel
        g.pen();
        g.circle(12, 12, 9.5);
        for (int i = 0; i < 6; ++i) {
            const qreal a = i * M_PI / 3;
            g.line(12 + 3 * qCos(a), 12 + 3 * qSin(a), 12 + 9.5 * qCos(a), 12 + 9.5 * qSin(a));
        }
        g.circle(12, 12, 3);
        break;
    }

    case 701:  // wake: a sun rising over the horizon
        g.pen();
        g.p.drawArc(QRectF(5, 9, 14, 14), 0, 180 * 16);
        g.line(2, 16, 22, 16);
        g.line(12, 2, 12, 5.5);
        g.line(3.5, 7, 6, 9.5);
        g.line(20.5, 7, 18, 9.5);
        g.poly({{9, 21}, {12, 18.5}, {15, 21}}, false);
        break;
    case 702: {  // sleep: a crescent moon
        QPainterPath moon;
        moon.addEllipse(QPointF(11, 13), 9, 9);
        QPainterPath bite;
        bite.addEllipse(QPointF(16, 9), 8, 8);
        g.fill();
        g.p.drawPath(moon.subtracted(bite));
        g.text(QRectF(14, 1, 9, 9), QStringLiteral("z"), 8);
        break;
    }
    case 703:  // power
        g.pen(2.4);
        g.p.drawArc(QRectF(4, 4.5, 16, 16), 125 * 16, 290 * 16);
        g.line(12, 2, 12, 11);
        break;
    default:
        drawn = false;
        break;
    }
    painter.restore();
    return drawn;
}

}  // namespace skin
