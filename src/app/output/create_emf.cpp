#include "app/output/create_emf.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include "app/output/AskPictureFile.h"
#include "app/output/PictureFile.h"
#include "app/output/Printer.h"
#include "app/shell/Mainpeak.h"
#include "app/shell/Prompter.h"
#include "app/shell/RunCommand.h"
#include "output/MetafileRules.h"

namespace kalvex::app {

EMF_dialog::EMF_dialog(M_Form& main, QWidget* parent) : QDialog(parent), main_(main) {
    setObjectName(QStringLiteral("EMF_dialog"));
    setWindowTitle(QStringLiteral("Create (Windows Meta File)"));
    setModal(true);

    auto* radio = new QGroupBox(QStringLiteral(" EMF / WMF "), this);
    radio->setObjectName(QStringLiteral("Radio_EMF"));
    emf_ = new QRadioButton(QStringLiteral("Enhanced (emf, recommend)"), radio);
    emf_->setObjectName(QStringLiteral("Radio_EMF_0"));
    wmf_ = new QRadioButton(QStringLiteral("normal (wmf)"), radio);
    wmf_->setObjectName(QStringLiteral("Radio_EMF_1"));
    emf_->setChecked(true);
    auto* radio_layout = new QVBoxLayout(radio);
    radio_layout->addWidget(emf_);
    radio_layout->addWidget(wmf_);

    auto* label1 = new QLabel(QStringLiteral("Current "), this);
    label1->setObjectName(QStringLiteral("Label1"));
    dpi_show_ = new QLabel(QStringLiteral("600dpi"), this);
    dpi_show_->setObjectName(QStringLiteral("dpi_show"));
    check_slct_dpi_ = new QCheckBox(QStringLiteral(" select dpi"), this);
    check_slct_dpi_->setObjectName(QStringLiteral("Check_slct_dpi"));
    dpi_select_ = new QComboBox(this);
    dpi_select_->setObjectName(QStringLiteral("dpi_select"));
    for (int i = 0; i < output::kDpiItemCount; ++i) {
        dpi_select_->addItem(QString::fromStdString(output::DpiItemText(i)));
    }
    dpi_select_->setEnabled(false);
    auto* create = new QPushButton(QStringLiteral("Create !"), this);
    create->setObjectName(QStringLiteral("emf_creat"));
    create->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(radio, 0, 0, 1, 2);
    grid->addWidget(label1, 1, 0, Qt::AlignRight);
    grid->addWidget(dpi_show_, 1, 1);
    grid->addWidget(check_slct_dpi_, 2, 0);
    grid->addWidget(dpi_select_, 2, 1);
    grid->addWidget(create, 3, 0);
    grid->addWidget(cancel, 3, 1);

    connect(check_slct_dpi_, &QCheckBox::clicked, this, &EMF_dialog::Check_slct_dpiClick);
    connect(create, &QPushButton::clicked, this, &EMF_dialog::emf_createClick);
    connect(cancel, &QPushButton::clicked, this, &EMF_dialog::CancelBtnClick);
}

void EMF_dialog::Run() {
    QPrinter* printer = main_.Printer();
    if (printer == nullptr) return;
    const int r = PageOf(*printer).Dpi;
    dpi_show_->setText(QString::fromStdString(output::DpiShowText(r)));
    dpi_select_->setCurrentIndex(output::PreselectDpiItem(r));
    adjustSize();
    if (const QScreen* screen = this->screen()) {
        move(screen->geometry().center() - rect().center());
    }
    exec();
}

void EMF_dialog::Check_slct_dpiClick() { dpi_select_->setEnabled(!dpi_select_->isEnabled()); }

void EMF_dialog::emf_createClick() {
    QPrinter* printer = main_.Printer();
    view::AppState& state = main_.State();
    Prompter& prompter = main_.Prompts();
    if (printer != nullptr) {
        RunCommand(this, prompter, [&] {
            const output::MetafileProposal p =
                output::ProposeMetafile(state.Doc.SpectrumFileName, wmf_->isChecked());
            const auto target = AskPictureFile(this, prompter, p.Folder, p.FileName, p.FilterIndex,
                                               output::kMetafileFilter, output::kMetafileFormats);
            if (!target) return;
            const output::PrinterPage page = PageOf(*printer);
            const int dpi = output::MetafileDpi(check_slct_dpi_->isChecked(),
                                                dpi_select_->currentIndex(), page.Dpi);
            WritePictureFile(target->Path, target->Format, page, dpi, state.Doc, state.Opts,
                             state.Plot);
        });
    }
    main_.ReleaseEmfButton();
    accept();
}

void EMF_dialog::CancelBtnClick() {
    main_.ReleaseEmfButton();
    reject();
}

}  // namespace kalvex::app
