// Horizontal_Shift: the shift of every peak by whole points, and the observe frequency entry.
#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kalvex::app {

class M_Form;

/// One modal dialog for two entries: "Horizontal Shift" (points) and "input Freq" (MHz, while
/// FreqInputMode is set).
class Horizontal_Shift : public QDialog {
    Q_OBJECT

public:
    Horizontal_Shift(M_Form& main, QWidget* parent);

    /// Menu "Horizontal Shift" (a check mark that acts once per use).
    void HorizonShiftClick();
    /// Menu "input Freq": the frequency entry, then the Hz calibration in every case.
    void inputFreqClick();
    void Shift_OKClick();
    void Shift_NoClick();

    bool FreqInputMode() const { return freq_input_mode_; }

    /// Replaces how the modal dialog is run (tests answer it without a window loop).
    void SetRunner(std::function<void(Horizontal_Shift&)> runner) { runner_ = std::move(runner); }

    QLabel* Label1 = nullptr;
    QLineEdit* Shift_Value = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* Shift_OK = nullptr;
    QPushButton* Shift_No = nullptr;

protected:
    void done(int result) override;

private:
    /// Placed on the main window and shown modally unless it is already visible.
    void Run();

    M_Form& main_;
    bool freq_input_mode_ = false;
    bool running_ = false;
    std::function<void(Horizontal_Shift&)> runner_;
};

}  // namespace kalvex::app
