// RangeDlg ("XY_Range"): the shown X range, typed or dragged, and the vertical magnification.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace kalvex::app {

class M_Form;

/// The modeless Range XY dialog beside the main window. While it is open the main window is
/// in its tool mode and mouse drags on the picture choose an X range (view::MouseLogic).
class RangeDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kXTab = 0;
    static constexpr int kYTab = 1;

    RangeDlg(M_Form& main, QWidget* parent);

    /// Opens it on `tab` (again): tool mode entered, placed right of the main window, edited
    /// flags cleared; shown if hidden (which fills it, FormShow).
    void Open(int tab);
    /// Menu "Range XY": opens it on the X tab, unless the ppm/Hz read-out is open.
    void RangeXYClick();
    /// Tool button "Expand Range XY": opens it (OK then closes it), or closes it when open;
    /// from the read-out's mode it closes the read-out first.
    void RangeXY_buttonClick();

    void OKBtnClick();
    /// "Cancel", or "Apply" after a right-button drag (which runs OK and stays open).
    void CancelBtnClick();
    void resetBtnClick();
    /// An arrow of UpDown_Y (fine = false) or UpDown_Y2 (fine = true).
    void UpDown_YClick(bool fine, bool up);
    /// Closes it as "Cancel" does whatever the button's caption: the way out for the tool
    /// button, the close box, the fit and the other tools.
    void CloseTool();

    /// What the view logic sets (Shell).
    void SetLabel6(const QString& text);
    void SetEdit1(const QString& text);
    void SetEdit2(const QString& text);
    void SetApplyMode();
    void SetUpDownYPosition(int position) { up_down_y_position_ = position; }
    void ClearEditedFlags();

    QTabWidget* PageControlXY = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label6 = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* resetBtn = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void FormShow();
    /// Leaves the tool mode and closes (OK step 7).
    void LeaveTool();

    M_Form& main_;
    bool edited1_ = false;
    bool edited2_ = false;
    bool y_touched_ = false;
    int up_down_y_position_ = 1;
};

}  // namespace kalvex::app
