#pragma once

// What a PDF file written by the print tests says about its pages, read from its (uncompressed)
// object dictionaries.

#include "support/temp_dir.h"

#include <QRegularExpression>
#include <QSizeF>
#include <QString>
#include <string>
#include <vector>

namespace nivra::test {

struct PdfPages {
    int count = 0;
    std::vector<QSizeF> mediaBoxes;
    bool rotated = false;
};

inline PdfPages readPdfPages(const std::string& path) {
    const QString text = QString::fromLatin1(QByteArray::fromStdString(readFileBytes(path)));
    PdfPages pages;
    pages.count = int(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?![s\\w])"))));
    QRegularExpression box(QStringLiteral(
        "/MediaBox\\s*\\[\\s*([-\\d.]+)\\s+([-\\d.]+)\\s+([-\\d.]+)\\s+([-\\d.]+)\\s*\\]"));
    for (auto it = box.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        pages.mediaBoxes.push_back(QSizeF(m.captured(3).toDouble() - m.captured(1).toDouble(),
                                          m.captured(4).toDouble() - m.captured(2).toDouble()));
    }
    pages.rotated = text.contains(QRegularExpression(QStringLiteral("/Rotate\\s+(90|270)")));
    return pages;
}

// One page, wider than high and not turned.
inline bool isLandscape(const PdfPages& pages) {
    return pages.mediaBoxes.size() == 1 && !pages.rotated &&
           pages.mediaBoxes[0].width() > pages.mediaBoxes[0].height();
}

} // namespace nivra::test
