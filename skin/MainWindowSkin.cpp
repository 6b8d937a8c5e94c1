// The main window's pictures: 101 at rest, 102 every element hovered, 103 every element active.

#include <QLinearGradient>
#include <QPainterPath>

#include "Art.h"
#include "Skins.h"
#include "backlight/BacklightItems.h"
#include "mainwindow/MainWindowItems.h"

namespace skin {
namespace {

constexpr int kRadius = 18;

// The fixed parts: body, brand, tool bar, keyboard case, level panel and information box.
void paintBase(QPainter& p) {
    const QSize size(kMainWindowSkinSize.width, kMainWindowSkinSize.height);
    paintWindowBody(p, size, kRadius, 72);
    drawBrand(p, QPointF(36, 24), 22);

    // Tool bar: one recessed strip behind the buttons.
    drawRecess(p, QRectF(24, 88, 1128, 41), 8, QColor(22, 23, 27));

    // Keyboard case with the key plate inside.
    const QRectF caseRect(164, 148, 980, 334);
    {
        QPainterPath shadow;
        shadow.addRoundedRect(caseRect.adjusted(-2, 0, 2, 4), 14, 14);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(6, 6, 8, 150));
        p.drawPath(shadow);
        QLinearGradient g(caseRect.topLeft(), caseRect.bottomLeft());
        g.setColorAt(0, QColor(54, 58, 65));
        g.setColorAt(1, QColor(34, 36, 41));
        p.setBrush(g);
        p.setPen(QPen(QColor(70, 75, 84), 1));
        p.drawRoundedRect(caseRect.adjusted(0.5, 0.5, -0.5, -0.5), 12, 12);
        drawRecess(p, QRectF(172, 157, 964, 316), 7, QColor(17, 18, 21));
        // A thin accent along the front edge of the case.
        p.setPen(QPen(QColor(255, 111, 0, 140), 1));
        p.drawLine(QPointF(caseRect.left() + 30, caseRect.bottom() - 3.5), QPointF(caseRect.right() - 30, caseRect.bottom() - 3.5));
    }

    // Level panel at the left of the board.
    drawRaisedPanel(p, QRectF(48, 150, 74, 182), 9);

    // Information box: the program's edit lies at kMainWindowInfoBox on an exact dark fill.
    const QRect info = toQRect(kMainWindowInfoBox);
    drawRecess(p, QRectF(info).adjusted(-7, -7, 7, 7), 7, colour(kSkinEditBackground));
    p.setPen(Qt::NoPen);
    p.setBrush(palette::accent);
    p.drawRoundedRect(QRectF(info.left() - 7, info.top() - 12, 46, 3), 1.5, 1.5);

    // Emblem at the right of the information box: the board's four backlight areas.
    const QRectF emblem(994, 520, 132, 100);
    drawRaisedPanel(p, emblem, 10);
    for (int i = 0; i < kBacklightAreaCount; ++i) {
        const QColor area = colour(kBacklightDefaultColours[i]);
        const QRectF cell(emblem.left() + 18 + (i % 2) * 52, emblem.top() + 16 + (i / 2) * 36, 44, 28);
        p.setPen(QPen(QColor(12, 12, 14), 1));
        QLinearGradient g(cell.topLeft(), cell.bottomLeft());
        g.setColorAt(0, area.lighter(115));
        g.setColorAt(1, area.darker(160));
        p.setBrush(g);
        p.drawRoundedRect(cell, 5, 5);
    }
}

// The level switch: a slot with a knob at the top (Level 1) or, active, at the bottom (Level 2).
void drawLevelSwitch(QPainter& p, const QRect& r, Look look) {
    const QRectF slot(r.center().x() - 11.5, r.top() + 2, 24, r.height() - 4);
    drawRecess(p, slot, 11, QColor(14, 15, 17));
    const bool down = look == Look::Active;
    const QRectF knob(slot.left() + 2, down ? slot.bottom() - 2 - 46 : slot.top() + 2, slot.width() - 4, 46);
    QLinearGradient g(knob.topLeft(), knob.bottomLeft());
    if (down) {
        g.setColorAt(0, QColor(255, 140, 40));
        g.setColorAt(1, QColor(214, 88, 0));
    } else if (look == Look::Hover) {
        g.setColorAt(0, QColor(100, 110, 124));
        g.setColorAt(1, QColor(70, 77, 88));
    } else {
        g.setColorAt(0, QColor(82, 88, 98));
        g.setColorAt(1, QColor(56, 60, 68));
    }
    p.save();
    p.setPen(QPen(look == Look::Hover ? palette::hover : QColor(12, 12, 14), look == Look::Hover ? 1.5 : 1));
    p.setBrush(g);
    p.drawRoundedRect(knob, 9, 9);
    p.setPen(QPen(down ? QColor(120, 50, 0) : QColor(30, 32, 36), 1.2));
    for (int i = -1; i <= 1; ++i)
        p.drawLine(QPointF(knob.left() + 6, knob.center().y() + 4 * i), QPointF(knob.right() - 6, knob.center().y() + 4 * i));
    // The level the other end of the slot would choose.
    p.setFont(latinFont(11, true));
    p.setPen(QColor(120, 126, 136));
    const QRectF free(slot.left(), down ? slot.top() + 4 : slot.bottom() - 4 - 46, slot.width(), 46);
    p.drawText(free, Qt::AlignCenter, down ? QStringLiteral("1") : QStringLiteral("2"));
    p.restore();
}

// A window button (help, hide, exit) with its glyph.
void drawWindowButton(QPainter& p, const QRect& r, int id, Look look) {
    if (id == kMainExit) {
        drawCloseBox(p, r, look);
        return;
    }
    const int side = qMin(r.width(), r.height());
    const QRectF box(r.left() + (r.width() - side) / 2.0, r.top() + (r.height() - side) / 2.0, side, side);
    drawButton(p, box, look, 4);
    p.save();
    const QColor c = look == Look::Hover ? QColor(255, 255, 255) : palette::glyph;
    if (id == kMainHide) {
        p.setPen(QPen(c, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(box.left() + 7, box.bottom() - 8), QPointF(box.right() - 7, box.bottom() - 8));
    } else {
        p.setFont(latinFont(15, true));
        p.setPen(c);
        p.drawText(box, Qt::AlignCenter, QStringLiteral("?"));
    }
    p.restore();
}

// The language button carries a small globe left of the program's label.
void drawLanguageButton(QPainter& p, const QRect& r, Look look) {
    drawButton(p, r.adjusted(0, 0, 0, -8), look);
    p.save();
    const QColor c = look == Look::Active ? palette::accentLight : look == Look::Hover ? QColor(255, 255, 255) : palette::glyph;
    p.setPen(QPen(c, 1.4));
    p.setBrush(Qt::NoBrush);
    const QPointF centre(r.left() + 19, r.top() + 13.5);
    p.drawEllipse(centre, 7, 7);
    p.drawEllipse(centre, 3, 7);
    p.drawLine(centre - QPointF(7, 0), centre + QPointF(7, 0));
    p.restore();
}

// The tool bar's buttons. The program writes their captions at the top of the item, so the
// panel keeps to the item's upper part and the caption sits in its middle. Where a caption
// lies off the button's centre, a glyph fills the free side.
void drawToolButton(QPainter& p, const QRect& r, int id, Look look) {
    const QRect panel = r.adjusted(0, 0, 0, -8);
    drawButton(p, panel, look);
    const QColor c = look == Look::Active ? palette::accentLight : look == Look::Hover ? QColor(255, 255, 255) : palette::glyph;
    p.save();
    p.setPen(QPen(c, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const qreal cy = panel.center().y() + 0.5;
    if (id == kMainClear) {
        // An eraser.
        const qreal x = panel.left() + 14;
        QPainterPath eraser;
        eraser.moveTo(x, cy + 4);
        eraser.lineTo(x + 8, cy - 5);
        eraser.lineTo(x + 14, cy + 0);
        eraser.lineTo(x + 8, cy + 6);
        eraser.lineTo(x + 2, cy + 6);
        eraser.closeSubpath();
        p.drawPath(eraser);
        p.drawLine(QPointF(x + 4, cy - 0.5), QPointF(x + 10, cy + 4.5));
        p.drawLine(QPointF(x + 2, cy + 8), QPointF(x + 16, cy + 8));
    } else if (id == kMainReadAll || id == kMainUpdate) {
        // Reading pulls the settings down from the keyboard; an update sends firmware up to it.
        const qreal x = id == kMainReadAll ? panel.right() - 22 : panel.left() + 15;
        const bool down = id == kMainReadAll;
        p.drawLine(QPointF(x + 6, cy - 6), QPointF(x + 6, cy + 4));
        QPainterPath head;
        head.moveTo(x + 2, down ? cy : cy - 2);
        head.lineTo(x + 6, down ? cy + 4 : cy - 6);
        head.lineTo(x + 10, down ? cy : cy - 2);
        p.drawPath(head);
        p.drawLine(QPointF(x, cy + 8), QPointF(x + 12, cy + 8));
    }
    p.restore();
}

void drawElement(QPainter& p, const SkinItem& item, Look look) {
    const QRect r = toQRect(item.rect);
    p.save();
    p.setClipRect(r);
    if (item.keyNumber >= 1) {
        drawKeyCap(p, r, kKeyTable[item.keyNumber - 1].legend, look);
    } else if (item.id == kMainLevel) {
        drawLevelSwitch(p, r, look);
    } else if (item.id == kMainHelp || item.id == kMainHide || item.id == kMainExit) {
        drawWindowButton(p, r, item.id, look);
    } else if (item.id == kMainLanguage) {
        drawLanguageButton(p, r, look);
    } else {
        drawToolButton(p, r, item.id, look);
    }
    p.restore();
}

QImage paintPicture(Look look) {
    QImage image = newPicture(kMainWindowSkinSize);
    {
        QPainter p(&image);
        prepare(p);
        paintBase(p);
        for (const SkinItem& item : kMainWindowItems)
            if (item.id > 0 && !item.textOnly)
                drawElement(p, item, look);
    }
    cutOut(image, kRadius, kSkinKeyBlue);
    return image;
}

}  // namespace

std::vector<SkinBitmap> paintMainWindow() {
    return {{kMainWindowBackgroundBitmap, paintPicture(Look::Normal)},
            {kMainWindowHoverBitmap, paintPicture(Look::Hover)},
            {kMainWindowActiveBitmap, paintPicture(Look::Active)}};
}

}  // namespace skin
