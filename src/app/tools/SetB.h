// SetB ("Set Bias"): the bias typed in display units, with its level drawn on the picture.
#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kalvex::app {

class M_Form;

/// The modal bias dialog. While it is open the picture shows the bias level as a dotted navy
/// line (and a green scale at gain 1).
class SetB : public QDialog {
    Q_OBJECT

public:
    SetB(M_Form& main, QWidget* parent);

    /// Menu "Set Bias (&B)" (and Apply): refresh, the marks, the edit; shown modally when
    /// hidden. Nothing while the ppm/Hz read-out is open.
    void SetBiasClick();
    /// Tool button "Setting Bias Value": ends another tool mode first, then SetBiasClick.
    void SetBias_buttonClick();
    void OKBtnClick();
    void CancelBtnClick();
    void SB_applyClick();

    /// After an open: BiasLabel shows the automatic value, and the dialog is placed anew.
    void AfterOpen(const QString& auto_label);

    /// Replaces how the modal dialog is run (tests answer it without a window loop).
    void SetRunner(std::function<void(SetB&)> runner) { runner_ = std::move(runner); }

    QLineEdit* EdBias = nullptr;
    QLabel* BiasLabel = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* SB_apply = nullptr;

protected:
    void reject() override;

private:
    /// The typed value applied; false when it is no number (the message is shown).
    bool ApplyEdit();
    /// OK and Cancel: refresh without the marks, button up, placed anew next time.
    void Finish();

    M_Form& main_;
    bool place_ = true;  // BiasDlgPlace
    bool running_ = false;
    std::function<void(SetB&)> runner_;
};

}  // namespace kalvex::app
