// The whole typical use in the real windows: place peaks, edit one, fit with LSF, keep the result.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "AppTestSupport.h"
#include "FakePrompter.h"
#include "app/fit/CalcGo.h"
#include "app/peaks/Peaks.h"
#include "app/qt/PlotImage.h"
#include "app/shell/Mainpeak.h"
#include "fit/GaussNewton.h"
#include "support/TempDir.h"
#include "view/MouseLogic.h"
#include "view/Plotting.h"

namespace kalvex::app {
namespace {

class FitRun : public ::testing::Test {
protected:
    void SetUp() override {
        form_.show();
        // The two Gauss lines without their peak file: the peaks come from the mouse.
        const std::string path =
            dir_.Write("g.spc", test::ReadFileBytes(test::ExamplePath("overlap-gauss.spc")));
        prompter_.OpenAnswers.push_back({QString::fromStdString(path), 1});
        form_.M_OpenClick();
        ASSERT_TRUE(state_.Doc.SpectrumLoaded);
    }

    // Right click on the spectrum's own point at `ppm`, left click `half` pixels beside it.
    void PlacePeakAt(double ppm, int half) {
        const core::Document& doc = state_.Doc;
        const view::PlotGeometry& g = state_.Plot;
        const int p = static_cast<int>((doc.XFirstPpm - ppm) / doc.XStepPpm + 1.5);
        const int x = view::ShownPointX(g, p - doc.ViewFirstPoint);
        const int y =
            view::VerticalMap(doc, g).ObservedRow(doc.ObsY[static_cast<std::size_t>(p - 1)]);
        QTest::mouseClick(form_.Image(), Qt::RightButton, {}, QPoint(x, y));
        QTest::mouseClick(form_.Image(), Qt::LeftButton, {}, QPoint(x + half, g.PlotTop + 3));
    }

    QImage Picture() { return form_.Image()->Bitmap().copy(); }

    view::AppState state_;
    test::FakePrompter prompter_;
    M_Form form_{state_, prompter_};
    test::TempDir dir_;
};

TEST_F(FitRun, PlaceEditFitAndKeepTheResult) {
    PlacePeakAt(3.05, 4);
    PlacePeakAt(2.95, 5);
    ASSERT_EQ(state_.Doc.PeakCount, 2);

    // Pick the first peak: Peak Information shows it.
    const int x1 = view::ShownPointX(state_.Plot, state_.Doc.PeakPos[1] - 1);
    QTest::mouseClick(form_.Image(), Qt::LeftButton, {}, QPoint(x1 + 1, state_.Plot.PlotTop + 5));
    Sel_Dlg* info = form_.PeakDialog();
    ASSERT_TRUE(info->isVisible());
    auto* position = info->findChild<QLineEdit*>("Edposition");
    EXPECT_EQ(position->text(), QString::number(state_.Doc.PeakPos[1]));
    EXPECT_EQ(info->windowTitle(), "Peak Order : 1");

    // Edit its height and Draw: applied once.
    auto* height = info->findChild<QLineEdit*>("Edhight");
    height->setText("0.9");
    info->findChild<QPushButton*>("OKDraw")->click();
    EXPECT_DOUBLE_EQ(state_.Doc.PeakHeight[1], 0.9 * state_.Doc.YRange);
    state_.Doc.PeakHeight[1] = 0.95;
    info->findChild<QPushButton*>("OKDraw")->click();  // the flag was cleared by the show
    EXPECT_DOUBLE_EQ(state_.Doc.PeakHeight[1], 0.95);

    form_.RefreshClick();
    const double before = state_.Doc.ResidualSum;
    ASSERT_LT(before, state_.Doc.LsfUpperLimit);
    const QString sxx_before = form_.findChild<QLabel*>("Sxx")->text();

    LSF_GN* fit = form_.FitDialog();
    bool ran = false;
    fit->SetRunner([&](LSF_GN& dlg) {
        EXPECT_FALSE(info->isVisible());  // the fit closes the peak windows
        EXPECT_EQ(dlg.ite->text(), "0");
        EXPECT_EQ(dlg.deltaZZ->text(), "0.00000000");
        EXPECT_FALSE(dlg.LSF_Ok->isEnabled());
        dlg.LSF_GO->click();
        EXPECT_TRUE(dlg.LSF_Ok->isEnabled());
        EXPECT_FALSE(dlg.LSF_Exit->isEnabled());
        EXPECT_NE(dlg.ite->text(), "0");
        dlg.LSF_Ok->click();
        ran = true;
    });
    form_.findChild<QToolButton*>("LSF")->click();
    ASSERT_TRUE(ran);
    EXPECT_FALSE(fit->isVisible());
    EXPECT_TRUE(fit->LastSummary().ResultsWritten());

    // The table holds fitted values with their errors, and the redraw shows the better fit.
    for (int k = 1; k <= 2; ++k) {
        EXPECT_GT(state_.Doc.PeakHeightErr[k], 0.0) << k;
        EXPECT_GT(state_.Doc.PeakHalfWidthErr[k], 0.0) << k;
    }
    EXPECT_LT(state_.Doc.ResidualSum, before);
    EXPECT_NE(form_.findChild<QLabel*>("Sxx")->text(), sxx_before);
    // The lines were made at 3.05 and 2.95 ppm: the fit finds their points.
    const auto point_of = [&](double ppm) {
        return static_cast<int>((state_.Doc.XFirstPpm - ppm) / state_.Doc.XStepPpm + 1.5);
    };
    EXPECT_EQ(state_.Doc.PeakPos[1], point_of(3.05));
    EXPECT_EQ(state_.Doc.PeakPos[2], point_of(2.95));
}

TEST_F(FitRun, ExitRightAfterOpeningChangesNothing) {
    PlacePeakAt(3.05, 4);
    form_.RefreshClick();
    const core::Document before = state_.Doc;
    const QImage picture = Picture();
    form_.FitDialog()->SetRunner([](LSF_GN& dlg) { dlg.LSF_Exit->click(); });
    form_.LSFClick();
    EXPECT_FALSE(form_.FitDialog()->isVisible());
    EXPECT_EQ(state_.Doc.PeakPos, before.PeakPos);
    EXPECT_EQ(state_.Doc.PeakHeight, before.PeakHeight);
    EXPECT_EQ(state_.Doc.PeakHalfWidth, before.PeakHalfWidth);
    EXPECT_EQ(state_.Doc.PeakPosErr, before.PeakPosErr);
    EXPECT_TRUE(Picture() == picture);
}

// A run whose step leaves the doubles: the dialog shows where, GO! stays disabled, and Exit
// leaves the table and the picture as they were.
TEST_F(FitRun, ARunThatMeetsInfinityShowsWhyAndChangesNothing) {
    PlacePeakAt(3.05, 4);
    state_.Doc.PeakHalfWidth[1] = 1e150;
    form_.RefreshClick();
    state_.Doc.LsfUpperLimit = 1e300;  // the flat curve's squared sum would refuse the fit
    const core::Document before = state_.Doc;
    const QImage picture = Picture();
    form_.FitDialog()->SetRunner([](LSF_GN& dlg) {
        dlg.LSF_GO->click();
        EXPECT_FALSE(dlg.LSF_GO->isEnabled());
        EXPECT_EQ(dlg.ite->text(), "0");  // no NaN reached the labels
        dlg.LSF_Exit->click();
    });
    form_.LSFClick();
    EXPECT_FALSE(form_.FitDialog()->isVisible());
    EXPECT_EQ(form_.FitDialog()->LastSummary().Reason, fit::FitEnd::kNotFinite);
    const QStringList errors = prompter_.Texts("error");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(
        errors[0].startsWith("The fit stopped in iteration 1: the step made the half "
                             "width of peak 1 overflow."))
        << errors[0].toStdString();
    EXPECT_EQ(state_.Doc.PeakPos, before.PeakPos);
    EXPECT_EQ(state_.Doc.PeakHeight, before.PeakHeight);
    EXPECT_EQ(state_.Doc.PeakHalfWidth, before.PeakHalfWidth);
    EXPECT_EQ(state_.Doc.PeakHalfWidthErr, before.PeakHalfWidthErr);
    EXPECT_TRUE(Picture() == picture);
}

// A manual run of 65,535 iterations with the smallest damping: it goes on until stopped.
void MakeTheFitLong(view::AppState& state) {
    state.Opts.AutoOK = false;
    state.Opts.Manu2 = true;
    state.Opts.DampVal = 5;
    state.Opts.Set_Ite = 1;
    state.Opts.Manu_ITE = "65535";
}

TEST_F(FitRun, EscapeIsExitBothIdleAndDuringARun) {
    PlacePeakAt(3.05, 4);
    PlacePeakAt(2.95, 5);
    form_.RefreshClick();
    LSF_GN* fit = form_.FitDialog();
    fit->SetRunner([](LSF_GN& dlg) {
        dlg.setResult(-7);
        QTest::keyClick(&dlg, Qt::Key_Escape);
    });
    form_.LSFClick();
    EXPECT_EQ(fit->result(), QDialog::Rejected);

    // During a run (one long enough for the key to arrive meanwhile): the stop request ends
    // it after the current iteration, then the dialog closes.
    const core::Options auto_mode = state_.Opts;
    MakeTheFitLong(state_);
    bool closed_early = false;
    fit->SetRunner([&](LSF_GN& dlg) {
        dlg.setResult(-7);
        QCoreApplication::postEvent(
            &dlg, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        dlg.LSF_GO->click();
        closed_early = dlg.result() == QDialog::Rejected;
    });
    form_.LSFClick();
    EXPECT_TRUE(closed_early);
    EXPECT_EQ(fit->LastSummary().Reason, fit::FitEnd::kStopped);
    EXPECT_TRUE(fit->LastSummary().ResultsWritten());
    state_.Opts = auto_mode;

    // After a run Exit is disabled, and so is Escape.
    fit->SetRunner([](LSF_GN& dlg) {
        dlg.LSF_GO->click();
        dlg.setResult(-7);
        QTest::keyClick(&dlg, Qt::Key_Escape);
        EXPECT_EQ(dlg.result(), -7);
        dlg.LSF_Ok->click();
    });
    form_.LSFClick();
    EXPECT_EQ(fit->result(), QDialog::Accepted);
}

// Clicks `button` once the dialog shows `iterations` iterations, and calls `then` right after.
void ClickDuringTheRun(QTimer& poll, LSF_GN& dlg, QPushButton* button, int iterations,
                       const std::function<void()>& then) {
    QObject::connect(&poll, &QTimer::timeout, [&dlg, button, iterations, then, &poll] {
        if (dlg.ite->text().toInt() < iterations) return;
        poll.stop();
        button->click();
        then();
    });
    poll.start(1);
}

TEST_F(FitRun, ExitDuringALongRunOnTheWorkerKeepsTheLastFinishedIteration) {
    PlacePeakAt(3.05, 4);
    PlacePeakAt(2.95, 5);
    form_.RefreshClick();
    MakeTheFitLong(state_);
    core::Document at_go;
    QTimer poll;
    bool alive = false;
    form_.FitDialog()->SetRunner([&](LSF_GN& dlg) {
        at_go = state_.Doc;
        // The timer fires while the run goes on: the dialog handles its events.
        ClickDuringTheRun(poll, dlg, dlg.LSF_Exit, 3, [&] { alive = dlg.Running(); });
        dlg.LSF_GO->click();
        EXPECT_FALSE(dlg.Running());
    });
    form_.LSFClick();
    ASSERT_TRUE(alive);
    LSF_GN* fit = form_.FitDialog();
    EXPECT_EQ(fit->result(), QDialog::Rejected);
    const fit::GaussNewtonSummary& s = fit->LastSummary();
    ASSERT_EQ(s.Reason, fit::FitEnd::kStopped);
    ASSERT_GE(s.Iterations, 3);
    ASSERT_LT(s.Iterations, 65535);
    EXPECT_EQ(fit->ite->text(), QString::number(s.Iterations));

    // The same run on this thread, stopped after as many iterations, writes the same table.
    struct StopAt : fit::FitObserver {
        int count;
        explicit StopAt(int n) : count(n) {}
        bool OnIteration(double, double, std::uint16_t i) override { return i >= count; }
        void OnWarning(const std::string&) override {}
    } stop(s.Iterations);
    fit::FitRunState run;
    run.CopyObserved(at_go);
    const fit::GaussNewtonSummary here = fit::RunGaussNewton(
        at_go, fit::MakeGaussNewtonOptions(state_.Opts, at_go, true, false), run, stop);
    EXPECT_EQ(here.Z, s.Z);
    EXPECT_EQ(state_.Doc.PeakPos, at_go.PeakPos);
    EXPECT_EQ(state_.Doc.PeakHeight, at_go.PeakHeight);
    EXPECT_EQ(state_.Doc.PeakHalfWidth, at_go.PeakHalfWidth);
    EXPECT_EQ(state_.Doc.PeakHalfWidthErr, at_go.PeakHalfWidthErr);
}

TEST_F(FitRun, OkDuringARunRedrawsTheMainWindowOnlyWhenTheRunHasEnded) {
    PlacePeakAt(3.05, 4);
    PlacePeakAt(2.95, 5);
    form_.RefreshClick();
    MakeTheFitLong(state_);
    auto* sxx = form_.findChild<QLabel*>("Sxx");
    const QString before = sxx->text();
    QString during;
    QTimer poll;
    form_.FitDialog()->SetRunner([&](LSF_GN& dlg) {
        // OK is enabled from the second run on: a short first run, then a long one.
        state_.Opts.Manu_ITE = "2";
        dlg.LSF_GO->click();
        state_.Opts.Manu_ITE = "65535";
        ClickDuringTheRun(poll, dlg, dlg.LSF_Ok, 2, [&] { during = sxx->text(); });
        dlg.LSF_GO->click();
    });
    form_.LSFClick();
    EXPECT_EQ(form_.FitDialog()->result(), QDialog::Accepted);
    EXPECT_EQ(during, before);  // the run was still writing the peak table
    EXPECT_NE(sxx->text(), before);
}

TEST_F(FitRun, TheDialogShowsWhichPrecisionRuns) {
    PlacePeakAt(3.05, 4);
    PlacePeakAt(2.95, 5);
    form_.RefreshClick();
    for (int precision : {0, 1}) {
        state_.Opts.Precision = precision;
        QString shown;
        form_.FitDialog()->SetRunner([&](LSF_GN& dlg) {
            shown = dlg.PrecisionText->text();
            dlg.LSF_Exit->click();
        });
        form_.LSFClick();
        EXPECT_TRUE(shown.endsWith(precision == 1 ? "Double (fast)" : "Extended (exact)"))
            << shown.toStdString();
    }
}

TEST_F(FitRun, LsfDoesNothingAtOrAboveTheUpperLimit) {
    PlacePeakAt(3.05, 4);
    form_.RefreshClick();
    state_.Doc.LsfUpperLimit = static_cast<float>(state_.Doc.ResidualSum);
    bool shown = false;
    form_.FitDialog()->SetRunner([&](LSF_GN&) { shown = true; });
    form_.LSFClick();
    EXPECT_FALSE(shown);
    EXPECT_FALSE(form_.findChild<QToolButton*>("LSF")->isChecked());
}

TEST_F(FitRun, CloseBoxWaitsForAStopAndASecondGoRunsAFullFit) {
    PlacePeakAt(3.05, 4);
    PlacePeakAt(2.95, 5);
    form_.RefreshClick();
    int runs = 0;
    form_.FitDialog()->SetRunner([&](LSF_GN& dlg) {
        dlg.LSF_GO->click();
        ++runs;
        // The close box closes only when the run itself left a stop request: after an
        // unchanged squared sum, not after a plain convergence.
        const fit::FitEnd first = dlg.LastSummary().Reason;
        const bool stop_left = first == fit::FitEnd::kUnchangedZ;
        dlg.setResult(-7);
        dlg.close();
        EXPECT_EQ(dlg.result() == QDialog::Rejected, stop_left);
        // GO! clears any stop left behind, so the second run is not cut short by it.
        dlg.LSF_GO->click();
        ++runs;
        EXPECT_NE(dlg.LastSummary().Reason, fit::FitEnd::kStopped);
        dlg.LSF_Ok->click();
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
    });
    form_.LSFClick();
    EXPECT_EQ(runs, 2);
}

}  // namespace
}  // namespace kalvex::app
