// Message boxes and file dialogs behind one interface, so tests can answer them.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <string>

class QPrinter;
class QWidget;

namespace kalvex::app {

/// What an open dialog returns: the chosen path (empty when cancelled) and the filter index
/// (1-based, as the dialog's filter list counts).
struct FileChoice {
    QString Path;
    int FilterIndex = 1;
};

/// Everything that asks the user and waits for an answer.
class Prompter {
public:
    virtual ~Prompter() = default;
    /// Information message with an OK button ("No Peak Data !!!").
    virtual void Information(QWidget* parent, const QString& text) = 0;
    /// Warning message with an OK button ("Change Initial Conditions !!!").
    virtual void Warning(QWidget* parent, const QString& text) = 0;
    /// Error message with an OK button (a failed command).
    virtual void Error(QWidget* parent, const QString& text) = 0;
    /// Information question with OK and Cancel; true for OK ("Sure ?").
    virtual bool Confirm(QWidget* parent, const QString& text) = 0;
    /// Open dialog: `filters` are Qt name filters, `filter_index` 1-based preselection.
    virtual FileChoice OpenFile(QWidget* parent, const QString& folder, const QString& file,
                                const QStringList& filters, int filter_index) = 0;
    /// Save dialog with overwrite prompt; `on_type_change` renames the proposed file when
    /// the user picks another filter (gets the 1-based index and the current name, returns
    /// the new name).
    virtual FileChoice SaveFile(
        QWidget* parent, const QString& folder, const QString& file, const QStringList& filters,
        int filter_index, const std::function<QString(int, const QString&)>& on_type_change) = 0;
    /// The printer setup dialog (paper, orientation, margins) on `printer`; true when the
    /// user confirmed, which leaves the settings in `printer`.
    virtual bool SetUpPrinter(QWidget* parent, QPrinter& printer) = 0;
};

/// The real dialogs.
class DialogPrompter : public Prompter {
public:
    void Information(QWidget* parent, const QString& text) override;
    void Warning(QWidget* parent, const QString& text) override;
    void Error(QWidget* parent, const QString& text) override;
    bool Confirm(QWidget* parent, const QString& text) override;
    FileChoice OpenFile(QWidget* parent, const QString& folder, const QString& file,
                        const QStringList& filters, int filter_index) override;
    FileChoice SaveFile(QWidget* parent, const QString& folder, const QString& file,
                        const QStringList& filters, int filter_index,
                        const std::function<QString(int, const QString&)>& on_type_change) override;
    bool SetUpPrinter(QWidget* parent, QPrinter& printer) override;
};

/// Qt name filters ("NMR spectra (*.spc)") from a "description|patterns|..." filter list.
QStringList QtNameFilters(const std::string& filter);

}  // namespace kalvex::app
