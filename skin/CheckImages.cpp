// Check images: each window's background with a few elements pasted hovered and active from
// its other pictures, and the texts and controls the window draws itself, roughly as the
// window will show them. Only for people to look at; nothing loads them.

#include <QDir>
#include <QPainter>

#include <map>

#include "Art.h"
#include "Skins.h"
#include "backlight/BacklightItems.h"
#include "keymap/KeyMapItems.h"
#include "mainwindow/MainWindowItems.h"
#include "transfer/FirmwareItems.h"
#include "transfer/ProgressItems.h"

namespace skin {
namespace {

using Pictures = std::map<int, QImage>;

QFont programFont(int pixelSize, bool chinese) {
    QFont f(chinese ? QStringLiteral("WenQuanYi Micro Hei") : QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    return f;
}

void paste(QPainter& p, const QImage& from, SkinRect r) {
    p.drawImage(toQRect(r), from, toQRect(r));
}

void drawItemText(QPainter& p, const SkinItem& item, const char* text, bool chinese, bool selected) {
    if (!text || !item.visible)
        return;
    p.setFont(programFont(item.font, chinese));
    p.setPen(colour(selected ? item.activeColour : item.colour));
    const int align = (item.format == kSkinFormatLeft ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignTop;
    p.drawText(toQRect(item.rect), align, QString::fromUtf8(text));
}

void drawEdit(QPainter& p, SkinRect r, const QString& text, bool chinese) {
    p.fillRect(toQRect(r), colour(kSkinEditBackground));
    p.setFont(programFont(13, chinese));
    p.setPen(colour(kSkinEditText));
    p.drawText(toQRect(r).adjusted(3, 1, -3, -1), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
}

// A vertical scroll bar drawn from the skin: arrows, track and a thumb at the top.
void drawScrollBar(QPainter& p, const QImage& skinBitmap, SkinRect r) {
    const int part = skinBitmap.width() / 9;
    const QRect bar = toQRect(r);
    auto cell = [&](int column) { return QRect(column * part, 0, part, part); };
    for (int y = bar.top() + part; y < bar.bottom() - part; y += part)
        p.drawImage(QRect(bar.left(), y, part, qMin(part, bar.bottom() - part - y)), skinBitmap, cell(3));
    p.drawImage(QRect(bar.left(), bar.top(), part, part), skinBitmap, cell(0));
    p.drawImage(QRect(bar.left(), bar.bottom() - part, part, part), skinBitmap, cell(1));
    p.drawImage(QRect(bar.left(), bar.top() + part, part, 3 * part), skinBitmap, cell(2));
}

QImage checkMainWindow(const Pictures& pics, bool chinese) {
    QImage image = pics.at(kMainWindowBackgroundBitmap).copy();
    QPainter p(&image);
    prepare(p);
    const QImage& hover = pics.at(kMainWindowHoverBitmap);
    const QImage& active = pics.at(kMainWindowActiveBitmap);
    for (const SkinItem& item : kMainWindowItems) {
        if (item.id <= 0)
            continue;
        const int k = item.keyNumber;
        const bool isActive = (k >= 29 && k <= 33) || k == 70 || k == 84 || (chinese && item.id == kMainLanguage) ||
                              item.id == kMainLevel;
        const bool isHovered = k == 44 || item.id == kMainSave || item.id == kMainExit;
        if (isActive)
            paste(p, active, item.rect);
        else if (isHovered)
            paste(p, hover, item.rect);
        if (item.textOnly)
            drawItemText(p, item, chinese ? item.text.zhCN : item.text.enUS, chinese, false);
    }
    drawEdit(p, kMainWindowInfoBox,
             chinese ? QStringLiteral("Kelvane X30 编程软件 [版本 1.0.1]\n\n上档键：未设置 \n\n下档键：未设置 ")
                     : QStringLiteral("Kelvane X30 Programming Software [Ver 1.0.1]\n\nKey settings L1：Not set \n\n"
                                      "Key settings L2：Not set "),
             chinese);
    return image;
}

QImage checkKeyMapPage(const Pictures& pics, int page, bool chinese) {
    const KeyMapPagePictures& ids = kKeyMapPagePictures[page - 1];
    QImage image = pics.at(ids.background).copy();
    QPainter p(&image);
    prepare(p);
    const QImage& hover = pics.at(ids.hover);
    const QImage& selected = pics.at(ids.selected);
    // Selected: Uniques, the first row of each list, the second catalogue entry. Hovered:
    // the Clear button, the third row of each list, the fifth catalogue entry.
    int catalogueIndex = 0;
    for (const SkinItem& item : kKeyMapItems) {
        const int owner = keyMapPageOf(item.id);
        if (item.id <= 0 || (owner != 0 && owner != page))
            continue;
        const bool catalogue = item.code > 0 && !item.textOnly;
        if (catalogue)
            ++catalogueIndex;
        const int rowIndex = item.listRow ? item.id % 20 - 1 : -1;
        bool isSelected = item.id == kKeyMapUniques || item.id == 151 || rowIndex == 0 || (catalogue && catalogueIndex == 2);
        if (page == 5 && item.id == 553)
            isSelected = true;
        const bool isHovered = item.id == kKeyMapClear || rowIndex == 2 || (catalogue && catalogueIndex == 5) ||
                               item.id == kKeyMapComboNew || item.id == kKeyMapMacroNew || item.id == kKeyMapEmuNew;
        if (isSelected && !item.textOnly)
            paste(p, selected, item.rect);
        else if (isHovered && !item.textOnly)
            paste(p, hover, item.rect);
        const char* text = chinese ? item.text.zhCN : item.text.enUS;
        if (item.listRow && (item.id < kKeyMapComboRecordRow || item.id > kKeyMapComboRecordRow + 5) && rowIndex < 5) {
            static const char* const kRows[] = {"New Combo 1", "Ctrl + C", "<30 ms>", "A Down", "A UP"};
            text = kRows[rowIndex];
        }
        if (item.id == 158)
            text = "A";
        if (item.textOnly || item.listRow)
            drawItemText(p, item, text, chinese, isSelected);
    }
    const QImage& bar = pics.at(kKeyMapScrollBarBitmap);
    if (page == 1) {
        drawEdit(p, kKeyMapComboText, QStringLiteral("Ctrl + Alt + Delete"), chinese);
        drawScrollBar(p, bar, kKeyMapComboListScroll);
    } else if (page == 2 || page == 3) {
        drawEdit(p, kKeyMapValueEdit, page == 2 ? QStringLiteral("1") : QStringLiteral("30"), chinese);
        if (page == 2)
            drawEdit(p, kKeyMapDelayEdit, QString(), chinese);
        drawScrollBar(p, bar, kKeyMapListScroll);
        drawScrollBar(p, bar, kKeyMapRecordScroll);
    }
    return image;
}

QImage checkBacklight(const Pictures& pics, bool chinese) {
    QImage image = pics.at(kBacklightBackgroundBitmap).copy();
    QPainter p(&image);
    prepare(p);
    const QRect copyRect = toQRect(kBacklightMaskCopyRect);
    for (int area = kBacklightAreaCount; area >= 1; --area) {
        QImage mask = pics.at(kBacklightFirstMaskBitmap + area - 1).convertToFormat(QImage::Format_ARGB32);
        const QRgb paint = 0xFF000000u | kBacklightDefaultColours[area - 1];
        for (int y = 0; y < mask.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(mask.scanLine(y));
            for (int x = 0; x < mask.width(); ++x)
                line[x] = (line[x] & 0xFFFFFF) == kSkinMaskKey ? paint : 0;
        }
        p.drawImage(copyRect, mask, copyRect);
        for (const SkinItem& item : kBacklightItems)
            if (item.id == kBacklightFirstSwatch + area - 1) {
                p.fillRect(toQRect(backlightSwatchFill(item.rect)), colour(kBacklightDefaultColours[area - 1]));
                break;
            }
    }
    for (const SkinItem& item : kBacklightItems) {
        if (item.id <= 0)
            continue;
        if ((item.id == kBacklightOk || item.id == 82) && !item.textOnly)
            paste(p, pics.at(kBacklightHoverBitmap), item.rect);
        if (item.textOnly)
            drawItemText(p, item, chinese ? item.text.zhCN : item.text.enUS, chinese, false);
    }
    return image;
}

QImage checkTransfer(const Pictures& pics, int background, int hoverId, int fillId, const SkinItem* items, int count,
                     SkinRect strip, int percent, bool chinese) {
    QImage image = pics.at(background).copy();
    QPainter p(&image);
    prepare(p);
    const QRect r = toQRect(strip);
    p.drawImage(QRect(r.left(), r.top(), percent * r.width() / 100, r.height()), pics.at(fillId),
                QRect(r.left(), r.top(), percent * r.width() / 100, r.height()));
    for (int i = 0; i < count; ++i) {
        const SkinItem& item = items[i];
        if (item.id == 93 && !item.textOnly)
            paste(p, pics.at(hoverId), item.rect);
        if (item.id > 0 && item.textOnly)
            drawItemText(p, item, chinese ? item.text.zhCN : item.text.enUS, chinese, false);
    }
    if (background == kFirmwareBackgroundBitmap) {
        drawEdit(p, kFirmwareVersionField, QStringLiteral("KX30 V1.0.7"), chinese);
        drawEdit(p, kFirmwareFileField, QStringLiteral("/home/user/kx30-fw.hex"), chinese);
    }
    return image;
}

}  // namespace

bool writeCheckImages(const std::vector<SkinBitmap>& bitmaps, const QString& folder) {
    const QDir dir(folder);
    if (!QDir().mkpath(dir.absolutePath()))
        return false;
    Pictures pics;
    for (const SkinBitmap& bitmap : bitmaps)
        pics[bitmap.id] = bitmap.image;
    bool ok = true;
    auto save = [&](const QImage& image, const QString& name) { ok = image.save(dir.filePath(name), "PNG") && ok; };
    for (bool chinese : {false, true}) {
        const QString lang = chinese ? QStringLiteral("zh") : QStringLiteral("en");
        save(checkMainWindow(pics, chinese), QStringLiteral("main-%1.png").arg(lang));
        for (int page = 1; page <= kKeyMapPageCount; ++page)
            save(checkKeyMapPage(pics, page, chinese), QStringLiteral("keymap-%1-%2.png").arg(page).arg(lang));
        save(checkBacklight(pics, chinese), QStringLiteral("backlight-%1.png").arg(lang));
        save(checkTransfer(pics, kProgressBackgroundBitmap, kProgressHoverBitmap, kProgressFillBitmap,
                           kProgressItems.data(), kProgressItemCount, kProgressStrip, 62, chinese),
             QStringLiteral("progress-%1.png").arg(lang));
        save(checkTransfer(pics, kFirmwareBackgroundBitmap, kFirmwareHoverBitmap, kFirmwareFillBitmap,
                           kFirmwareItems.data(), kFirmwareItemCount, kFirmwareStrip, 35, chinese),
             QStringLiteral("firmware-%1.png").arg(lang));
    }
    return ok;
}

}  // namespace skin
