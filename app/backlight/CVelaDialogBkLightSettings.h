#pragma once
// The backlight window: the keyboard picture with each of its four areas painted in the
// area's colour, a swatch per area, and the buttons Default, Program, OK and Cancel.
// Clicking a swatch or any key of an area opens the colour dialog on that area's colour.
//
// It works on copies of the configuration's light and backlight values: OK copies them back,
// Program copies them back and writes the area colours to the keyboard through the progress
// window, Cancel and the close box drop them.

#include <QImage>

#include <array>

#include "BacklightItems.h"
#include "KeyboardConfiguration.h"
#include "SkinnedDialog.h"
#include "TransferCommands.h"

struct ShellServices;
class TransferRunner;

class CVelaDialogBkLightSettings : public SkinnedDialog {
    Q_OBJECT

public:
    // The references must outlive the window.
    CVelaDialogBkLightSettings(KeyboardConfiguration& configuration, SkinResources& skin, ShellServices& services,
                               TransferRunner& runner, QWidget* parent = nullptr);

    // The pauses of the light job Program starts; tests shorten them.
    void setWaits(TransferWaits waits) { waits_ = waits; }

    const std::array<int, KeyboardConfiguration::kBacklightSize>& backlightCopy() const { return backlightCopy_; }
    // Area 1..4's colour in the working copy.
    QColor areaColour(int area) const;
    // The colour an area is painted in: its own, except that pure blue, the window's cut-out
    // key, is drawn as (0, 1, 255) so the keys stay visible.
    static QColor paintedColour(QColor colour);

    // The commands of the items, as a click runs them.
    void chooseAreaColour(int area);
    void restoreDefaults();
    void program();
    void keep();

protected:
    void paintEvent(QPaintEvent* event) override;
    void itemClicked(int index) override;
    bool highlights(const SkinItem& item) const override;

private:
    KeyboardConfiguration& configuration_;
    ShellServices& services_;
    TransferRunner& runner_;
    TransferWaits waits_;
    std::array<SkinItem, kBacklightItemCount> items_ = kBacklightItems;
    std::array<int, PerKeyTable<int>::kBlockSize> lightCopy_{};
    std::array<int, KeyboardConfiguration::kBacklightSize> backlightCopy_{};
    // Each area's recoloured mask as last painted, and the colour it was made for.
    std::array<QImage, kBacklightAreaCount> overlays_{};
    std::array<QColor, kBacklightAreaCount> overlayColours_{};
};

// The main window's LightSet command: runs the backlight window modally.
void runBacklightCommand(QWidget* parent, KeyboardConfiguration& configuration, SkinResources& skin,
                         ShellServices& services, TransferRunner& runner, TransferWaits waits = {});
