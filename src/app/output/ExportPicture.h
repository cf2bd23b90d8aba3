// PictureDlg: "Export Picture..." writes the plot as SVG, PDF or PNG for papers and slides.
#pragma once

#include <QDialog>

class QComboBox;
class QRadioButton;

namespace kalvex::app {

class M_Form;

/// "Export Picture": the format (SVG, PDF, PNG) and, for PNG, the resolution; then the file.
/// The picture is the printed one (view::RenderForOutput on the printer's page), so the print
/// layout of the Options dialog applies. Keeps its choices between uses.
class PictureDlg : public QDialog {
    Q_OBJECT

public:
    PictureDlg(M_Form& main, QWidget* parent);

    /// Shows the dialog modally, centred on the main window.
    void Run();

public slots:
    void FormatClick();
    void export_createClick();

private:
    int FormatItem() const;

    M_Form& main_;
    QRadioButton* formats_[3] = {};
    QComboBox* png_dpi_ = nullptr;
};

}  // namespace kalvex::app
