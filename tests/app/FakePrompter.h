// A Prompter that answers from a script and records every message, so GUI tests never block.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

#include "app/shell/Prompter.h"

namespace kalvex::test {

class FakePrompter : public app::Prompter {
public:
    struct Message {
        QString Kind;  ///< "information", "warning", "error", "confirm"
        QString Text;
    };

    void Information(QWidget*, const QString& text) override {
        Messages.push_back({"information", text});
    }
    void Warning(QWidget*, const QString& text) override { Messages.push_back({"warning", text}); }
    void Error(QWidget*, const QString& text) override { Messages.push_back({"error", text}); }
    bool Confirm(QWidget*, const QString& text) override {
        Messages.push_back({"confirm", text});
        return ConfirmAnswer;
    }
    app::FileChoice OpenFile(QWidget*, const QString& folder, const QString& file,
                             const QStringList& filters, int filter_index) override {
        LastFolder = folder;
        LastFile = file;
        LastFilters = filters;
        LastFilterIndex = filter_index;
        if (OpenAnswers.empty()) return {};
        app::FileChoice c = OpenAnswers.front();
        OpenAnswers.pop_front();
        return c;
    }
    app::FileChoice SaveFile(
        QWidget*, const QString& folder, const QString& file, const QStringList& filters,
        int filter_index,
        const std::function<QString(int, const QString&)>& on_type_change) override {
        LastFolder = folder;
        LastFile = file;
        LastFilters = filters;
        LastFilterIndex = filter_index;
        if (on_type_change) RenamedOnTypeChange = on_type_change(filter_index == 1 ? 2 : 1, file);
        if (SaveAnswers.empty()) return {};
        app::FileChoice c = SaveAnswers.front();
        SaveAnswers.pop_front();
        return c;
    }

    bool SetUpPrinter(QWidget*, QPrinter& printer) override {
        ++PrinterSetups;
        if (PrinterSetupChange) PrinterSetupChange(printer);
        return PrinterSetupAnswer;
    }

    /// Texts of the messages of one kind.
    QStringList Texts(const QString& kind) const {
        QStringList out;
        for (const Message& m : Messages) {
            if (m.Kind == kind) out << m.Text;
        }
        return out;
    }

    std::vector<Message> Messages;
    bool ConfirmAnswer = true;
    std::deque<app::FileChoice> OpenAnswers;
    std::deque<app::FileChoice> SaveAnswers;
    QString LastFolder;
    QString LastFile;
    QStringList LastFilters;
    int LastFilterIndex = 0;
    QString RenamedOnTypeChange;
    int PrinterSetups = 0;
    bool PrinterSetupAnswer = true;
    std::function<void(QPrinter&)> PrinterSetupChange;  ///< what the "user" changes
};

}  // namespace kalvex::test
