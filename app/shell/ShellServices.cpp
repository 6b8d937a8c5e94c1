#include "ShellServices.h"

#include <QDir>

QUrl helpPageUrl(const QString& programFolder, const QString& fileName) {
    return QUrl::fromLocalFile(QDir(programFolder).filePath(fileName));
}
