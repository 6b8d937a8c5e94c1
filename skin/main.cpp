// kx30-skin-painter: draws every skin bitmap the windows use and writes them as PNG files
// together with the resource collection that rcc packs into KelvaneX30RES.rcc.
//
//   kx30-skin-painter <png-folder> <qrc-file> [--check <folder>]
//
// The PNGs are named <id>.png and appear in the bundle as :/skin/<id>.png. With --check it
// also writes one composed check image per window for a person to look at.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

#include "Skins.h"

namespace {

std::vector<skin::SkinBitmap> paintAll() {
    std::vector<skin::SkinBitmap> all;
    for (auto painter : {skin::paintMainWindow, skin::paintKeyMapDialog, skin::paintFirmwareDialog,
                         skin::paintBacklightDialog, skin::paintUnused, skin::paintScrollBar,
                         skin::paintProgressDialog}) {
        for (skin::SkinBitmap& bitmap : painter())
            all.push_back(std::move(bitmap));
    }
    std::sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.id < b.id; });
    return all;
}

bool writeQrc(const std::vector<skin::SkinBitmap>& bitmaps, const QString& qrcPath, const QDir& pngDir) {
    QSaveFile file(qrcPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    const QDir qrcDir = QFileInfo(qrcPath).absoluteDir();
    QTextStream out(&file);
    out << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/skin\">\n";
    for (const skin::SkinBitmap& bitmap : bitmaps) {
        const QString name = QString::number(bitmap.id) + QStringLiteral(".png");
        out << "  <file alias=\"" << name << "\">" << qrcDir.relativeFilePath(pngDir.filePath(name)) << "</file>\n";
    }
    out << "</qresource>\n</RCC>\n";
    out.flush();
    return file.commit();
}

}  // namespace

int main(int argc, char** argv) {
    // The painter draws into images only; it never needs a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList args = app.arguments();
    if (args.size() != 3 && !(args.size() == 5 && args.at(3) == QLatin1String("--check"))) {
        std::fprintf(stderr, "usage: kx30-skin-painter <png-folder> <qrc-file> [--check <folder>]\n");
        return 2;
    }
    const QDir pngDir(QDir(args.at(1)).absolutePath());
    if (!QDir().mkpath(pngDir.absolutePath())) {
        std::fprintf(stderr, "kx30-skin-painter: cannot create %s\n", qPrintable(pngDir.absolutePath()));
        return 1;
    }

    const std::vector<skin::SkinBitmap> bitmaps = paintAll();
    for (const skin::SkinBitmap& bitmap : bitmaps) {
        const QString path = pngDir.filePath(QString::number(bitmap.id) + QStringLiteral(".png"));
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || !bitmap.image.save(&file, "PNG") || !file.commit()) {
            std::fprintf(stderr, "kx30-skin-painter: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    if (!writeQrc(bitmaps, args.at(2), pngDir)) {
        std::fprintf(stderr, "kx30-skin-painter: cannot write %s\n", qPrintable(args.at(2)));
        return 1;
    }
    if (args.size() == 5 && !skin::writeCheckImages(bitmaps, args.at(4))) {
        std::fprintf(stderr, "kx30-skin-painter: cannot write the check images to %s\n", qPrintable(args.at(4)));
        return 1;
    }
    return 0;
}
