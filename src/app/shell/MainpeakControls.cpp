// M_Form's controls and menus: tool buttons with drawn pictures, read-outs, the menu bar.
#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QToolButton>
#include <functional>

#include "app/qt/Fonts.h"
#include "app/qt/PlotImage.h"
#include "app/shell/Mainpeak.h"
#include "app/shell/RunCommand.h"
#include "view/MouseLogic.h"

namespace kalvex::app {

namespace {

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
    connect(emf_button_, &QToolButton::clicked, this, &M_Form::emf_buttonClick);
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
    // The platform's menu font, the same in the bar as in its drop-down menus; every property
    // set, so none comes from the window's own Times font.
    QFont menu_font = QApplication::font("QMenu");
    menu_font.setResolveMask(QFont::AllPropertiesResolved);
    bar->setFont(menu_font);

    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    AddAction(file, "M_Open", "&Open Sprctrum Data (spc/dat/1rd/vdt/vnj)", true,
              &M_Form::M_OpenClick);
    QAction* open_sp2 =
        AddAction(file, "Open_sp2_file", "Open peak data (*.sp2)", false, nullptr, true);
    // The tick says a peak file was opened; Qt's own toggle is undone so that a cancelled
    // dialog leaves it as it was.
    connect(open_sp2, &QAction::triggered, this, [this, open_sp2](bool checked) {
        open_sp2->setChecked(!checked);
        Open_sp2_fileClick();
    });
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
    AddAction(file, "ExportPicture", "Export Picture...", false, &M_Form::ExportPictureClick);
    file->addSeparator()->setObjectName(QStringLiteral("N5"));
    QAction* exit = AddAction(file, "M_Exit", "&Exit", true);
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu* tools = bar->addMenu(QStringLiteral("&Tools"));
    tools->setToolTipsVisible(true);  // "input Freq" says when a spectrum lacks its frequency
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
    AddAction(tools, "SetOption", "Options (&O)", true, &M_Form::SetOptionClick);

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

}  // namespace kalvex::app
