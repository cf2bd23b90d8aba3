// Sel_Dlg, the Peak Information window, and Sel_Dlg2, its Gauss + Lorentz companion.
#pragma once

#include <QDialog>

#include "peaks/PeakEdit.h"
#include "peaks/PeakInfo.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kalvex::app {

class M_Form;

/// "Gauss + Lorentz": the Lorentzian width, the fraction and the normalised area of the peak
/// shown in Sel_Dlg. Filled and placed by Sel_Dlg::ShowPeak; its Draw runs Sel_Dlg's Draw.
class Sel_Dlg2 : public QDialog {
    Q_OBJECT

public:
    explicit Sel_Dlg2(QWidget* parent);
    void Fill(const peaks::SelDlg2Texts& texts);

    QLineEdit* EdWidth2 = nullptr;
    QLabel* Txt_Width = nullptr;
    QLabel* W_Err2 = nullptr;
    QLineEdit* EdHz2 = nullptr;
    QLabel* EdHz_Err2 = nullptr;
    QLineEdit* fract_L = nullptr;
    QLabel* fract_L_error = nullptr;
    QLabel* Norm_Area = nullptr;
    QPushButton* OKDraw = nullptr;
    QCheckBox* do_fraction_LSF = nullptr;
};

/// "Peak Information": one peak of the table at a time, edited and applied by Draw.
class Sel_Dlg : public QDialog {
    Q_OBJECT

public:
    Sel_Dlg(M_Form& main, QWidget* parent);

    /// ShowPeakInfo(n): fills both windows for peak n, places them beside the main window
    /// and shows or closes them.
    void ShowPeak(int n);
    /// Hides both windows (an open, All Reset, the fit dialog).
    void HideBoth();
    /// While the window is shown, shows its peak again: a command changed the table under it.
    void ShowAgain();
    Sel_Dlg2* Companion() { return sel_dlg2_; }

    /// The list Peak_Order: item index (0-based, -1 for none), append, keep the first `count`.
    int OrderIndex() const;
    void AppendItem(const QString& text);
    void TruncateItems(int count);

    /// The edit boxes and their edited flags as Draw will read them.
    const peaks::PeakEdits& Edits() const { return edits_; }

public slots:
    void OKDrawClick();
    void Del_KeyClick();
    void ClipbdClick();

private:
    void WatchEdit(QLineEdit* edit, std::string peaks::PeakEdits::*text,
                   bool peaks::PeakEdits::*flag);

    M_Form& main_;
    Sel_Dlg2* sel_dlg2_ = nullptr;
    peaks::PeakEdits edits_;

    QComboBox* Peak_Order = nullptr;
    QLineEdit* Edposition = nullptr;
    QLabel* Txt_PPM = nullptr;
    QLabel* posi_Err = nullptr;
    QLabel* x_Err = nullptr;
    QLineEdit* Edhight = nullptr;
    QLabel* H_Err = nullptr;
    QLineEdit* EdWidth = nullptr;
    QLabel* Txt_Width = nullptr;
    QLabel* W_Err = nullptr;
    QLineEdit* EdHz = nullptr;
    QLabel* EdHz_Err = nullptr;
    QLabel* ForG = nullptr;
    QLabel* Area_Label = nullptr;
    QLabel* Batsu_Label = nullptr;
    QLabel* IntegArea = nullptr;
    QLabel* Percnt = nullptr;
    QLabel* TotalArea = nullptr;
};

}  // namespace kalvex::app
