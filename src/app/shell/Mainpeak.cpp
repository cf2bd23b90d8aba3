// M_Form: construction, the state shared by its commands, the Shell it offers the view, events.
#include "app/shell/Mainpeak.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QPrinter>
#include <QToolButton>

#include "app/fit/CalcGo.h"
#include "app/help/About.h"
#include "app/help/HelpWindow.h"
#include "app/options/PagesDlg.h"
#include "app/output/ExportPicture.h"
#include "app/output/Prev.h"
#include "app/output/Printer.h"
#include "app/output/create_emf.h"
#include "app/peaks/Peaks.h"
#include "app/qt/Fonts.h"
#include "app/qt/PlotImage.h"
#include "app/shell/Prompter.h"
#include "app/shell/RunCommand.h"
#include "app/tools/Horizontal_Shift.h"
#include "app/tools/RangeDlg.h"
#include "app/tools/SetB.h"
#include "app/tools/array_number.h"
#include "app/tools/height_change.h"
#include "app/tools/ppm_box.h"
#include "core/FormSize.h"
#include "core/HelpPages.h"
#include "core/Settings.h"
#include "view/MouseLogic.h"
#include "view/Plotting.h"
#include "view/RefreshLogic.h"

namespace kalvex::app {

namespace {

const char* const kTitle = "Kalvex Ver. 1.3";

}  // namespace

M_Form::M_Form(view::AppState& state, Prompter& prompter, QWidget* parent)
    : M_Form(state, prompter,
             core::SettingsFilePathFor(QCoreApplication::applicationFilePath().toStdString()),
             parent) {}

M_Form::M_Form(view::AppState& state, Prompter& prompter, const std::string& settings_path,
               QWidget* parent)
    : QMainWindow(parent), state_(state), prompter_(prompter), settings_path_(settings_path) {
    setObjectName(QStringLiteral("M_Form"));
    setFont(TimesFont(12, true, true));
    BuildControls();
    BuildMenus();

    state_.Doc.SpectrumLoaded = false;
    state_.Opts.XTickManual = false;
    setWindowTitle(QString::fromLatin1(kTitle));
    state_.Doc.SpectrumFileName.clear();
    ReadWindowSettings();
    // A printer that cannot be asked for its resolution counts as none, without a message.
    printer_ = ProbePrinter();
    state_.Doc.PrinterPresent = printer_ != nullptr;

    // The dialogs live for the whole run, created in the order the program always used.
    emf_dialog_ = new EMF_dialog(*this, this);
    ppm_box_ = new ppm_box(*this, this);
    horizontal_shift_ = new Horizontal_Shift(*this, this);
    input_array_number_ = new Input_array_number(this);
    height_change_ = new height_change(*this, this);
    if (state_.Doc.PrinterPresent) prev_form_ = new PrevForm(*this, this);
    about_ = new About(prompter_, this);
    picture_dlg_ = new PictureDlg(*this, this);
    help_window_ = new HelpWindow(this);
    sel_dlg_ = new Sel_Dlg(*this, this);
    set_b_ = new SetB(*this, this);
    pages_dlg_ = new PagesDlg(*this, settings_path_, this);
    // The printer takes the paper orientation kept in the settings.
    SetPrinterPortrait(state_.Opts.Print.PortraitPaper);
    lsf_gn_ = new LSF_GN(*this, this);
    range_dlg_ = new RangeDlg(*this, this);
    ConnectTools();

    qApp->installEventFilter(this);
}

M_Form::~M_Form() { qApp->removeEventFilter(this); }

QAction* M_Form::Action(const char* name) const {
    return findChild<QAction*>(QString::fromLatin1(name));
}

void M_Form::ApplySizePreset() {
    const core::ClientSize size = core::FormClientSize(state_.Opts.D_size_combo);
    client_->setFixedSize(size.Width, size.Height);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    view::LayoutPlotArea(state_.Plot, size.Width, size.Height);
    PlaceBevel(state_.Plot.Bevel);
    if (!state_.Doc.SpectrumLoaded) {
        const view::PixelRect image = view::PlotBitmapRect(state_.Plot.Bevel);
        img_spect_->CreateBitmap(image.Left, image.Top, image.Width, image.Height);
    }
}

void M_Form::ReleaseToolButtons(QToolButton* keep) {
    for (QToolButton* b : {file_open_button_, save_button_, preview_button_, lsf_, range_xy_button_,
                           read_ppm_button_, set_bias_button_, emf_button_}) {
        if (b != keep && b->isChecked()) {
            const QSignalBlocker block(b);
            b->setChecked(false);
        }
    }
}

void M_Form::EnableAfterOpen() {
    SetLsfEnabled(false);
    img_spect_->setEnabled(true);
    for (const char* name : {"M_Save", "M_SaveAs", "M_Rename", "A_Reset", "SetBias", "PrevPrn",
                             "ExportPicture", "RangeXY", "ReadCSppm", "ChangeHeight"}) {
        Action(name)->setEnabled(true);
    }
    save_button_->setEnabled(true);
    preview_button_->setEnabled(true);
    for (QToolButton* b : {range_xy_button_, set_bias_button_, emf_button_, read_ppm_button_}) {
        b->setEnabled(true);
        b->setAutoRaise(false);
        b->setChecked(false);
    }
    for (const char* name : {"plusminus", "HorizonShift", "inputFreq", "Open_sp2_file"}) {
        Action(name)->setEnabled(true);
        Action(name)->setChecked(false);
    }
    num_array_->hide();
    array_updown_->hide();
}

void M_Form::EndOpenCommand() {
    Action("SequentialSavespc")->setEnabled(state_.Doc.IsArrayed);
    file_open_button_->setChecked(false);
}

void M_Form::SetNormG() {
    SetFittedText(norm_g_, QString::fromLatin1(view::NormGText(state_.Doc.YScale)), 19);
}

void M_Form::SetPGain(const QString& text) { SetFittedText(p_gain_, text, 16); }

void M_Form::ShowArrayNumber() {
    num_array_->setText(QString::number(state_.Doc.ArrayIndex));
    num_array_->setVisible(state_.Doc.IsArrayed);
    array_updown_->setVisible(state_.Doc.IsArrayed);
}

// --- Shell -------------------------------------------------------------------------------------

int M_Form::ClientWidth() const { return client_->width(); }
int M_Form::ClientHeight() const { return client_->height(); }

void M_Form::PlaceBevel(const view::PixelRect& bevel) {
    m_bevel_->setGeometry(bevel.Left, bevel.Top, bevel.Width, bevel.Height);
}

view::Canvas& M_Form::CreatePlotBitmap(const view::PixelRect& image) {
    return img_spect_->CreateBitmap(image.Left, image.Top, image.Width, image.Height);
}

view::Canvas* M_Form::PictureCanvas() { return img_spect_->Canvas(); }

void M_Form::PictureChanged() { img_spect_->update(); }

void M_Form::SetTitle(const std::string& title) { setWindowTitle(QString::fromUtf8(title)); }

void M_Form::SetSxxText(const std::string& text) {
    SetFittedText(sxx_, QString::fromLatin1(text), 19);
}

void M_Form::SetLsfEnabled(bool enabled) {
    lsf_->setEnabled(enabled);
    // A grey button alone does not tell a new user that the squared sum is too large.
    lsf_->setToolTip(QString::fromLatin1(view::FitButtonHint(state_.Doc)));
}

void M_Form::SetSaveGLEnabled(bool enabled) { Action("M_saveGL")->setEnabled(enabled); }

bool M_Form::OpenSp2Ticked() const { return Action("Open_sp2_file")->isChecked(); }

void M_Form::ShowMessage(const std::string& text) {
    prompter_.Information(this, QString::fromLatin1(text));
}

void M_Form::TakeKeyboardFocus() {
    activateWindow();
    setFocus();
}

bool M_Form::PeakInfoVisible() const { return sel_dlg_->isVisible(); }

int M_Form::PeakOrderIndex() const { return sel_dlg_->OrderIndex(); }

void M_Form::AppendPeakOrderItem(const std::string& text) {
    sel_dlg_->AppendItem(QString::fromLatin1(text));
}

void M_Form::TruncatePeakOrder(int count) { sel_dlg_->TruncateItems(count); }

void M_Form::ShowPeakInfo(int k) { sel_dlg_->ShowPeak(k); }

bool M_Form::PpmBoxVisible() const { return ppm_box_->IsOpen(); }

void M_Form::SetPpmReadout(const view::PpmReadoutTexts& texts) { ppm_box_->SetReadout(texts); }

void M_Form::SetDiffHzText(const std::string& text) {
    ppm_box_->SetDiffHz(QString::fromLatin1(text));
}

void M_Form::SetPpmUnitLabel(const std::string& text) {
    ppm_box_->SetUnit(QString::fromLatin1(text));
}

void M_Form::ClosePpmReadout() {
    if (ppm_box_->IsOpen()) ppm_box_->ppm_closeClick();
}

void M_Form::OpenPpmReadout() { ppm_box_->ReadCSppmClick(); }

bool M_Form::RangeDialogVisible() const { return range_dlg_->isVisible(); }

void M_Form::OpenRangeDialogOnYTab() {
    // One tool mode at a time: the gain keys end the read-out's first.
    ClosePpmReadout();
    range_dlg_->Open(RangeDlg::kYTab);
}

void M_Form::RangeDialogOk() { range_dlg_->OKBtnClick(); }

void M_Form::RangeDialogReset() { range_dlg_->resetBtnClick(); }

void M_Form::SetRangeLabel6(const std::string& text) {
    range_dlg_->SetLabel6(QString::fromLatin1(text));
}

void M_Form::SetRangeEdit1(const std::string& text) {
    range_dlg_->SetEdit1(QString::fromLatin1(text));
}

void M_Form::SetRangeEdit2(const std::string& text) {
    range_dlg_->SetEdit2(QString::fromLatin1(text));
}

void M_Form::SetRangeApplyMode() { range_dlg_->SetApplyMode(); }

void M_Form::SetUpDownYPosition(int position) { range_dlg_->SetUpDownYPosition(position); }

void M_Form::ClearRangeEditedFlags() { range_dlg_->ClearEditedFlags(); }

// --- Picture, fit, help ---------------------------------------------------------------------

void M_Form::RefreshClick() {
    RunCommand(this, prompter_, [&] { view::RefreshClick(state_, *this); });
}

void M_Form::LSFClick() {
    RunCommand(this, prompter_, [&] { lsf_gn_->Start(); });
    lsf_->setChecked(false);
}

void M_Form::verAboutClick() { about_->ShowCentred(); }

void M_Form::HowToClick() { ShowHelpTopic(0); }

void M_Form::ShowHelpTopic(int topic) {
    const QString folder = HelpFolder();
    const QString page = folder + "/" + QString::fromStdString(core::HelpPageFor(topic));
    if (folder.isEmpty() || !QFileInfo::exists(page)) {
        prompter_.Error(this, QStringLiteral("The help pages cannot be shown: ") +
                                  (folder.isEmpty() ? QStringLiteral("no help folder") : page));
        return;
    }
    help_window_->ShowPage(page);
}

bool M_Form::PrintPreviewVisible() const {
    return prev_form_ != nullptr && prev_form_->isVisible();
}
void M_Form::ReopenPrintPreview() {
    if (prev_form_ == nullptr) return;
    prev_form_->hide();
    prev_form_->ShowPreview();
}

// --- Events -----------------------------------------------------------------------------------

bool M_Form::eventFilter(QObject* watched, QEvent* event) {
    // Once a spectrum is open, the main window sees its key presses before its controls.
    if (event->type() != QEvent::KeyPress || !state_.Doc.SpectrumLoaded) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this || !isEnabled()) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    int vk = 0;
    switch (key->key()) {
        case Qt::Key_Left:
            vk = view::kVkLeft;
            break;
        case Qt::Key_Up:
            vk = view::kVkUp;
            break;
        case Qt::Key_Right:
            vk = view::kVkRight;
            break;
        case Qt::Key_Down:
            vk = view::kVkDown;
            break;
        default:
            break;
    }
    if (vk != 0) {
        RunCommand(this, prompter_, [&] { view::CMChildKey(state_, *this, vk); });
        return true;
    }
    // Only the gain and view keys are the picture's; the rest (menu access keys) go on.
    const QString text = key->text();
    if ((key->modifiers() & (Qt::AltModifier | Qt::ControlModifier)) || text.size() != 1 ||
        !QStringLiteral("AaDdIiRr").contains(text[0])) {
        return false;
    }
    RunCommand(this, prompter_, [&] { view::KeyPress(state_, *this, text[0].toLatin1()); });
    return true;
}

void M_Form::closeEvent(QCloseEvent* event) {
    sel_dlg_->HideBoth();
    pages_dlg_->hide();
    state_.Doc.Release();
    WriteSettingsAtClose();
    event->accept();
}

}  // namespace kalvex::app
