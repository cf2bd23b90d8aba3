// M_Form's output commands: the print preview, the metafile and picture exports, the printer.
#include <QAction>
#include <QPrinter>
#include <QToolButton>

#include "app/output/ExportPicture.h"
#include "app/output/Prev.h"
#include "app/output/Printer.h"
#include "app/output/create_emf.h"
#include "app/shell/Mainpeak.h"
#include "app/shell/Prompter.h"

namespace kalvex::app {

namespace {

const char* const kNoPrinter = "No Printer exists";

}  // namespace

void M_Form::PrevPrnClick() {
    if (state_.Doc.PrinterPresent && prev_form_ != nullptr) {
        prev_form_->ShowPreview();
    } else {
        prompter_.Error(this, QString::fromLatin1(kNoPrinter));
    }
    preview_button_->setChecked(false);
}

void M_Form::emf_buttonClick() {
    // The metafile is laid out on the printer's page, so it needs the printer too.
    if (!PpmBoxVisible()) {
        if (printer_ != nullptr) {
            emf_dialog_->Run();
        } else {
            prompter_.Error(this, QString::fromLatin1(kNoPrinter));
        }
    }
    ReleaseEmfButton();
}

void M_Form::ExportPictureClick() { picture_dlg_->Run(); }

void M_Form::ReleaseEmfButton() { emf_button_->setChecked(false); }

void M_Form::SetPrinter(std::unique_ptr<QPrinter> printer) {
    if (prev_form_ != nullptr) prev_form_->hide();
    printer_ = std::move(printer);
    state_.Doc.PrinterPresent = printer_ != nullptr;
    if (state_.Doc.PrinterPresent && prev_form_ == nullptr) prev_form_ = new PrevForm(*this, this);
}

bool M_Form::PrinterPortrait() const {
    return printer_ != nullptr && app::PrinterPortrait(*printer_);
}

void M_Form::SetPrinterPortrait(bool portrait) {
    if (printer_ != nullptr) app::SetPrinterPortrait(*printer_, portrait);
    state_.Opts.Print.PortraitPaper = portrait;
}

}  // namespace kalvex::app
