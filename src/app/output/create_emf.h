// EMF_dialog: the metafile export's format and resolution, then the file.
#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;

namespace kalvex::app {

class M_Form;

/// "Create (Windows Meta File)": chooses an enhanced or old-style metafile and the resolution
/// it is drawn at, then the file. Lives for the program's run and keeps its choices, except
/// that the resolution list is preset from the printer at every opening.
class EMF_dialog : public QDialog {
    Q_OBJECT

public:
    EMF_dialog(M_Form& main, QWidget* parent);

    /// save_EMFClick: shows the printer's resolution, preselects the list from it and shows
    /// the dialog modally, centred on the screen. Needs the main window's printer.
    void Run();

public slots:
    void Check_slct_dpiClick();
    void emf_createClick();
    void CancelBtnClick();

private:
    M_Form& main_;
    QRadioButton* emf_ = nullptr;
    QRadioButton* wmf_ = nullptr;
    QLabel* dpi_show_ = nullptr;
    QCheckBox* check_slct_dpi_ = nullptr;
    QComboBox* dpi_select_ = nullptr;
};

}  // namespace kalvex::app
