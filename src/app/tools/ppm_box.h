// ppm_box ("PPM/Hz"): the read-out of X, point, intensity and Hz difference under the cursor.
#pragma once

#include <QWidget>

#include "view/Shell.h"

class QLabel;
class QPushButton;

namespace kalvex::app {

class M_Form;

/// The modeless read-out window left of the main window. While it is open the main window is
/// in its tool mode, the picture is not redrawn and the mouse moves a cursor line over it
/// (view::MouseLogic fills the labels).
class ppm_box : public QWidget {
    Q_OBJECT

public:
    ppm_box(M_Form& main, QWidget* parent);

    bool IsOpen() const { return open_; }
    /// Menu "Read ppm/Hz": opens it, in the tool mode.
    void ReadCSppmClick();
    /// Tool button "Read ppm/Hz": opens it, closes it when open, or closes Range XY first.
    void Read_ppm_buttonClick();
    /// "Close": tool mode left, commands back, the picture refreshed without the cursor line.
    void ppm_closeClick();

    void SetReadout(const view::PpmReadoutTexts& texts);
    void SetDiffHz(const QString& text);
    /// Label1, the unit of ppm_label: "ppm " or "Hz ".
    void SetUnit(const QString& text);
    /// The hint that the spectrum has no observe frequency; empty hides it.
    void SetFrequencyHint(const QString& text);

    QLabel* ppm_label = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* diff_Hz = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Int_Label = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* FreqHint = nullptr;
    QPushButton* ppm_close = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    M_Form& main_;
    bool open_ = false;
};

}  // namespace kalvex::app
