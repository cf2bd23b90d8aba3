// LSF_GN, the fit dialog "Now Calculating !!": kinds to fit, GO!, progress, OK and Exit.
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "fit/FitDialogRules.h"
#include "fit/GaussNewton.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace kalvex::app {

class M_Form;

/// The modal fit dialog. The check-box rules live in fit::FitDialogRules; this window only
/// shows that model, runs the engine and reports its progress. A run goes to a worker thread
/// while the dialog keeps handling events: each iteration reaches the labels through a queued
/// call, OK and Exit set the stop request, and the document and the main window are left
/// alone until the run has ended.
class LSF_GN : public QDialog, private fit::FitObserver {
    Q_OBJECT

public:
    LSF_GN(M_Form& main, QWidget* parent);

    /// LSFClick: prepares the check boxes and, when the squared sum is below the fit's upper
    /// limit, copies the observed points and shows the dialog modally. Returns false when
    /// the dialog did not open.
    bool Start();

    /// Called when the dialog has been prepared and would be shown modally; tests replace the
    /// modal loop with their own clicks. Default: exec().
    void SetRunner(std::function<void(LSF_GN&)> runner) { runner_ = std::move(runner); }

    bool Running() const { return running_; }
    const fit::GaussNewtonSummary& LastSummary() const { return summary_; }

    QPushButton* LSF_GO = nullptr;
    QPushButton* LSF_Ok = nullptr;
    QPushButton* LSF_Exit = nullptr;
    QLabel* Zansa_New = nullptr;
    QLabel* deltaZZ = nullptr;
    QLabel* ite = nullptr;
    QLabel* PrecisionText = nullptr;  ///< which precision the run uses
    QCheckBox* Position_Box = nullptr;
    QCheckBox* Width_Box = nullptr;
    QCheckBox* Height_Box = nullptr;
    QCheckBox* WidthG_Box = nullptr;
    QCheckBox* Fraction_Box = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;

public slots:
    void LSF_GoClick();
    void LSF_OkClick();
    void LSF_ExitClick();
    /// Esc: Exit when Exit is enabled. The close box goes through closeEvent.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Called on the worker thread.
    bool OnIteration(double z, double z_old, std::uint16_t count) override;
    void OnWarning(const std::string& message) override;
    /// Runs the engine on a worker thread and handles events until it has returned.
    void RunOnWorker(const fit::GaussNewtonOptions& options);
    void ShowIteration(double z, double z_old, std::uint16_t count);

    fit::FitDialogContext Context();
    /// Shows the rules' model on the widgets.
    void ShowModel();
    void BoxClicked(fit::FitBox box);
    /// The close query: only with FitStop set, which it clears. `result` is how it closes.
    void TryClose(int result);
    void Closed();

    M_Form& main_;
    fit::FitDialogModel model_;
    fit::FitRunState run_;
    fit::GaussNewtonSummary summary_;
    bool running_ = false;
    std::vector<std::string> warnings_;  // from the worker; shown when the run has ended
    int pending_result_ = -1;            // an OK or Exit during a run closes after it
    std::function<void(LSF_GN&)> runner_;
};

}  // namespace kalvex::app
