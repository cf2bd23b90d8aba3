// PrevForm: the print preview, its zoom, and printing.
#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace kalvex::app {

class M_Form;
class PaintBox;

/// "PREVIEW": the printer's sheet scaled to the screen at 50 % to 200 %, the printable area
/// on it drawn exactly as for the printer. Lives hidden from start-up; Close hides it and the
/// zoom stays for the next opening.
class PrevForm : public QWidget {
    Q_OBJECT

public:
    PrevForm(M_Form& main, QWidget* parent);

    int Zoom() const { return zoom_; }
    /// Shows the preview (FormShow): at the main window's top-left corner, laid out for the
    /// printer's page at the current zoom.
    void ShowPreview();

public slots:
    void ZoomUpClick();
    void ZoomDownClick();
    void BitBtn1Click();  ///< Print
    void BitBtn2Click();  ///< Close
    void BitBtn3Click();  ///< Set: the printer setup dialog
    void BitBtn4Click();  ///< Lines: the Options dialog's print pages
    void save_EMFClick();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    friend class PaintBox;
    /// Sheet, printable area, zoom buttons and label for the current zoom and printer page.
    void LayOut();
    void RequestZoom(int request);
    /// PaintBox1Paint: the plot on the printable area at the preview's resolution, into the
    /// paint box's page picture.
    void PaintBox1Paint(PaintBox& box);

    M_Form& main_;
    int zoom_;
    QWidget* panel1_ = nullptr;
    QToolButton* zoom_up_ = nullptr;
    QToolButton* zoom_down_ = nullptr;
    QLabel* label1_ = nullptr;
    QScrollArea* scroll_box1_ = nullptr;
    QWidget* panel2_ = nullptr;
    PaintBox* paint_box1_ = nullptr;
};

}  // namespace kalvex::app
