// A captioned group of radio buttons addressed by item index, as the Options pages use them.
#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;

namespace kalvex::app {

/// A group box named `name` with one radio button per item, laid out in `columns` columns.
/// Its index is the checked item, or -1 when none is. Chosen is emitted when the user checks
/// another item, never for SetIndex.
class RadioGroup : public QGroupBox {
    Q_OBJECT

public:
    RadioGroup(const char* name, const QString& caption, const QStringList& items, QWidget* parent,
               int columns = 1);

    int Index() const;
    /// Checks item `index`; -1 (or any index that is no item) leaves every item unchecked.
    void SetIndex(int index);

signals:
    void Chosen(int index);

private:
    QButtonGroup* buttons_;
};

}  // namespace kalvex::app
