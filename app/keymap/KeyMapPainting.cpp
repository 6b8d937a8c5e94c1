// Painting, hover tracking and the catalogue icons' tooltips of the key assignment dialog.
#include "CVelaDialogKeyMapSettings.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QToolTip>

#include <string>

#include "KeyboardConfiguration.h"
#include "SkinResources.h"

namespace {

QRect toQRect(const SkinRect& r) { return QRect(r.left, r.top, r.width(), r.height()); }

QColor toQColor(SkinColour c) { return QColor(skinRed(c), skinGreen(c), skinBlue(c)); }

bool isHotArea(const SkinItem& item) { return !item.textOnly && !item.listRow; }

std::string joined(const KeyEventList& list, const char* separator) {
    std::string text;
    for (const std::string& item : list.items()) {
        if (!text.empty())
            text += separator;
        text += item;
    }
    return text;
}

}  // namespace

void CVelaDialogKeyMapSettings::refreshDynamicItems() {
    refreshing_ = true;
    const auto fillRows = [this](int firstId, int rows, const KeyEventList& list) {
        for (int r = 0; r < rows; ++r) {
            const int index = items_.findItem(firstId + r);
            items_.setText(index, language_, list.itemAtRow(r));
            items_[index].active = r == list.cursorPos();
        }
    };
    const auto setEditText = [](QLineEdit* edit, int value) {
        const QString text = QString::number(value);
        if (edit->text() != text)
            edit->setText(text);
    };

    switch (currentPage_) {
    case 1: {
        const std::string name = singleKeyCode_ < 0 ? std::string(KeyCatalogue::kNoName)
                                                    : configuration_.catalogue.nameOfHostCode(singleKeyCode_, false);
        items_.setText(items_.findItem(158), language_, name);
        fillRows(kKeyMapComboListRow, KeyboardConfiguration::kComboViewRows, comboList_);
        const QString combo = QString::fromStdString(joined(comboRecord_, " + "));
        if (comboText_->toPlainText() != combo)
            comboText_->setPlainText(combo);
        break;
    }
    case 2:
        fillRows(kKeyMapMacroListRow, KeyboardConfiguration::kMacroViewRows, macroList_);
        fillRows(kKeyMapMacroRecordRow, KeyboardConfiguration::kMacroViewRows, macroRecord_);
        setEditText(valueEdit_, macroRecord_.cycles());
        items_.item(kKeyMapAutoInterval).active = macroRecord_.isAutoInterval();
        break;
    case 3:
        fillRows(kKeyMapEmuListRow, KeyboardConfiguration::kEmulationViewRows, emuList_);
        fillRows(kKeyMapEmuRecordRow, KeyboardConfiguration::kEmulationViewRows, emuRecord_);
        setEditText(valueEdit_, emuRecord_.delay());
        break;
    case 4:
    case 5:
    case 6:
    case 7: {
        const int chosen = currentPage_ == 4 ? mediaCode_
                         : currentPage_ == 5 ? mouseCode_
                         : currentPage_ == 6 ? functionCode_
                                             : powerCode_;
        for (int i = 0; i < items_.size(); ++i) {
            SkinItem& it = items_[i];
            if (it.id >= 100 && isHotArea(it) && KeyMapItemTable::belongsToPage(it, currentPage_))
                it.active = it.code == chosen;
        }
        break;
    }
    default: break;
    }
    refreshing_ = false;
}

void CVelaDialogKeyMapSettings::paintEvent(QPaintEvent*) {
    refreshDynamicItems();
    QPainter painter(this);
    if (!background_.isNull())
        painter.drawPixmap(0, 0, background_);
    paintItems(painter);
}

void CVelaDialogKeyMapSettings::paintItems(QPainter& painter) {
    for (int i = 0; i < items_.size(); ++i) {
        const SkinItem& it = items_[i];
        if (!KeyMapItemTable::belongsToPage(it, currentPage_))
            continue;
        const QRect r = toQRect(it.rect);
        if (it.active) {
            if (!selected_.isNull())
                painter.drawPixmap(r, selected_, r);
        } else if (!it.textOnly && it.rect.contains(mousePoint_.x(), mousePoint_.y())) {
            if (!hover_.isNull())
                painter.drawPixmap(r, hover_, r);
        }
        if ((it.textOnly || it.listRow) && it.visible) {
            const char* text = it.text.forLanguage(language_);
            if (!text || !*text)
                continue;
            painter.setFont(skin_.font(it.font));
            painter.setPen(toQColor(it.active ? it.activeColour : it.colour));
            const int align = (it.format == kSkinFormatLeft ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignTop;
            painter.drawText(r, align, QString::fromUtf8(text));
        }
    }
}

void CVelaDialogKeyMapSettings::trackPointer(QPoint point) {
    mousePoint_ = point;
    for (int i = 0; i < items_.size(); ++i) {
        SkinItem& it = items_[i];
        if (it.textOnly || !KeyMapItemTable::belongsToPage(it, currentPage_))
            continue;
        const bool inside = it.rect.contains(point.x(), point.y());
        if (inside != it.hovered) {
            it.hovered = inside;
            update(toQRect(it.rect));
        }
    }
    // The tooltip follows the icon under the pointer and shows after a short rest on it.
    const QString tip = tooltipAt(point);
    if (tip != tipText_) {
        tipText_ = tip;
        QToolTip::hideText();
        if (tip.isEmpty())
            tipTimer_.stop();
        else
            tipTimer_.start();
    }
}

QString CVelaDialogKeyMapSettings::tooltipAt(QPoint point) const {
    for (int i = 0; i < items_.size(); ++i) {
        const SkinItem& it = items_[i];
        if (!isKeyMapCatalogueIcon(it.id) || !KeyMapItemTable::belongsToPage(it, currentPage_))
            continue;
        if (!it.rect.contains(point.x(), point.y()))
            continue;
        // The selected icon is drawn from the selected picture and has no hover look or tip.
        if (it.active)
            return {};
        const char* tip = it.tip.forLanguage(language_);
        return tip ? QString::fromUtf8(tip) : QString();
    }
    return {};
}

void CVelaDialogKeyMapSettings::showTooltip(QPoint localPos, QPoint globalPos) {
    const QString tip = tooltipAt(localPos);
    if (tip.isEmpty()) {
        QToolTip::hideText();
        return;
    }
    const int index = items_.hitTest(currentPage_, localPos.x(), localPos.y());
    const QRect area = index >= 0 ? toQRect(items_[index].rect) : QRect();
    QToolTip::showText(globalPos, tip, this, area);
}

void CVelaDialogKeyMapSettings::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - dragOffset_);
        return;
    }
    trackPointer(event->position().toPoint());
}

void CVelaDialogKeyMapSettings::leaveEvent(QEvent* event) {
    // Away from the window nothing is under the pointer: no hover look stays behind.
    trackPointer(QPoint(-1, -1));
    QDialog::leaveEvent(event);
}
