// The fonts the windows name: Times New Roman in pixel sizes.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QLabel>

namespace kalvex::app {

/// "Times New Roman" at `pixels` pixels, bold and italic as given.
inline QFont TimesFont(int pixels, bool bold, bool italic) {
    QFont f(QStringLiteral("Times New Roman"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

/// Sets `text` on a read-out of fixed size with its own font at `pixels` pixels, or smaller
/// when the text would not fit inside the box otherwise (a long number or gain).
inline void SetFittedText(QLabel* label, const QString& text, int pixels) {
    QFont f = label->font();
    const int room = label->contentsRect().width() - 2;
    for (f.setPixelSize(pixels); f.pixelSize() > 6; f.setPixelSize(f.pixelSize() - 1)) {
        if (QFontMetrics(f).horizontalAdvance(text) <= room) break;
    }
    label->setFont(f);
    label->setText(text);
}

}  // namespace kalvex::app
