#include "app/fit/CalcGo.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <atomic>
#include <exception>
#include <thread>

#include "app/peaks/Peaks.h"
#include "app/qt/CpuState.h"
#include "app/shell/Mainpeak.h"
#include "app/shell/Prompter.h"
#include "app/shell/RunCommand.h"
#include "view/RefreshLogic.h"

namespace kalvex::app {

namespace {

QLabel* NamedLabel(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

QCheckBox* NamedBox(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QCheckBox(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

}  // namespace

LSF_GN::LSF_GN(M_Form& main, QWidget* parent) : QDialog(parent), main_(main) {
    setObjectName(QStringLiteral("LSF_GN"));
    setWindowTitle(QStringLiteral("Now Calculating !!"));
    setModal(true);

    auto* grid = new QGridLayout(this);
    QLabel* sigma = NamedLabel(this, "Label4", QString(QChar(0x03A3)));  // capital sigma
    QFont big = sigma->font();
    big.setPointSize(big.pointSize() + 4);
    sigma->setFont(big);
    grid->addWidget(sigma, 0, 0);
    grid->addWidget(NamedLabel(this, "Label5", QStringLiteral("Sqr(Obs-Cal)")), 0, 1);
    grid->addWidget(NamedLabel(this, "Label8", QStringLiteral("=")), 0, 2);
    Zansa_New = NamedLabel(this, "Zansa_New", QStringLiteral("Zansa_New"));
    grid->addWidget(Zansa_New, 0, 3);
    grid->addWidget(NamedLabel(this, "Label6", QString(QChar(0x03B4)) + QStringLiteral(" =")), 1, 1,
                    Qt::AlignRight);
    deltaZZ = NamedLabel(this, "deltaZZ", QStringLiteral("zold-znew"));
    grid->addWidget(deltaZZ, 1, 3);
    grid->addWidget(NamedLabel(this, "Label9", QStringLiteral("Iteration")), 2, 1, Qt::AlignRight);
    ite = NamedLabel(this, "ite", QStringLiteral("ite"));
    grid->addWidget(ite, 2, 3);
    for (QLabel* l : {Zansa_New, deltaZZ, ite}) l->setMinimumWidth(120);
    PrecisionText = NamedLabel(this, "PrecisionText", QString());
    grid->addWidget(PrecisionText, 7, 0, 1, 4);

    Position_Box = NamedBox(this, "Position_Box", QStringLiteral("Position"));
    Width_Box = NamedBox(this, "Width_Box", QStringLiteral("Width"));
    Height_Box = NamedBox(this, "Height_Box", QStringLiteral("Height"));
    WidthG_Box = NamedBox(this, "WidthG_Box", QStringLiteral("Width "));
    Label1 = NamedLabel(this, "Label1", QStringLiteral("(Gaussian)"));
    Label1->setStyleSheet(
        QStringLiteral("QLabel { color: red; } QLabel:disabled { color: #d09090; }"));
    Fraction_Box = NamedBox(this, "Fraction_Box", QStringLiteral("Fraction of"));
    Label2 = NamedLabel(this, "Label2", QStringLiteral("Lorentizian"));
    Label2->setStyleSheet(
        QStringLiteral("QLabel { color: blue; } QLabel:disabled { color: #9090d0; }"));
    grid->addWidget(Position_Box, 3, 0, 1, 2);
    grid->addWidget(Width_Box, 4, 0, 1, 2);
    grid->addWidget(Height_Box, 5, 0, 1, 2);
    grid->addWidget(WidthG_Box, 3, 2);
    grid->addWidget(Label1, 3, 3);
    grid->addWidget(Fraction_Box, 4, 2);
    grid->addWidget(Label2, 4, 3);

    LSF_GO = new QPushButton(QStringLiteral("GO!"), this);
    LSF_GO->setObjectName(QStringLiteral("LSF_GO"));
    LSF_Ok = new QPushButton(QStringLiteral("OK"), this);
    LSF_Ok->setObjectName(QStringLiteral("LSF_Ok"));
    LSF_Ok->setDefault(true);
    LSF_Exit = new QPushButton(QStringLiteral("Exit"), this);
    LSF_Exit->setObjectName(QStringLiteral("LSF_Exit"));
    LSF_GO->setAutoDefault(false);
    LSF_Exit->setAutoDefault(false);
    grid->addWidget(LSF_GO, 6, 0, 1, 2);
    grid->addWidget(LSF_Ok, 6, 2);
    grid->addWidget(LSF_Exit, 6, 3);

    connect(LSF_GO, &QPushButton::clicked, this, &LSF_GN::LSF_GoClick);
    connect(LSF_Ok, &QPushButton::clicked, this, &LSF_GN::LSF_OkClick);
    connect(LSF_Exit, &QPushButton::clicked, this, &LSF_GN::LSF_ExitClick);
    const std::pair<QCheckBox*, fit::FitBox> boxes[] = {{Position_Box, fit::FitBox::kPosition},
                                                        {Width_Box, fit::FitBox::kWidth},
                                                        {Height_Box, fit::FitBox::kHeight},
                                                        {WidthG_Box, fit::FitBox::kWidthG},
                                                        {Fraction_Box, fit::FitBox::kFraction}};
    for (const auto& [widget, box] : boxes) {
        // The rules decide every box's state; the click only tells them which box.
        connect(widget, &QCheckBox::clicked, this, [this, b = box] { BoxClicked(b); });
    }
    run_.FitStop = false;
    ShowModel();
}

fit::FitDialogContext LSF_GN::Context() {
    view::AppState& s = main_.State();
    return fit::FitDialogContext{model_, s.Opts, s.Doc.FitSelect,
                                 core::CurrentLineType(s.Opts, s.Doc)};
}

void LSF_GN::ShowModel() {
    const std::pair<QCheckBox*, const fit::CheckBoxState*> boxes[] = {
        {Position_Box, &model_.Position_Box},
        {Width_Box, &model_.Width_Box},
        {Height_Box, &model_.Height_Box},
        {WidthG_Box, &model_.WidthG_Box},
        {Fraction_Box, &model_.Fraction_Box}};
    for (const auto& [widget, state] : boxes) {
        widget->setChecked(state->Checked);
        widget->setEnabled(state->Enabled);
    }
    Label1->setEnabled(model_.Label1Enabled);
    Label2->setEnabled(model_.Label2Enabled);
    Width_Box->setStyleSheet(model_.WidthCaption == fit::CaptionColour::kBlue
                                 ? QStringLiteral("color: blue")
                                 : QStringLiteral("color: black"));
    LSF_GO->setEnabled(model_.GoEnabled);
    LSF_Ok->setEnabled(model_.OkEnabled);
    LSF_Exit->setEnabled(model_.ExitEnabled);
    ite->setText(QString::fromStdString(model_.Ite));
    Zansa_New->setText(QString::fromStdString(model_.Zansa_New));
    deltaZZ->setText(QString::fromStdString(model_.DeltaZZ));
    PrecisionText->setText(QString::fromStdString(model_.Precision));
}

void LSF_GN::BoxClicked(fit::FitBox box) {
    // The widget toggled itself; the rules set what the box and its twins become.
    fit::FitDialogContext ctx = Context();
    fit::ClickBox(ctx, box);
    ShowModel();
}

bool LSF_GN::Start() {
    view::AppState& s = main_.State();
    // Another tool window would compete with the modal fit: end its mode first.
    main_.EndToolMode();
    main_.PeakDialog()->HideBoth();

    fit::FitDialogContext ctx = Context();
    fit::PrepareCheckBoxes(ctx);
    if (!fit::OpenFitDialog(ctx, s.Doc.ResidualSum, s.Doc.LsfUpperLimit)) {
        ShowModel();
        return false;
    }
    run_.CopyObserved(s.Doc);
    fit::ShowFitDialog(ctx);
    ShowModel();
    const QRect m = main_.frameGeometry();
    move(m.left() + m.width() / 3, m.top() + m.height() / 3);
    run_.FitStop = false;
    pending_result_ = -1;
    if (runner_) {
        runner_(*this);
    } else {
        exec();
    }
    return true;
}

void LSF_GN::LSF_GoClick() {
    fit::FitDialogContext ctx = Context();
    if (!fit::GoClick(ctx, run_)) {
        ShowModel();
        return;
    }
    ShowModel();
    view::AppState& s = main_.State();
    summary_ = fit::GaussNewtonSummary{};
    warnings_.clear();
    RunCommand(this, main_.Prompts(), [&] {
        const fit::GaussNewtonOptions options = fit::MakeGaussNewtonOptions(
            s.Opts, s.Doc, Width_Box->isChecked(), WidthG_Box->isChecked());
        RunOnWorker(options);
    });
    fit::FinishRun(model_, summary_);
    ShowModel();
    for (const std::string& w : warnings_) main_.Prompts().Warning(this, QString::fromStdString(w));
    if (!summary_.Message.empty()) {
        main_.Prompts().Error(this, QString::fromStdString(summary_.Message));
    }
    if (!summary_.Warnings.empty()) {
        QStringList lines;
        for (const std::string& w : summary_.Warnings) lines << QString::fromStdString(w);
        main_.Prompts().Warning(this, lines.join(QLatin1Char('\n')));
    }
    // An OK or Exit pressed during the run closes the dialog now that the run is over; OK's
    // redraw waited for it too.
    if (pending_result_ == QDialog::Accepted) main_.RefreshClick();
    if (pending_result_ >= 0) TryClose(pending_result_);
}

void LSF_GN::RunOnWorker(const fit::GaussNewtonOptions& options) {
    view::AppState& s = main_.State();
    QEventLoop loop;
    std::atomic<bool> finished{false};
    std::exception_ptr failure;
    running_ = true;
    std::thread worker([&] {
        ClearUpperVectorState();
        try {
            summary_ = fit::RunGaussNewton(s.Doc, options, run_, *this);
        } catch (...) {
            failure = std::current_exception();
        }
        finished = true;
        // Queued after every iteration's update, so the labels are current when it arrives.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    // The loop also ends when the application quits: the run then stops after its iteration.
    if (!finished) fit::RequestStop(run_);
    worker.join();
    running_ = false;
    if (failure) std::rethrow_exception(failure);
}

bool LSF_GN::OnIteration(double z, double z_old, std::uint16_t count) {
    QMetaObject::invokeMethod(
        this, [this, z, z_old, count] { ShowIteration(z, z_old, count); }, Qt::QueuedConnection);
    return run_.FitStop;
}

void LSF_GN::ShowIteration(double z, double z_old, std::uint16_t count) {
    fit::ShowProgress(model_, z, z_old, count);
    ite->setText(QString::fromStdString(model_.Ite));
    Zansa_New->setText(QString::fromStdString(model_.Zansa_New));
    deltaZZ->setText(QString::fromStdString(model_.DeltaZZ));
}

void LSF_GN::OnWarning(const std::string& message) {
    // The run ends right after it: the message is shown once the run has returned.
    warnings_.push_back(message);
}

void LSF_GN::LSF_OkClick() {
    fit::RequestStop(run_);
    if (running_) {
        pending_result_ = QDialog::Accepted;
        return;
    }
    main_.RefreshClick();
    TryClose(QDialog::Accepted);
}

void LSF_GN::LSF_ExitClick() {
    fit::RequestStop(run_);
    if (running_) {
        pending_result_ = QDialog::Rejected;
        return;
    }
    TryClose(QDialog::Rejected);
}

void LSF_GN::reject() {
    // Esc presses Exit, the dialog's cancel button, when it is enabled: idle, it closes the
    // dialog; during a first run, it stops the run and closes after it.
    if (LSF_Exit->isEnabled()) LSF_ExitClick();
}

void LSF_GN::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (!running_) TryClose(QDialog::Rejected);
}

void LSF_GN::TryClose(int result) {
    pending_result_ = -1;
    if (!fit::CanClose(run_)) return;
    Closed();
    done(result);
}

void LSF_GN::Closed() { std::vector<double>().swap(run_.FitObsY); }

}  // namespace kalvex::app
