#pragma once
// The painters of every window's pictures. Each returns its bitmaps by resource id.

#include <QImage>
#include <QString>

#include <vector>

namespace skin {

struct SkinBitmap {
    int id;
    QImage image;
};

std::vector<SkinBitmap> paintMainWindow();      // 101, 102, 103
std::vector<SkinBitmap> paintKeyMapDialog();    // 107 .. 127
std::vector<SkinBitmap> paintBacklightDialog(); // 131, 132, 134 .. 137
std::vector<SkinBitmap> paintFirmwareDialog();  // 128, 129, 130
std::vector<SkinBitmap> paintProgressDialog();  // 139, 140, 141
std::vector<SkinBitmap> paintScrollBar();       // 138
std::vector<SkinBitmap> paintUnused();          // 133

// Composes one check image per window (background with some elements hovered and active,
// and the texts the windows draw themselves) into `folder`, for a person to look at.
bool writeCheckImages(const std::vector<SkinBitmap>& bitmaps, const QString& folder);

}  // namespace skin
