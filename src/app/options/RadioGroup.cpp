#include "app/options/RadioGroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

namespace kalvex::app {

RadioGroup::RadioGroup(const char* name, const QString& caption, const QStringList& items,
                       QWidget* parent, int columns)
    : QGroupBox(caption, parent), buttons_(new QButtonGroup(this)) {
    setObjectName(QString::fromLatin1(name));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setVerticalSpacing(1);
    const int rows = static_cast<int>((items.size() + columns - 1) / columns);
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        b->setObjectName(QString::fromLatin1(name) + QStringLiteral("_%1").arg(i));
        buttons_->addButton(b, i);
        grid->addWidget(b, i % rows, i / rows);
    }
    // A choice is a change of the checked item; clicking the checked one again is none.
    connect(buttons_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) emit Chosen(id);
    });
}

int RadioGroup::Index() const { return buttons_->checkedId(); }

void RadioGroup::SetIndex(int index) {
    if (index == Index()) return;
    const QSignalBlocker quiet(buttons_);
    QAbstractButton* b = buttons_->button(index);
    if (b != nullptr) {
        b->setChecked(true);
        return;
    }
    // An exclusive group never unchecks its last button by itself.
    buttons_->setExclusive(false);
    for (QAbstractButton* each : buttons_->buttons()) each->setChecked(false);
    buttons_->setExclusive(true);
}

}  // namespace kalvex::app
