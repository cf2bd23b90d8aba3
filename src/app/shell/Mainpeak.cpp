#include "app/shell/Mainpeak.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>

#include "app/fit/CalcGo.h"
#include "app/help/About.h"
#include "app/peaks/Peaks.h"
#include "app/qt/PlotImage.h"
#include "app/shell/Prompter.h"
#include "app/shell/RunCommand.h"
#include "app/tools/array_number.h"
#include "core/Capacities.h"
#include "core/Error.h"
#include "core/FileSystem.h"
#include "core/FormSize.h"
#include "files/OpenCommand.h"
#include "files/PeakLines.h"
#include "files/SaveCommand.h"
#include "files/SpcFile.h"
#include "tools/ArrayNumber.h"
#include "tools/Bias.h"
#include "view/MouseLogic.h"
#include "view/Plotting.h"
#include "view/RefreshLogic.h"

namespace kalvex::app {

namespace {

const char* const kTitle = "Kalvex Ver. 1.3";
const char* const kTooLongPath =
    "Too Long Directry and File name: Must be shorter than 255 characters";

QFont TimesFont(int pixels, bool bold, bool italic) {
    QFont f(QStringLiteral("Times New Roman"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

// Small pictures of the tool buttons, drawn so the program carries no image files.
QIcon DrawnIcon(const std::function<void(QPainter&)>& draw) {
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return QIcon(pm);
}

QIcon OpenIcon() {
    return DrawnIcon([](QPainter& p) {
        p.setPen(QPen(QColor(120, 90, 0), 1.2));
        p.setBrush(QColor(240, 200, 80));
        p.drawRect(2, 6, 15, 11);
        p.drawRect(2, 4, 6, 3);
    });
}

QIcon SaveIcon() {
    return DrawnIcon([](QPainter& p) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(40, 70, 160));
        p.drawRect(2, 2, 16, 16);
        p.setBrush(Qt::white);
        p.drawRect(5, 3, 10, 6);
        p.drawRect(6, 12, 8, 5);
    });
}

QIcon PreviewIcon() {
    return DrawnIcon([](QPainter& p) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawRect(3, 2, 12, 16);
        p.setPen(QPen(Qt::darkBlue, 2));
        p.drawEllipse(QPointF(12, 12), 4, 4);
        p.drawLine(QPointF(15, 15), QPointF(18, 18));
    });
}

QIcon CurveIcon(const QColor& colour) {
    return DrawnIcon([colour](QPainter& p) {
        QPainterPath path(QPointF(1, 17));
        path.cubicTo(QPointF(8, 17), QPointF(8, 2), QPointF(10, 2));
        path.cubicTo(QPointF(12, 2), QPointF(12, 17), QPointF(19, 17));
        p.setPen(QPen(colour, 1.6));
        p.drawPath(path);
    });
}

QIcon RangeIcon() {
    return DrawnIcon([](QPainter& p) {
        p.setPen(QPen(Qt::black, 1.2));
        p.drawLine(2, 10, 18, 10);
        p.drawLine(2, 6, 2, 14);
        p.drawLine(18, 6, 18, 14);
        p.drawLine(10, 2, 10, 18);
    });
}

QIcon ReadoutIcon() {
    return DrawnIcon([](QPainter& p) {
        p.setPen(QPen(QColor(128, 0, 0), 1.4));
        p.drawLine(10, 1, 10, 19);
        p.drawLine(1, 10, 19, 10);
        p.drawEllipse(QPointF(10, 10), 5, 5);
    });
}

QIcon BiasIcon() {
    return DrawnIcon([](QPainter& p) {
        p.setPen(QPen(QColor(0, 0, 128), 1.4, Qt::DotLine));
        p.drawLine(1, 14, 19, 14);
        p.setPen(QPen(Qt::black, 1.2));
        p.drawLine(3, 14, 7, 4);
        p.drawLine(7, 4, 11, 14);
    });
}

}  // namespace

M_Form::M_Form(view::AppState& state, Prompter& prompter, QWidget* parent)
    : QMainWindow(parent), state_(state), prompter_(prompter) {
    setObjectName(QStringLiteral("M_Form"));
    setFont(TimesFont(12, true, true));
    BuildControls();
    BuildMenus();

    state_.Doc.SpectrumLoaded = false;
    state_.Opts.XTickManual = false;
    setWindowTitle(QString::fromLatin1(kTitle));
    state_.Doc.SpectrumFileName.clear();
    open_folder_ = QCoreApplication::applicationDirPath();
    const QString examples = open_folder_ + QStringLiteral("/examples");
    if (QFileInfo(examples).isDir()) open_folder_ = examples;
    ApplySizePreset();
    move(300, 100);

    // The dialogs live for the whole run, created in the order the program always used.
    input_array_number_ = new Input_array_number(this);
    about_ = new About(this);
    sel_dlg_ = new Sel_Dlg(*this, this);
    lsf_gn_ = new LSF_GN(*this, this);

    qApp->installEventFilter(this);
}

M_Form::~M_Form() { qApp->removeEventFilter(this); }

// --- Construction ----------------------------------------------------------------------------

QToolButton* M_Form::AddToolButton(const char* name, int x, int y, int w, int h, const char* hint,
                                   bool flat) {
    auto* b = new QToolButton(client_);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(x, y, w, h);
    b->setToolTip(QString::fromLatin1(hint));
    b->setCheckable(true);
    b->setAutoRaise(flat);
    b->setIconSize(QSize(20, 20));
    connect(b, &QToolButton::toggled, this, [this, b](bool down) {
        if (down) ReleaseToolButtons(b);
    });
    return b;
}

void M_Form::BuildControls() {
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(client_);

    file_open_button_ = AddToolButton("FileOpenButton", 0, 0, 25, 25, "File Open", false);
    file_open_button_->setIcon(OpenIcon());
    save_button_ =
        AddToolButton("SaveButton", 27, 0, 25, 25, "Save As File (Dialog Appear)", false);
    save_button_->setIcon(SaveIcon());
    preview_button_ = AddToolButton("PreviewButton", 54, 0, 25, 25, "Print Preview", false);
    preview_button_->setIcon(PreviewIcon());
    connect(file_open_button_, &QToolButton::clicked, this, &M_Form::M_OpenClick);
    connect(save_button_, &QToolButton::clicked, this, &M_Form::M_RenameClick);
    connect(preview_button_, &QToolButton::clicked, this, &M_Form::PrevPrnClick);

    refresh_ = new QPushButton(QStringLiteral("Refresh"), client_);
    refresh_->setObjectName(QStringLiteral("Refresh"));
    refresh_->setGeometry(81, 0, 70, 25);
    refresh_->setToolTip(QStringLiteral("Re_Drawing"));
    refresh_->setFont(TimesFont(13, true, true));
    refresh_->setFocusPolicy(Qt::NoFocus);
    connect(refresh_, &QPushButton::clicked, this, &M_Form::RefreshClick);

    auto* label1 = new QLabel(QStringLiteral("| r | = "), client_);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setGeometry(155, 2, 40, 19);
    label1->setFont(TimesFont(17, true, false));
    label1->setStyleSheet(QStringLiteral("color: blue"));

    sxx_ = new QLabel(client_);
    sxx_->setObjectName(QStringLiteral("Sxx"));
    sxx_->setGeometry(193, 0, 90, 25);
    sxx_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    sxx_->setAlignment(Qt::AlignCenter);
    sxx_->setToolTip(QStringLiteral("Squared Sum of Residues"));
    sxx_->setFont(TimesFont(19, true, false));

    lsf_ = AddToolButton("LSF", 285, 0, 40, 25, "Go! Least-Square-Fitting", false);
    lsf_->setIcon(CurveIcon(Qt::red));
    lsf_->setEnabled(false);
    connect(lsf_, &QToolButton::clicked, this, &M_Form::LSFClick);

    norm_g_ = new QLabel(QStringLiteral("Normalized Gain"), client_);
    norm_g_->setObjectName(QStringLiteral("NormG"));
    norm_g_->setGeometry(335, 0, 125, 21);
    norm_g_->setFont(TimesFont(19, false, false));

    p_gain_ = new QLabel(QStringLiteral("Magnify"), client_);
    p_gain_->setObjectName(QStringLiteral("P_gain"));
    p_gain_->setGeometry(465, 0, 55, 19);
    p_gain_->setFont(TimesFont(16, true, true));
    p_gain_->setStyleSheet(QStringLiteral("color: #800000"));

    num_array_ = new QLabel(QStringLiteral("XXX"), client_);
    num_array_->setObjectName(QStringLiteral("num_array"));
    num_array_->setGeometry(530, 0, 25, 25);
    num_array_->setAlignment(Qt::AlignCenter);
    num_array_->setStyleSheet(QStringLiteral("color: white; background: black"));
    num_array_->hide();  // meaningless before an arrayed file is open

    array_updown_ = new QWidget(client_);
    array_updown_->setObjectName(QStringLiteral("array_updown"));
    array_updown_->setGeometry(560, 0, 48, 25);
    auto* updown_layout = new QHBoxLayout(array_updown_);
    updown_layout->setContentsMargins(0, 0, 0, 0);
    updown_layout->setSpacing(0);
    for (bool up : {false, true}) {
        auto* arrow = new QToolButton(array_updown_);
        arrow->setObjectName(up ? QStringLiteral("array_up") : QStringLiteral("array_down"));
        arrow->setArrowType(up ? Qt::RightArrow : Qt::LeftArrow);
        arrow->setFixedSize(24, 25);
        arrow->setFocusPolicy(Qt::NoFocus);
        connect(arrow, &QToolButton::clicked, this, [this, up] { array_updownClick(up); });
        updown_layout->addWidget(arrow);
    }
    array_updown_->hide();

    for (const auto& [name, y] : {std::pair{"Bevel1", 28}, std::pair{"Bevel2", 40}}) {
        auto* bevel = new QFrame(client_);
        bevel->setObjectName(QString::fromLatin1(name));
        bevel->setFrameStyle(QFrame::HLine | QFrame::Sunken);
        bevel->setGeometry(0, y, 25, 2);
    }

    range_xy_button_ = AddToolButton("RangeXY_button", 0, 35, 25, 25, "Expand Range XY", true);
    range_xy_button_->setIcon(RangeIcon());
    read_ppm_button_ = AddToolButton("Read_ppm_button", 0, 65, 25, 25, "Read ppm/Hz", true);
    read_ppm_button_->setIcon(ReadoutIcon());
    set_bias_button_ = AddToolButton("SetBias_button", 0, 102, 25, 25, "Setting Bias Value", true);
    set_bias_button_->setIcon(BiasIcon());
    emf_button_ = AddToolButton("emf_button", 0, 135, 25, 25, "Saving with EMF/WMF Format", true);
    emf_button_->setText(QStringLiteral("EMF"));
    emf_button_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QFont narrow(QStringLiteral("Arial Narrow"));
    narrow.setPixelSize(11);
    narrow.setBold(true);
    emf_button_->setFont(narrow);
    // White letters need a dark face to be read.
    emf_button_->setStyleSheet(
        QStringLiteral("QToolButton { color: white; background: #203878; }"
                       "QToolButton:disabled { color: #c0c0c0; background: #8088a0; }"));
    for (QToolButton* b : {range_xy_button_, read_ppm_button_, set_bias_button_, emf_button_}) {
        b->setEnabled(false);
    }
    save_button_->setEnabled(false);
    preview_button_->setEnabled(false);

    m_bevel_ = new QFrame(client_);
    m_bevel_->setObjectName(QStringLiteral("M_Bevel"));
    m_bevel_->setFrameStyle(QFrame::Box | QFrame::Sunken);
    m_bevel_->setLineWidth(1);

    img_spect_ = new PlotImage(client_);
    img_spect_->setEnabled(false);
    connect(img_spect_, &PlotImage::MouseDown, this,
            [this](view::MouseButton b, view::ShiftState s, int x, int y) {
                RunCommand(this, prompter_,
                           [&] { view::ImgSpectMouseDown(state_, *this, b, s, x, y); });
            });
    connect(img_spect_, &PlotImage::MouseMove, this, [this](view::ShiftState s, int x, int y) {
        RunCommand(this, prompter_, [&] { view::ImgSpectMouseMove(state_, *this, s, x, y); });
    });
    connect(img_spect_, &PlotImage::MouseUp, this,
            [this](view::MouseButton b, view::ShiftState s, int x, int y) {
                RunCommand(this, prompter_,
                           [&] { view::ImgSpectMouseUp(state_, *this, b, s, x, y); });
            });
}

QAction* M_Form::AddAction(QMenu* menu, const char* name, const char* caption, bool enabled,
                           void (M_Form::*slot)(), bool checkable) {
    auto* a = new QAction(QString::fromLatin1(caption), this);
    a->setObjectName(QString::fromLatin1(name));
    a->setEnabled(enabled);
    a->setCheckable(checkable);
    if (slot != nullptr) connect(a, &QAction::triggered, this, slot);
    menu->addAction(a);
    return a;
}

void M_Form::BuildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("M_Form_Menu"));
    bar->setFont(TimesFont(12, true, true));

    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    AddAction(file, "M_Open", "&Open Sprctrum Data (spc/dat/1rd/vdt/vnj)", true,
              &M_Form::M_OpenClick);
    AddAction(file, "Open_sp2_file", "Open peak data (*.sp2)", false, &M_Form::Open_sp2_fileClick,
              true);
    file->addSeparator()->setObjectName(QStringLiteral("N6"));
    AddAction(file, "M_Rename", "Save as [&Rename && Retype]", false, &M_Form::M_RenameClick);
    file->addSeparator()->setObjectName(QStringLiteral("N4"));
    AddAction(file, "M_Save", "&Save Data && Parameters (*.spc)", false, &M_Form::M_SaveClick);
    AddAction(file, "M_SaveAs", "Save &Parameters Only (*.sp2)", false, &M_Form::M_SaveAsClick);
    AddAction(file, "M_saveGL", "Save Peaks of Gauss and Lorentz (*.sp3)", false,
              &M_Form::M_saveGLClick);
    AddAction(file, "SequentialSavespc", "Sequential Save (*-##.spc)", false,
              &M_Form::SequentialSavespcClick);
    file->addSeparator()->setObjectName(QStringLiteral("N1"));
    AddAction(file, "PrevPrn", "&Print Preview", false, &M_Form::PrevPrnClick);
    file->addSeparator()->setObjectName(QStringLiteral("N5"));
    QAction* exit = AddAction(file, "M_Exit", "&Exit", true);
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu* tools = bar->addMenu(QStringLiteral("&Tools"));
    AddAction(tools, "SetBias", "Set Bias (&B)", false);
    AddAction(tools, "RangeXY", "Range XY", false);
    AddAction(tools, "ReadCSppm", "Read ppm/Hz", false);
    AddAction(tools, "inputFreq", "input Freq", false, nullptr, true);
    tools->addSeparator()->setObjectName(QStringLiteral("N3"));
    AddAction(tools, "plusminus", "Inverse_Height", false, &M_Form::plusminusClick, true);
    AddAction(tools, "ChangeHeight", "Change_Height", false, nullptr, true);
    AddAction(tools, "HorizonShift", "Horizontal Shift", false, nullptr, true);
    AddAction(tools, "A_Reset", "ALL Reset (&A)", false, &M_Form::A_ResetClick);
    tools->addSeparator()->setObjectName(QStringLiteral("N7"));
    AddAction(tools, "SetOption", "Options (&O)", true);

    // The Help menu stands at the right end of the menu bar.
    auto* help_bar = new QMenuBar(bar);
    help_bar->setObjectName(QStringLiteral("HelpBar"));
    help_bar->setFont(bar->font());
    QMenu* help = help_bar->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("Help"));
    AddAction(help, "HowTo", "How to enjoy", true, &M_Form::HowToClick);
    AddAction(help, "verAbout", "About Kalvex", true, &M_Form::verAboutClick);
    bar->setCornerWidget(help_bar, Qt::TopRightCorner);
}

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
    lsf_->setEnabled(false);
    img_spect_->setEnabled(true);
    for (const char* name : {"M_Save", "M_SaveAs", "M_Rename", "A_Reset", "SetBias", "PrevPrn",
                             "RangeXY", "ReadCSppm", "ChangeHeight"}) {
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
    norm_g_->setText(QString::fromLatin1(view::NormGText(state_.Doc.YScale)));
    PlaceReadouts();
}

void M_Form::SetPGain(const QString& text) {
    p_gain_->setText(text);
    PlaceReadouts();
}

void M_Form::PlaceReadouts() {
    // The labels grow with their texts; the read-outs to their right keep clear of them.
    norm_g_->adjustSize();
    norm_g_->resize(std::max(125, norm_g_->width()), 21);
    p_gain_->adjustSize();
    p_gain_->resize(std::max(55, p_gain_->width()), 19);
    p_gain_->move(std::max(465, norm_g_->geometry().right() + 6), 0);
    num_array_->move(std::max(530, p_gain_->geometry().right() + 6), 0);
    array_updown_->move(num_array_->geometry().right() + 6, 0);
}

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

void M_Form::SetSxxText(const std::string& text) { sxx_->setText(QString::fromLatin1(text)); }

void M_Form::SetLsfEnabled(bool enabled) { lsf_->setEnabled(enabled); }

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

// The ppm/Hz read-out and the Range XY dialog come with the spectrum tools; until then they
// are never visible and their hooks have nothing to act on.
bool M_Form::PpmBoxVisible() const { return false; }
void M_Form::SetPpmReadout(const view::PpmReadoutTexts&) {}
void M_Form::SetDiffHzText(const std::string&) {}
bool M_Form::RangeDialogVisible() const { return false; }
void M_Form::OpenRangeDialogOnYTab() {}
void M_Form::RangeDialogOk() {}
void M_Form::RangeDialogReset() {
    view::RequestViewReset(state_);
    view::RefreshClick(state_, *this);
}
void M_Form::SetRangeLabel6(const std::string&) {}
void M_Form::SetRangeEdit1(const std::string&) {}
void M_Form::SetRangeEdit2(const std::string&) {}
void M_Form::SetRangeApplyMode() {}
void M_Form::SetUpDownYPosition(int) {}
void M_Form::ClearRangeEditedFlags() {}

// --- File commands -------------------------------------------------------------------------------

void M_Form::M_OpenClick() {
    // Filter preselection from the type of the spectrum open now.
    const int type = state_.Doc.F_Type;
    const int filter_index = (type == 0 || type == 1) ? 1 : (type >= 2 && type <= 4) ? type : 5;
    SetPGain(QStringLiteral(" "));
    const QString offered = state_.Doc.SpectrumFileName.empty()
                                ? QString()
                                : QString::fromUtf8(state_.Doc.SpectrumFileName);
    const FileChoice choice = prompter_.OpenFile(
        this, open_folder_, offered, QtNameFilters(files::OpenDialogFilter()), filter_index);
    if (!choice.Path.isEmpty()) OpenSpectrumFile(choice.Path);
    EndOpenCommand();
}

void M_Form::OpenSpectrumFile(const QString& qpath) {
    const std::string path = qpath.toStdString();
    if (path.size() >= 256) {
        // Refused before anything is cleared, so the open document stays usable.
        prompter_.Information(this, QString::fromLatin1(kTooLongPath));
        return;
    }
    core::Document fresh;
    const bool read = RunCommand(this, prompter_, [&] {
        fresh = files::LoadSpectrum(path, state_.Doc, state_.Opts,
                                    [this](int count) { return input_array_number_->Ask(count); });
    });
    if (!read) return;

    // The new spectrum replaces the old one only now that it has been read completely.
    state_.View.ResetForOpen();
    sel_dlg_->HideBoth();
    sxx_->clear();
    open_folder_ = QFileInfo(qpath).absolutePath();
    EnableAfterOpen();
    state_.Doc.Release();
    state_.Doc = std::move(fresh);
    state_.Doc.SpectrumLoaded = true;
    state_.Opts.XTickManual = false;

    state_.Opts.LGselect = state_.Doc.PeakKindLorentz ? 1 : 0;
    const float bauto = tools::ComputeAutoBias(state_.Doc);
    tools::ApplyAutoBiasSetting(state_.Doc, state_.Opts.Bias_set, bauto);

    RunCommand(this, prompter_, [&] { view::DrawOpenedSpectrum(state_, *this); });
    SetTitle(view::ShortTitle(state_.Doc));
    SetNormG();
    SetPGain(QString::fromLatin1(view::PGainText(state_.Doc, state_.Opts)));
    ShowArrayNumber();
}

void M_Form::Open_sp2_fileClick() {
    QAction* tick = Action("Open_sp2_file");
    const FileChoice choice = prompter_.OpenFile(this, open_folder_, QString(),
                                                 QtNameFilters("Peak Data (*.sp2)|*.sp2"), 1);
    if (choice.Path.isEmpty()) {
        tick->setChecked(false);
        return;
    }
    tick->setChecked(true);
    A_ResetClick();
    RunCommand(this, prompter_, [&] {
        // Read into a copy: a bad file leaves the table as All Reset left it.
        core::Document doc = state_.Doc;
        files::ReadPeakFileIfPresent(choice.Path.toStdString(), doc);
        state_.Doc = std::move(doc);
    });
    if (state_.Doc.PeakCount > 0 && tick->isChecked()) {
        sel_dlg_->TruncateItems(0);
        view::DrawPeaksOnPicture(state_, *this);
        for (int k = 1; k <= state_.Doc.PeakCount; ++k) sel_dlg_->AppendItem(QString::number(k));
        view::RefreshClick(state_, *this);
    }
}

void M_Form::M_SaveClick() {
    RunCommand(this, prompter_, [&] {
        if (files::SaveSpectrum(state_.Doc.SaveFileName, state_.Doc) ==
            files::PeakWriteStatus::kNoPeakData) {
            prompter_.Information(this, QString::fromLatin1(files::kNoPeakDataMessage));
        }
    });
}

void M_Form::M_SaveAsClick() {
    RunCommand(this, prompter_, [&] {
        const std::string path = core::ReplaceExtension(state_.Doc.SpectrumFileName, ".sp2");
        if (files::WritePeakFile(path, state_.Doc) == files::PeakWriteStatus::kNoPeakData) {
            prompter_.Information(this, QString::fromLatin1(files::kNoPeakDataMessage));
        }
    });
}

void M_Form::M_saveGLClick() {
    RunCommand(this, prompter_, [&] {
        const std::string path = core::ReplaceExtension(state_.Doc.SpectrumFileName, ".sp3");
        if (files::WriteCurveTable(path, state_.Doc) == files::PeakWriteStatus::kNoPeakData) {
            prompter_.Information(this, QString::fromLatin1(files::kNoPeakDataMessage));
        }
    });
}

void M_Form::M_RenameClick() {
    RunCommand(this, prompter_, [&] {
        const files::SaveAsProposal proposal = files::ProposeSaveAs(state_.Doc);
        const FileChoice choice = prompter_.SaveFile(
            this, QString::fromUtf8(proposal.Folder),
            QString::fromUtf8(core::FileNameOf(proposal.ProposedPath)),
            QtNameFilters(files::kSaveAsFilter), proposal.FilterIndex,
            [](int index, const QString& name) {
                return QString::fromUtf8(files::RenameForSaveType(name.toStdString(), index));
            });
        if (choice.Path.isEmpty()) return;
        const files::SaveAsResult result =
            files::SaveAsChosenPath(state_.Doc, choice.Path.toStdString());
        if (!result.SpectrumWritten) {
            prompter_.Information(this, QString::fromLatin1(files::kNotSavedMessage));
        } else if (result.PeakFile == files::PeakWriteStatus::kNoPeakData) {
            prompter_.Information(this, QString::fromLatin1(files::kNoPeakDataMessage));
        }
    });
    save_button_->setChecked(false);
}

void M_Form::SequentialSavespcClick() {
    if (!state_.Doc.IsArrayed) return;
    RunCommand(this, prompter_, [&] { files::SequentialSave(state_.Doc, state_.Opts); });
    // Also after a failed save the spectrum shown before is back in the document: show it.
    ShowArrayNumber();
    RefreshClick();
    SetNormG();
}

void M_Form::PrevPrnClick() {
    if (!state_.Doc.PrinterPresent) prompter_.Error(this, QStringLiteral("No Printer exists"));
    preview_button_->setChecked(false);
}

// --- Tools ------------------------------------------------------------------------------------

void M_Form::A_ResetClick() {
    core::Document& doc = state_.Doc;
    for (int k = 1; k <= doc.PeakCount; ++k) {
        doc.PeakHalfWidthErr[k] = 0.0;
        doc.PeakHeightErr[k] = 0.0;
        doc.PeakPosErr[k] = 0.0;
    }
    doc.PeakCount = 0;
    view::RefreshClick(state_, *this);
    lsf_->setEnabled(false);
    sxx_->clear();
    sel_dlg_->HideBoth();
    sel_dlg_->TruncateItems(0);
    state_.View.RangeDialogOpen = false;
    state_.View.ToolMode = false;
    for (const char* name : {"SetBias", "ReadCSppm", "RangeXY"}) Action(name)->setEnabled(true);
    ReleaseToolButtons();
    for (QToolButton* b : {emf_button_, file_open_button_, save_button_, preview_button_}) {
        b->setEnabled(true);
    }
    RangeDialogReset();
    Action("M_saveGL")->setEnabled(false);
}

void M_Form::plusminusClick() {
    QAction* tick = Action("plusminus");
    if (tick->isChecked()) {
        for (int k = 1; k <= core::kMaxPeaks; ++k) state_.Doc.PeakHeight[k] *= -1.0;
        view::RefreshClick(state_, *this);
    }
    tick->setChecked(false);
}

void M_Form::array_updownClick(bool up) {
    if (!state_.Doc.IsArrayed) return;
    RunCommand(this, prompter_, [&] {
        if (!tools::StepArraySpectrum(
                state_.Doc, up ? tools::ArrayStep::kUp : tools::ArrayStep::kDown, state_.Opts)) {
            return;
        }
        ShowArrayNumber();
        view::RefreshClick(state_, *this);
        SetNormG();
    });
}

// --- Picture, fit, help ---------------------------------------------------------------------

void M_Form::RefreshClick() {
    RunCommand(this, prompter_, [&] { view::RefreshClick(state_, *this); });
}

void M_Form::LSFClick() {
    RunCommand(this, prompter_, [&] { lsf_gn_->Start(); });
    lsf_->setChecked(false);
}

void M_Form::verAboutClick() { about_->ShowCentred(); }

void M_Form::HowToClick() {
    const QString page =
        QCoreApplication::applicationDirPath() + QStringLiteral("/help/index.html");
    if (!QFileInfo(page).exists() || !QDesktopServices::openUrl(QUrl::fromLocalFile(page))) {
        prompter_.Error(this, QStringLiteral("The help pages cannot be shown: ") + page);
    }
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
    state_.Doc.Release();
    event->accept();
}

}  // namespace kalvex::app
