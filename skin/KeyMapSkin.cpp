// The key assignment dialog's pictures: for each of its seven pages a background, a hover
// picture (every element of the page under the pointer) and a selected picture.

#include <QLinearGradient>
#include <QPainterPath>

#include "Art.h"
#include "Glyphs.h"
#include "Skins.h"
#include "keymap/KeyMapItems.h"

namespace skin {
namespace {

constexpr int kRadius = 12;

enum class Picture { Background, Hover, Selected };

Look lookOf(Picture picture) {
    switch (picture) {
    case Picture::Hover:
        return Look::Hover;
    case Picture::Selected:
        return Look::Active;
    case Picture::Background:
        break;
    }
    return Look::Normal;
}

void editFrame(QPainter& p, SkinRect edit) {
    drawRecess(p, QRectF(toQRect(edit)).adjusted(-3, -3, 3, 3), 4, colour(kSkinEditBackground));
}

// A thin rule right of a section heading, from x to the page's right edge.
void sectionRule(QPainter& p, qreal x, qreal y) {
    QLinearGradient g(QPointF(x, y), QPointF(545, y));
    g.setColorAt(0, QColor(255, 111, 0, 150));
    g.setColorAt(0.4, QColor(70, 75, 84, 200));
    g.setColorAt(1, QColor(70, 75, 84, 0));
    p.fillRect(QRectF(x, y, 545 - x, 1), g);
}

// A stylised mouse for the Mouse page.
void drawMouse(QPainter& p, const QRectF& r) {
    p.save();
    QPainterPath body;
    body.addRoundedRect(r, r.width() / 2, r.width() / 2.2);
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, QColor(58, 62, 70));
    g.setColorAt(1, QColor(30, 32, 37));
    p.setPen(QPen(QColor(90, 96, 106), 1.5));
    p.setBrush(g);
    p.drawPath(body);
    p.setPen(QPen(QColor(16, 17, 20), 2));
    const qreal split = r.top() + r.height() * 0.38;
    p.drawLine(QPointF(r.left() + 4, split), QPointF(r.right() - 4, split));
    p.drawLine(QPointF(r.center().x(), r.top() + 2), QPointF(r.center().x(), split));
    // Wheel with an orange glow line.
    const QRectF wheel(r.center().x() - 5, r.top() + r.height() * 0.13, 10, r.height() * 0.17);
    p.setPen(QPen(QColor(14, 15, 17), 1));
    p.setBrush(QColor(70, 75, 84));
    p.drawRoundedRect(wheel, 5, 5);
    p.setPen(QPen(palette::accent, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(wheel.center().x(), wheel.top() + 5), QPointF(wheel.center().x(), wheel.bottom() - 5));
    // Movement arrows around it.
    p.setPen(QPen(palette::dimGlyph, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF c = r.center();
    const qreal dx = r.width() / 2 + 22;
    const qreal dy = r.height() / 2 + 16;
    auto chevron = [&](QPointF tip, QPointF back1, QPointF back2) {
        QPainterPath path;
        path.moveTo(back1);
        path.lineTo(tip);
        path.lineTo(back2);
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    };
    chevron(c + QPointF(-dx, 0), c + QPointF(-dx + 7, -7), c + QPointF(-dx + 7, 7));
    chevron(c + QPointF(dx, 0), c + QPointF(dx - 7, -7), c + QPointF(dx - 7, 7));
    chevron(c + QPointF(0, -dy), c + QPointF(-7, -dy + 7), c + QPointF(7, -dy + 7));
    chevron(c + QPointF(0, dy), c + QPointF(-7, dy - 7), c + QPointF(7, dy - 7));
    p.restore();
}

void paintBase(QPainter& p, int page) {
    const QSize size(kKeyMapSkinSize.width, kKeyMapSkinSize.height);
    paintWindowBody(p, size, kRadius, 42);
    // The tab strip and the page panel under it.
    drawRecess(p, QRectF(14, 45, 553, 38), 6, QColor(22, 23, 27));
    drawRaisedPanel(p, QRectF(18, 86, 545, 228), 8);

    switch (page) {
    case 1:
        // Single key on the left, combinations on the right.
        p.fillRect(QRectF(190, 98, 1, 182), QColor(58, 62, 70));
        drawRecess(p, QRectF(45, 162, 118, 30), 5, QColor(20, 21, 24));
        drawRecess(p, QRectF(210, 133, 167, 103), 5);
        editFrame(p, kKeyMapComboText);
        break;
    case 2:
    case 3:
        drawRecess(p, QRectF(34, 111, 166, 133), 5);
        drawRecess(p, QRectF(210, 111, 166, 133), 5);
        drawRaisedPanel(p, QRectF(378, page == 2 ? 108 : 104, 167, page == 2 ? 146 : 80), 6);
        editFrame(p, kKeyMapValueEdit);
        if (page == 2)
            editFrame(p, kKeyMapDelayEdit);
        if (page == 3) {
            // An emulation types up to six keys one after another: six caps joined by arrows.
            for (int i = 0; i < 6; ++i) {
                const QRectF cap(388 + i * 26, 212, 20, 20);
                p.setPen(QPen(QColor(70, 75, 84), 1));
                p.setBrush(QColor(36, 39, 44));
                p.drawRoundedRect(cap.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
                p.fillRect(QRectF(cap.left() + 4, cap.top() + 3, cap.width() - 8, 1), QColor(255, 255, 255, 30));
                if (i < 5) {
                    p.setPen(QPen(i == 0 ? palette::accent : palette::dimGlyph, 1.4, Qt::SolidLine, Qt::RoundCap));
                    p.drawLine(QPointF(cap.right() + 1.5, cap.center().y()), QPointF(cap.right() + 4.5, cap.center().y()));
                }
            }
        }
        break;
    case 4:
        sectionRule(p, 172, 134);
        sectionRule(p, 172, 214);
        break;
    case 5:
        drawRecess(p, QRectF(34, 111, 228, 175), 5);
        drawMouse(p, QRectF(370, 128, 96, 150));
        break;
    case 6:
        sectionRule(p, 172, 99);
        sectionRule(p, 172, 207);
        break;
    case 7:
        drawRecess(p, QRectF(150, 100, 282, 100), 8, QColor(22, 23, 27));
        for (int id = 701; id <= 703; ++id) {
            for (const SkinItem& item : kKeyMapItems) {
                if (item.id != id)
                    continue;
                const QRect r = toQRect(item.rect);
                drawCatalogueGlyph(p, id, QRectF(r.center().x() - 14, 116, 28, 28), palette::dimGlyph);
            }
        }
        break;
    default:
        break;
    }
}

// A row of a list: nothing at rest, lighter under the pointer, orange-tinted when selected.
void drawRow(QPainter& p, const QRect& r, Look look) {
    if (look == Look::Normal)
        return;
    p.save();
    const QRectF row = QRectF(r).adjusted(0, 0, 0, 0);
    if (look == Look::Hover) {
        p.fillRect(row, QColor(52, 58, 68));
        p.fillRect(QRectF(row.left(), row.top(), 2, row.height()), palette::hover);
    } else {
        QLinearGradient g(row.topLeft(), row.topRight());
        g.setColorAt(0, QColor(120, 56, 8));
        g.setColorAt(1, QColor(64, 32, 8));
        p.fillRect(row, g);
        p.fillRect(QRectF(row.left(), row.top(), 3, row.height()), palette::accent);
    }
    p.restore();
}

void drawTab(QPainter& p, const QRect& r, bool current, Look look) {
    const QRectF box = QRectF(r).adjusted(1, 1, -1, -1);
    p.save();
    if (current || look == Look::Hover) {
        QLinearGradient g(box.topLeft(), box.bottomLeft());
        g.setColorAt(0, current ? QColor(58, 62, 70) : QColor(54, 60, 69));
        g.setColorAt(1, current ? QColor(40, 43, 49) : QColor(40, 45, 52));
        p.setPen(QPen(look == Look::Hover ? palette::hover : QColor(72, 77, 86), 1));
        p.setBrush(g);
        p.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    }
    if (current) {
        p.setPen(Qt::NoPen);
        p.setBrush(palette::accent);
        p.drawRoundedRect(QRectF(box.left() + 8, box.bottom() - 3, box.width() - 16, 3), 1.5, 1.5);
    }
    p.restore();
}

void drawRadio(QPainter& p, QPointF centre, Look look) {
    p.save();
    p.setPen(QPen(look == Look::Hover ? palette::hover : QColor(96, 102, 112), 1.5));
    p.setBrush(QColor(16, 17, 20));
    p.drawEllipse(centre, 7, 7);
    if (look == Look::Active) {
        p.setPen(QPen(palette::accent, 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(centre, 7, 7);
        p.setPen(Qt::NoPen);
        p.setBrush(palette::accent);
        p.drawEllipse(centre, 3.8, 3.8);
    }
    p.restore();
}

void drawCheckBox(QPainter& p, const QRectF& box, Look look) {
    p.save();
    p.setPen(QPen(look == Look::Hover ? palette::hover : look == Look::Active ? palette::accent : QColor(96, 102, 112), 1.5));
    p.setBrush(look == Look::Active ? palette::accent : QColor(16, 17, 20));
    p.drawRoundedRect(box, 3, 3);
    if (look == Look::Active) {
        QPainterPath tick;
        tick.moveTo(box.left() + 3.5, box.center().y());
        tick.lineTo(box.left() + box.width() * 0.42, box.bottom() - 3.5);
        tick.lineTo(box.right() - 3, box.top() + 3.5);
        p.setPen(QPen(QColor(30, 16, 4), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
    }
    p.restore();
}

// A record button: a button with a record dot at its left; selected while recording.
void drawRecordButton(QPainter& p, const QRect& r, Look look) {
    drawButton(p, r, look);
    p.save();
    const QPointF dot(r.left() + 14, r.center().y() - 2);
    p.setPen(Qt::NoPen);
    if (look == Look::Active) {
        p.setBrush(QColor(255, 70, 40, 70));
        p.drawEllipse(dot, 7.5, 7.5);
    }
    p.setBrush(look == Look::Active ? QColor(255, 72, 40) : look == Look::Hover ? QColor(230, 80, 70) : QColor(176, 56, 50));
    p.drawEllipse(dot, 4.5, 4.5);
    p.restore();
}

void drawElement(QPainter& p, const SkinItem& item, int page, Picture picture) {
    const QRect r = toQRect(item.rect);
    const Look look = lookOf(picture);
    p.save();
    p.setClipRect(r);
    const int id = item.id;
    if (id >= kKeyMapFirstTab && id < kKeyMapFirstTab + kKeyMapPageCount) {
        // Tabs are never selected; the page's own tab shows as current in all its pictures.
        drawTab(p, r, id - kKeyMapFirstTab + 1 == page, picture == Picture::Hover ? Look::Hover : Look::Normal);
    } else if (id == kKeyMapClose) {
        drawCloseBox(p, r, picture == Picture::Hover ? Look::Hover : Look::Normal);
    } else if (id == kKeyMapClear || id == kKeyMapOk || id == kKeyMapCancel) {
        drawButton(p, r, picture == Picture::Hover ? Look::Hover : Look::Normal);
    } else if (item.listRow) {
        // Rows 141..146 lie under the combination text and take no part.
        if (id < kKeyMapComboRecordRow || id > kKeyMapComboRecordRow + 5)
            drawRow(p, r, look);
    } else if (id >= 502 && id <= 511) {
        drawRow(p, r, look);
    } else if (id == kKeyMapUniques || id == kKeyMapCombo) {
        drawRadio(p, QPointF(r.left() + 9, r.center().y() - 1), look);
    } else if (id == kKeyMapAutoInterval) {
        drawCheckBox(p, QRectF(r.left() + 9.5, r.top() + 5.5, 14, 14), look);
    } else if (id == kKeyMapSingleRecord || id == kKeyMapComboRecord || id == kKeyMapMacroRecord || id == kKeyMapEmuRecord) {
        drawRecordButton(p, r, look);
    } else if (id == 103 || id == 301) {
        // Captions only: no look of their own.
    } else if (id >= 701 && id <= 703) {
        drawButton(p, r, look);
    } else if (isKeyMapCatalogueIcon(id)) {
        drawTile(p, r, look);
        const qreal side = qMin(r.width(), r.height()) - 12;
        const QRectF box(r.left() + (r.width() - side) / 2.0, r.top() + (r.height() - side) / 2.0, side, side);
        drawCatalogueGlyph(p, id, box, tileGlyphColour(look));
    } else {
        drawButton(p, r, look);
    }
    p.restore();
}

QImage paintPage(int page, Picture picture) {
    QImage image = newPicture(kKeyMapSkinSize);
    {
        QPainter p(&image);
        prepare(p);
        paintBase(p, page);
        for (const SkinItem& item : kKeyMapItems) {
            const int owner = keyMapPageOf(item.id);
            if (item.id > 0 && !item.textOnly && (owner == 0 || owner == page))
                drawElement(p, item, page, picture);
        }
    }
    cutOut(image, kRadius, kSkinKeyRed);
    return image;
}

}  // namespace

std::vector<SkinBitmap> paintKeyMapDialog() {
    std::vector<SkinBitmap> bitmaps;
    for (int page = 1; page <= kKeyMapPageCount; ++page) {
        const KeyMapPagePictures& ids = kKeyMapPagePictures[page - 1];
        bitmaps.push_back({ids.background, paintPage(page, Picture::Background)});
        bitmaps.push_back({ids.hover, paintPage(page, Picture::Hover)});
        bitmaps.push_back({ids.selected, paintPage(page, Picture::Selected)});
    }
    return bitmaps;
}

}  // namespace skin
