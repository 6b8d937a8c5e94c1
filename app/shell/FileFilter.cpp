#include "FileFilter.h"

#include <QStringList>

namespace {

// The description without a trailing parenthesised pattern list.
QString bareDescription(QString description) {
    description = description.trimmed();
    if (description.endsWith(u')')) {
        const qsizetype open = description.lastIndexOf(u'(');
        if (open >= 0)
            description = description.left(open).trimmed();
    }
    return description;
}

QString qtPatterns(const QString& patterns) {
    QStringList out;
    for (const QString& raw : patterns.split(u';', Qt::SkipEmptyParts)) {
        const QString p = raw.trimmed();
        if (p.isEmpty())
            continue;
        // "*.*" means any file, also one without a dot in its name.
        out << (p == QLatin1String("*.*") ? QStringLiteral("*") : p);
    }
    return out.join(u' ');
}

}  // namespace

QString qtFileFilter(const QString& pairs) {
    const QStringList fields = pairs.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < fields.size(); i += 2) {
        const QString patterns = qtPatterns(fields[i + 1]);
        if (fields[i].trimmed().isEmpty() && patterns.isEmpty())
            break;  // the "||" that ends the list
        if (patterns.isEmpty())
            continue;
        QString name = bareDescription(fields[i]);
        if (name.isEmpty())
            name = patterns;
        filters << QStringLiteral("%1 (%2)").arg(name, patterns);
    }
    return filters.join(QStringLiteral(";;"));
}
