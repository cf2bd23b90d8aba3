// Controls of the tool windows, created with the names the windows give them (objectName).
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kalvex::app {

inline QLabel* NamedLabel(QWidget* parent, const char* name, const QString& text = {}) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

inline QLineEdit* NamedEdit(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    return e;
}

/// A push button; only the one made `is_default` answers the Return key.
inline QPushButton* NamedButton(QWidget* parent, const char* name, const char* caption,
                                bool is_default = false) {
    auto* b = new QPushButton(QString::fromLatin1(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setDefault(is_default);
    b->setAutoDefault(is_default);
    return b;
}

}  // namespace kalvex::app
