#include "app/peaks/Peaks.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/shell/Mainpeak.h"
#include "app/shell/Prompter.h"
#include "app/shell/RunCommand.h"
#include "peaks/FitReport.h"
#include "view/RefreshLogic.h"

namespace kalvex::app {

namespace {

QString Latin1(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<int>(s.size()));
}

QLabel* AddLabel(QWidget* parent, const char* name, const QString& text = {}) {
    auto* l = new QLabel(text, parent);
    if (name != nullptr) l->setObjectName(QString::fromLatin1(name));
    return l;
}

QLineEdit* AddEdit(QWidget* parent, const char* name, bool enabled = true) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setEnabled(enabled);
    e->setMinimumWidth(90);
    return e;
}

}  // namespace

// --- Sel_Dlg2 ------------------------------------------------------------------------------------

Sel_Dlg2::Sel_Dlg2(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Sel_Dlg2"));
    setWindowTitle(QStringLiteral("Gauss + Lorentz"));
    setModal(false);
    auto* grid = new QGridLayout(this);
    grid->addWidget(AddLabel(this, "Label1", QStringLiteral("Full-Width")), 0, 0);
    grid->addWidget(AddLabel(this, "Label2", QStringLiteral("(For Lorentz)")), 1, 0);
    EdWidth2 = AddEdit(this, "EdWidth2");
    grid->addWidget(EdWidth2, 0, 1);
    W_Err2 = AddLabel(this, "W_Err2");
    grid->addWidget(W_Err2, 0, 2);
    Txt_Width = AddLabel(this, "Txt_Width");
    grid->addWidget(Txt_Width, 1, 1, Qt::AlignRight);
    QLabel* points = AddLabel(this, "Label3", QStringLiteral("Points"));
    points->setEnabled(false);
    grid->addWidget(points, 1, 2);
    EdHz2 = AddEdit(this, "EdHz2", false);
    grid->addWidget(EdHz2, 2, 1);
    EdHz_Err2 = AddLabel(this, "EdHz_Err2");
    grid->addWidget(EdHz_Err2, 2, 2);
    grid->addWidget(AddLabel(this, "Label4", QStringLiteral("Fraction of ")), 3, 0);
    grid->addWidget(AddLabel(this, "Label6", QStringLiteral("Lorentzian")), 4, 0);
    fract_L = AddEdit(this, "fract_L");
    grid->addWidget(fract_L, 3, 1);
    fract_L_error = AddLabel(this, "fract_L_error", QStringLiteral("Input 0 - 1"));
    grid->addWidget(fract_L_error, 3, 2);
    grid->addWidget(AddLabel(this, "Label7", QStringLiteral("Normarized Area ")), 5, 0);
    Norm_Area = AddLabel(this, "Norm_Area");
    grid->addWidget(Norm_Area, 5, 1, 1, 2);
    do_fraction_LSF = new QCheckBox(QStringLiteral("LSF of Fraction"), this);
    do_fraction_LSF->setObjectName(QStringLiteral("do_fraction_LSF"));
    do_fraction_LSF->setEnabled(false);  // nothing reads it
    grid->addWidget(do_fraction_LSF, 6, 0);
    OKDraw = new QPushButton(QStringLiteral("Draw"), this);
    OKDraw->setObjectName(QStringLiteral("OKDraw"));
    OKDraw->setToolTip(QStringLiteral("Draw this Peak"));
    OKDraw->setAutoDefault(false);
    grid->addWidget(OKDraw, 6, 2);
    adjustSize();
}

void Sel_Dlg2::Fill(const peaks::SelDlg2Texts& t) {
    EdWidth2->setText(Latin1(t.EdWidth2));
    Txt_Width->setText(Latin1(t.Txt_Width));
    W_Err2->setText(Latin1(t.W_Err2));
    EdHz2->setText(Latin1(t.EdHz2));
    EdHz_Err2->setText(Latin1(t.EdHz_Err2));
    fract_L->setText(Latin1(t.fract_L));
    fract_L_error->setText(Latin1(t.fract_L_error));
    QFont f(Latin1(t.fract_L_errorFont));
    f.setPointSize(t.fract_L_errorFontSize);
    fract_L_error->setFont(f);
}

// --- Sel_Dlg -------------------------------------------------------------------------------------

Sel_Dlg::Sel_Dlg(M_Form& main, QWidget* parent) : QDialog(parent), main_(main) {
    setObjectName(QStringLiteral("Sel_Dlg"));
    setWindowTitle(QStringLiteral("Peak Information"));
    setModal(false);

    auto* grid = new QGridLayout(this);
    Peak_Order = new QComboBox(this);
    Peak_Order->setObjectName(QStringLiteral("Peak_Order"));
    grid->addWidget(Peak_Order, 0, 0);
    ForG = AddLabel(this, "ForG", QStringLiteral("(Gauss Func)"));
    grid->addWidget(ForG, 0, 1, 1, 2);

    grid->addWidget(AddLabel(this, nullptr, QStringLiteral("Position")), 1, 0);
    Edposition = AddEdit(this, "Edposition");
    grid->addWidget(Edposition, 1, 1);
    grid->addWidget(AddLabel(this, nullptr, QStringLiteral("Points")), 1, 2);
    posi_Err = AddLabel(this, "posi_Err");
    grid->addWidget(posi_Err, 1, 3);
    Txt_PPM = AddLabel(this, "Txt_PPM");
    grid->addWidget(Txt_PPM, 2, 1, Qt::AlignRight);
    x_Err = AddLabel(this, "x_Err");
    grid->addWidget(x_Err, 2, 2, 1, 2);

    grid->addWidget(AddLabel(this, nullptr, QStringLiteral("Height ( - n to n )")), 3, 0);
    Edhight = AddEdit(this, "Edhight");
    grid->addWidget(Edhight, 3, 1);
    H_Err = AddLabel(this, "H_Err");
    grid->addWidget(H_Err, 3, 2, 1, 2);

    grid->addWidget(AddLabel(this, nullptr, QStringLiteral("Full-Width")), 4, 0);
    EdWidth = AddEdit(this, "EdWidth");
    grid->addWidget(EdWidth, 4, 1);
    W_Err = AddLabel(this, "W_Err");
    grid->addWidget(W_Err, 4, 2, 1, 2);
    Txt_Width = AddLabel(this, "Txt_Width");
    grid->addWidget(Txt_Width, 5, 1, Qt::AlignRight);
    grid->addWidget(AddLabel(this, nullptr, QStringLiteral("Points")), 5, 2);
    EdHz = AddEdit(this, "EdHz", false);
    grid->addWidget(EdHz, 6, 1);
    EdHz_Err = AddLabel(this, "EdHz_Err");
    grid->addWidget(EdHz_Err, 6, 2, 1, 2);

    Area_Label = AddLabel(this, "Area_Label", QStringLiteral("Area (Intrinsic)"));
    grid->addWidget(Area_Label, 7, 0, 1, 2);
    Batsu_Label = AddLabel(this, "Batsu_Label", QString(QChar(0xD7)));
    Batsu_Label->hide();
    grid->addWidget(Batsu_Label, 7, 2);
    IntegArea = AddLabel(this, "IntegArea");
    grid->addWidget(IntegArea, 8, 0, 1, 4);
    grid->addWidget(AddLabel(this, nullptr, QStringLiteral("Ratio")), 9, 0);
    Percnt = AddLabel(this, "Percnt");
    grid->addWidget(Percnt, 9, 1);
    grid->addWidget(AddLabel(this, nullptr, QStringLiteral("Total")), 10, 0);
    TotalArea = AddLabel(this, "TotalArea");
    grid->addWidget(TotalArea, 10, 1);

    auto* draw = new QPushButton(QStringLiteral("Draw"), this);
    draw->setObjectName(QStringLiteral("OKDraw"));
    draw->setToolTip(QStringLiteral("Draw this Peak"));
    auto* del = new QPushButton(QStringLiteral(" Delete"), this);
    del->setObjectName(QStringLiteral("Del_Key"));
    del->setToolTip(QStringLiteral("Delete this Peak"));
    auto* to_file = new QPushButton(QStringLiteral("To File"), this);
    to_file->setObjectName(QStringLiteral("Clipbd"));
    to_file->setToolTip(QStringLiteral("Parameters to a File"));
    for (QPushButton* b : {draw, del, to_file}) b->setAutoDefault(false);
    grid->addWidget(draw, 11, 0);
    grid->addWidget(del, 11, 1);
    grid->addWidget(to_file, 11, 2, 1, 2);

    sel_dlg2_ = new Sel_Dlg2(parent);

    WatchEdit(Edposition, &peaks::PeakEdits::Edposition, &peaks::PeakEdits::PositionEdited);
    WatchEdit(Edhight, &peaks::PeakEdits::Edhight, &peaks::PeakEdits::HeightEdited);
    WatchEdit(EdWidth, &peaks::PeakEdits::EdWidth, &peaks::PeakEdits::WidthEdited);
    WatchEdit(sel_dlg2_->EdWidth2, &peaks::PeakEdits::EdWidth2, &peaks::PeakEdits::WidthLEdited);
    WatchEdit(sel_dlg2_->fract_L, &peaks::PeakEdits::fract_L, &peaks::PeakEdits::FractionEdited);

    connect(draw, &QPushButton::clicked, this, &Sel_Dlg::OKDrawClick);
    connect(sel_dlg2_->OKDraw, &QPushButton::clicked, this, &Sel_Dlg::OKDrawClick);
    connect(del, &QPushButton::clicked, this, &Sel_Dlg::Del_KeyClick);
    connect(to_file, &QPushButton::clicked, this, &Sel_Dlg::ClipbdClick);
    connect(Peak_Order, &QComboBox::activated, this, &Sel_Dlg::OKDrawClick);
    // Laid out now, so the placement beside the main window knows the height before the
    // first show.
    adjustSize();
}

void Sel_Dlg::WatchEdit(QLineEdit* edit, std::string peaks::PeakEdits::*text,
                        bool peaks::PeakEdits::*flag) {
    // Any change of the text sets the flag, the program's own changes included.
    connect(edit, &QLineEdit::textChanged, this, [this, text, flag](const QString& s) {
        edits_.*text = s.toLatin1().toStdString();
        edits_.*flag = true;
    });
}

int Sel_Dlg::OrderIndex() const { return Peak_Order->currentIndex(); }

void Sel_Dlg::AppendItem(const QString& text) { Peak_Order->addItem(text); }

void Sel_Dlg::TruncateItems(int count) {
    while (Peak_Order->count() > std::max(0, count))
        Peak_Order->removeItem(Peak_Order->count() - 1);
}

void Sel_Dlg::HideBoth() {
    hide();
    sel_dlg2_->hide();
}

void Sel_Dlg::ShowAgain() {
    const int n = OrderIndex() + 1;
    if (isVisible() && n >= 1 && n <= main_.State().Doc.PeakCount) ShowPeak(n);
}

void Sel_Dlg::ShowPeak(int n) {
    view::AppState& state = main_.State();
    const peaks::PeakInfo info =
        peaks::ShowPeakInfo(n, state.Doc, state.Opts, {isVisible(), sel_dlg2_->isVisible()});
    const peaks::SelDlgTexts& t = info.Sel_Dlg;

    setWindowTitle(Latin1(t.Caption));
    if (t.Peak_OrderIndex < Peak_Order->count()) Peak_Order->setCurrentIndex(t.Peak_OrderIndex);
    Edposition->setText(Latin1(t.Edposition));
    posi_Err->setText(Latin1(t.posi_Err));
    Txt_PPM->setText(Latin1(t.Txt_PPM));
    Txt_PPM->setToolTip(Latin1(t.Txt_PPMHint));
    x_Err->setText(Latin1(t.x_Err));
    Edhight->setText(Latin1(t.Edhight));
    H_Err->setText(Latin1(t.H_Err));
    EdWidth->setText(Latin1(t.EdWidth));
    Txt_Width->setText(Latin1(t.Txt_Width));
    W_Err->setText(Latin1(t.W_Err));
    EdHz->setText(Latin1(t.EdHz));
    EdHz_Err->setText(Latin1(t.EdHz_Err));
    ForG->setText(Latin1(t.ForG));
    ForG->setStyleSheet(t.ForGColour == peaks::LabelColour::kRed ? QStringLiteral("color: red")
                                                                 : QStringLiteral("color: blue"));
    Area_Label->setText(Latin1(t.Area_Label));
    Area_Label->setFont(QFont(Latin1(t.Area_LabelFont)));
    Batsu_Label->setVisible(t.Batsu_LabelVisible);
    if (info.AreaFilled) {
        IntegArea->setText(Latin1(t.IntegArea));
        Percnt->setText(Latin1(t.Percnt));
        TotalArea->setText(Latin1(t.TotalArea));
        sel_dlg2_->Norm_Area->setText(Latin1(info.Sel_Dlg2.Norm_Area));
    }
    sel_dlg2_->Fill(info.Sel_Dlg2);
    edits_.ClearFlags();

    const QRect main_frame = main_.frameGeometry();
    const peaks::PeakInfoPlacement place = peaks::PlacePeakInfo(
        {main_frame.left(), main_frame.top(), main_frame.width(), main_frame.height()},
        frameGeometry().height());
    move(place.Sel_DlgLeft, place.Sel_DlgTop);
    sel_dlg2_->move(place.Sel_Dlg2Left, place.Sel_Dlg2Top);

    auto act = [](QWidget* w, peaks::WindowAction a) {
        if (a == peaks::WindowAction::kShow) w->show();
        if (a == peaks::WindowAction::kClose) w->hide();
    };
    act(this, info.Sel_DlgAction);
    act(sel_dlg2_, info.Sel_Dlg2Action);
}

void Sel_Dlg::OKDrawClick() {
    view::AppState& state = main_.State();
    RunCommand(this, main_.Prompts(), [&] {
        const int n = OrderIndex() + 1;
        peaks::ApplyPeakEdits(state.Doc, state.Opts, n, edits_);
        ShowPeak(n);
        view::RedrawAfterPeakEdit(state, main_);
    });
}

void Sel_Dlg::Del_KeyClick() {
    if (!main_.Prompts().Confirm(this, QStringLiteral("Sure ?"))) return;
    view::AppState& state = main_.State();
    RunCommand(this, main_.Prompts(), [&] {
        const int n = OrderIndex() + 1;
        // The half-placed peak is always the last one: deleting it ends the placement, or the
        // refresh below would drop the real peak that is last now.
        const bool deletes_pending = state.View.NewPeakPending && n == state.Doc.PeakCount;
        const int next = peaks::DeletePeak(state.Doc, n);
        if (deletes_pending) state.View.NewPeakPending = false;
        if (state.Doc.PeakCount == 0) {
            main_.SetLsfEnabled(false);
            main_.SetSxxText("");
        }
        TruncateItems(Peak_Order->count() - 1);
        ShowPeak(next);
        view::RefreshClick(state, main_);
    });
}

void Sel_Dlg::ClipbdClick() {
    view::AppState& state = main_.State();
    RunCommand(this, main_.Prompts(), [&] {
        peaks::WriteFitReport(peaks::FitReportPath(state.Doc), state.Doc, state.Opts);
    });
}

}  // namespace kalvex::app
