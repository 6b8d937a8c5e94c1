#include "CVelaDialogBkLightSettings.h"

#include <QPainter>

#include <algorithm>

#include "AreaMask.h"
#include "ShellServices.h"
#include "SkinResources.h"
#include "TransferTexts.h"

namespace {

constexpr SkinnedDialog::Look kBacklightLook{kBacklightBackgroundBitmap, kBacklightHoverBitmap, kSkinKeyBlue,
                                             kBacklightSkinSize};

// Index of area a's red value in the backlight block.
constexpr std::size_t redIndex(int area) { return std::size_t(3 * area); }

ColourRef colourRefOf(QColor colour) {
    return ColourRef(colour.red()) | (ColourRef(colour.green()) << 8) | (ColourRef(colour.blue()) << 16);
}

// The part of area `mask` that the window copies, recoloured, with every pixel outside the
// area transparent.
QImage areaOverlay(const QImage& mask, QColor colour) {
    if (mask.isNull())
        return {};
    const SkinRect r = kBacklightMaskCopyRect;
    QImage overlay = recolourAreaMask(colourRefOf(colour), mask)
                         .copy(r.left, r.top, r.width(), r.height())
                         .convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < overlay.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(overlay.scanLine(y));
        for (int x = 0; x < overlay.width(); ++x) {
            if ((line[x] & 0xFFFFFFu) == kSkinMaskBackground)
                line[x] = 0;
        }
    }
    return overlay;
}

}  // namespace

CVelaDialogBkLightSettings::CVelaDialogBkLightSettings(KeyboardConfiguration& configuration, SkinResources& skin,
                                                       ShellServices& services, TransferRunner& runner,
                                                       QWidget* parent)
    : SkinnedDialog(skin, kBacklightLook, items_, parent),
      configuration_(configuration),
      services_(services),
      runner_(runner) {
    setWindowTitle(QStringLiteral("BackLight Settings"));
    const auto light = configuration.lightBlock();
    std::copy(light.begin(), light.end(), lightCopy_.begin());
    backlightCopy_ = configuration.backlight;
}

QColor CVelaDialogBkLightSettings::areaColour(int area) const {
    if (area < 1 || area > kBacklightAreaCount)
        return {};
    const std::size_t i = redIndex(area);
    return QColor(backlightCopy_[i] & 0xFF, backlightCopy_[i + 1] & 0xFF, backlightCopy_[i + 2] & 0xFF);
}

QColor CVelaDialogBkLightSettings::paintedColour(QColor colour) {
    return colour == QColor(0, 0, 255) ? QColor(0, 1, 255) : colour;
}

bool CVelaDialogBkLightSettings::highlights(const SkinItem& item) const {
    // Swatches, buttons and the close box light up; keys never do.
    return item.id > 0 && item.id < kBacklightKeyIdBase + 1 && !item.textOnly;
}

void CVelaDialogBkLightSettings::itemClicked(int index) {
    const SkinItem& item = items_[static_cast<std::size_t>(index)];
    if (item.id > kBacklightKeyIdBase && item.id <= kBacklightKeyIdBase + kBacklightKeyCount) {
        chooseAreaColour(backlightAreaOfKey(item.keyNumber));
        return;
    }
    switch (item.id) {
    case kBacklightFirstSwatch:
    case kBacklightFirstSwatch + 1:
    case kBacklightFirstSwatch + 2:
    case kBacklightFirstSwatch + 3: chooseAreaColour(item.id - (kBacklightFirstSwatch - 1)); break;
    case kBacklightClose:
    case kBacklightCancel: reject(); break;
    case kBacklightDefault: restoreDefaults(); break;
    case kBacklightProgram: program(); break;
    case kBacklightOk: keep(); break;
    default: break;
    }
}

void CVelaDialogBkLightSettings::chooseAreaColour(int area) {
    if (area < 1 || area > kBacklightAreaCount || !services_.colourDialog)
        return;
    const QColor current = areaColour(area);
    const std::optional<QColor> chosen = services_.colourDialog->choose(this, current);
    if (!chosen || !chosen->isValid() || chosen->rgb() == current.rgb())
        return;
    const std::size_t i = redIndex(area);
    backlightCopy_[i] = chosen->red();
    backlightCopy_[i + 1] = chosen->green();
    backlightCopy_[i + 2] = chosen->blue();
    update();
}

void CVelaDialogBkLightSettings::restoreDefaults() {
    for (int area = 1; area <= kBacklightAreaCount; ++area) {
        const SkinColour c = kBacklightDefaultColours[area - 1];
        const std::size_t i = redIndex(area);
        backlightCopy_[i] = skinRed(c);
        backlightCopy_[i + 1] = skinGreen(c);
        backlightCopy_[i + 2] = skinBlue(c);
    }
    update();
}

void CVelaDialogBkLightSettings::keep() {
    const auto light = configuration_.lightBlock();
    std::copy(lightCopy_.begin(), lightCopy_.end(), light.begin());
    configuration_.backlight = backlightCopy_;
    done(QDialog::Accepted);
}

void CVelaDialogBkLightSettings::program() {
    // The colours stay in the configuration whatever becomes of the transfer.
    const auto light = configuration_.lightBlock();
    std::copy(lightCopy_.begin(), lightCopy_.end(), light.begin());
    configuration_.backlight = backlightCopy_;
    const auto result = runTransferJob(this, TransferJob::WriteBacklight, configuration_, skin(), services_,
                                       runner_, waits_);
    if (result == CVelaDialogProgress::Finished && services_.messageBoxes)
        services_.messageBoxes->show(this, QString::fromUtf8(transfer_texts::kTransferDone.enUS));
    done(QDialog::Accepted);
}

void CVelaDialogBkLightSettings::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawBackground(painter);
    // Area 4 first, so that area 1 lies on top where masks overlap.
    for (int area = kBacklightAreaCount; area >= 1; --area) {
        const QColor colour = paintedColour(areaColour(area));
        const std::size_t a = std::size_t(area - 1);
        if (overlayColours_[a] != colour || overlays_[a].isNull()) {
            overlays_[a] = areaOverlay(skin().areaMask(area - 1), colour);
            overlayColours_[a] = colour;
        }
        if (!overlays_[a].isNull())
            painter.drawImage(kBacklightMaskCopyRect.left, kBacklightMaskCopyRect.top, overlays_[a]);
    }
    drawHover(painter);
    // The swatches go on after the hover look, or a swatch under the pointer would show the
    // hover picture's empty well instead of its colour.
    for (int area = 1; area <= kBacklightAreaCount; ++area) {
        for (const SkinItem& item : items_) {
            if (item.id == kBacklightFirstSwatch + area - 1) {
                painter.fillRect(toQRect(backlightSwatchFill(item.rect)), paintedColour(areaColour(area)));
                break;
            }
        }
    }
    drawLabels(painter, configuration_.language);
}

void runBacklightCommand(QWidget* parent, KeyboardConfiguration& configuration, SkinResources& skin,
                         ShellServices& services, TransferRunner& runner, TransferWaits waits) {
    CVelaDialogBkLightSettings dialog(configuration, skin, services, runner, parent);
    dialog.setWaits(waits);
    dialog.exec();
}
