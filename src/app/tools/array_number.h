// Input_array_number: asks which spectrum of an arrayed file to show.
#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;

namespace kalvex::app {

class Input_array_number : public QDialog {
    Q_OBJECT

public:
    explicit Input_array_number(QWidget* parent);

    /// Shows the dialog until the entry is a spectrum number 1..array_count and returns it;
    /// a rejected entry is asked again with the reason in place of the prompt. Escape throws
    /// kalvex::Cancelled: the open stops and keeps the previous document.
    int Ask(int array_count);

    /// Replaces how the dialog is run (tests answer it without a window loop): gets the
    /// dialog after it has been prepared, returns after the user's OK.
    void SetRunner(std::function<void(Input_array_number&)> runner) { runner_ = std::move(runner); }

    QLineEdit* vj1_edit = nullptr;
    QLabel* vj1_label = nullptr;
    QLabel* Label1 = nullptr;  ///< the prompt, or why the last entry was not taken

private:
    std::function<void(Input_array_number&)> runner_;
};

}  // namespace kalvex::app
