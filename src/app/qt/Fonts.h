// The fonts the windows name: Times New Roman in pixel sizes.
#pragma once

#include <QFont>

namespace kalvex::app {

/// "Times New Roman" at `pixels` pixels, bold and italic as given.
inline QFont TimesFont(int pixels, bool bold, bool italic) {
    QFont f(QStringLiteral("Times New Roman"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

}  // namespace kalvex::app
