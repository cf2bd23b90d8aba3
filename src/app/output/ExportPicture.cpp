#include "app/output/ExportPicture.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/output/AskPictureFile.h"
#include "app/output/PictureFile.h"
#include "app/output/Printer.h"
#include "app/shell/Mainpeak.h"
#include "app/shell/Prompter.h"
#include "app/shell/RunCommand.h"
#include "core/FileSystem.h"
#include "output/MetafileRules.h"

namespace kalvex::app {

namespace {

const char* const kFormatCaptions[] = {"SVG (drawing programs, papers)", "PDF (the printed page)",
                                       "PNG (slides, web pages)"};

}  // namespace

PictureDlg::PictureDlg(M_Form& main, QWidget* parent) : QDialog(parent), main_(main) {
    setObjectName(QStringLiteral("PictureDlg"));
    setWindowTitle(QStringLiteral("Export Picture"));
    setModal(true);

    auto* group = new QGroupBox(QStringLiteral(" Format "), this);
    group->setObjectName(QStringLiteral("Picture_Format"));
    auto* group_layout = new QVBoxLayout(group);
    for (int i = 0; i < 3; ++i) {
        formats_[i] = new QRadioButton(QString::fromLatin1(kFormatCaptions[i]), group);
        formats_[i]->setObjectName(QStringLiteral("Picture_Format_") + QString::number(i));
        group_layout->addWidget(formats_[i]);
        connect(formats_[i], &QRadioButton::clicked, this, &PictureDlg::FormatClick);
    }
    formats_[0]->setChecked(true);

    auto* dpi_label = new QLabel(QStringLiteral("PNG resolution"), this);
    png_dpi_ = new QComboBox(this);
    png_dpi_->setObjectName(QStringLiteral("png_dpi"));
    for (int i = 0; i < output::kDpiItemCount; ++i) {
        png_dpi_->addItem(QString::fromStdString(output::DpiItemText(i)));
        if (output::kDpiItems[i] == output::kPngDefaultDpi) png_dpi_->setCurrentIndex(i);
    }
    png_dpi_->setEnabled(false);
    auto* create = new QPushButton(QStringLiteral("Export !"), this);
    create->setObjectName(QStringLiteral("export_create"));
    create->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(group, 0, 0, 1, 2);
    grid->addWidget(dpi_label, 1, 0);
    grid->addWidget(png_dpi_, 1, 1);
    grid->addWidget(create, 2, 0);
    grid->addWidget(cancel, 2, 1);

    connect(create, &QPushButton::clicked, this, &PictureDlg::export_createClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

int PictureDlg::FormatItem() const {
    for (int i = 0; i < 3; ++i) {
        if (formats_[i]->isChecked()) return i;
    }
    return 0;
}

void PictureDlg::Run() {
    adjustSize();
    move(main_.frameGeometry().center() - rect().center());
    exec();
}

void PictureDlg::FormatClick() {
    png_dpi_->setEnabled(output::FormatAt(output::kExportFormats, FormatItem()) ==
                         output::PictureFormat::kPng);
}

void PictureDlg::export_createClick() {
    QPrinter* printer = main_.Printer();
    view::AppState& state = main_.State();
    Prompter& prompter = main_.Prompts();
    RunCommand(this, prompter, [&] {
        const output::PictureFormat format = output::FormatAt(output::kExportFormats, FormatItem());
        const std::string& spectrum = state.Doc.SpectrumFileName;
        const auto target = AskPictureFile(
            this, prompter, core::FolderOf(spectrum), output::ProposePictureName(spectrum, format),
            FormatItem() + 1, output::kExportFilter, output::kExportFormats);
        if (!target) return;
        // Without any printer the picture goes on the virtual printer's page.
        const output::PrinterPage page =
            printer != nullptr ? PageOf(*printer)
                               : output::VirtualPdfPage(state.Opts.Print.PortraitPaper);
        const int dpi = target->Format == output::PictureFormat::kPng
                            ? output::kDpiItems[std::max(0, png_dpi_->currentIndex())]
                            : page.Dpi;
        WritePictureFile(target->Path, target->Format, page, dpi, state.Doc, state.Opts,
                         state.Plot);
    });
    accept();
}

}  // namespace kalvex::app
