#include "app/shell/Prompter.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QTreeView>
#include <QPageSetupDialog>

namespace kalvex::app {

namespace {

const QString kCaption = QStringLiteral("Kalvex");

int FilterIndexOf(const QStringList& filters, const QString& filter) {
    const int i = filters.indexOf(filter);
    return i < 0 ? 1 : i + 1;
}

// The file dialogs are Qt's own widgets on every platform, so they look and behave alike.
void Prepare(QFileDialog& dialog, const QString& file, const QStringList& filters,
             int filter_index) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // Wide enough for long spectrum names, with every column as wide as what it shows.
    dialog.resize(900, 520);
    if (auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    }
    dialog.setNameFilters(filters);
    if (filter_index >= 1 && filter_index <= filters.size()) {
        dialog.selectNameFilter(filters[filter_index - 1]);
    }
    if (!file.isEmpty()) dialog.selectFile(file);
}

// The extension of a filter's first pattern: "Data File (*.dat)" gives "dat".
QString DefaultSuffixOf(const QString& filter) {
    const int star = filter.indexOf(QStringLiteral("*."));
    if (star < 0) return {};
    int end = star + 2;
    while (end < filter.size() && filter[end].isLetterOrNumber()) ++end;
    return filter.mid(star + 2, end - star - 2);
}

FileChoice Run(QFileDialog& dialog, const QStringList& filters) {
    FileChoice choice;
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        choice.Path = dialog.selectedFiles().first();
        choice.FilterIndex = FilterIndexOf(filters, dialog.selectedNameFilter());
    }
    return choice;
}

}  // namespace

void DialogPrompter::Information(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, kCaption, text);
}

void DialogPrompter::Warning(QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, kCaption, text);
}

void DialogPrompter::Error(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, kCaption, text);
}

bool DialogPrompter::Confirm(QWidget* parent, const QString& text) {
    return QMessageBox::information(parent, kCaption, text, QMessageBox::Ok | QMessageBox::Cancel,
                                    QMessageBox::Cancel) == QMessageBox::Ok;
}

FileChoice DialogPrompter::OpenFile(QWidget* parent, const QString& folder, const QString& file,
                                    const QStringList& filters, int filter_index) {
    QFileDialog dialog(parent, QString(), folder);
    dialog.setOption(QFileDialog::ReadOnly);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    Prepare(dialog, file, filters, filter_index);
    return Run(dialog, filters);
}

FileChoice DialogPrompter::SaveFile(
    QWidget* parent, const QString& folder, const QString& file, const QStringList& filters,
    int filter_index, const std::function<QString(int, const QString&)>& on_type_change) {
    QFileDialog dialog(parent, QString(), folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    Prepare(dialog, file, filters, filter_index);
    // A name typed without extension gets the chosen type's, before the overwrite question.
    dialog.setDefaultSuffix(DefaultSuffixOf(dialog.selectedNameFilter()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& f) {
        dialog.setDefaultSuffix(DefaultSuffixOf(f));
        if (!on_type_change) return;
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        const QString current = edit ? edit->text() : file;
        dialog.selectFile(on_type_change(FilterIndexOf(filters, f), current));
    });
    return Run(dialog, filters);
}

bool DialogPrompter::SetUpPrinter(QWidget* parent, QPrinter& printer) {
    QPageSetupDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

QStringList QtNameFilters(const std::string& filter) {
    const QStringList parts = QString::fromUtf8(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(';', ' ');
        const int open = description.lastIndexOf('(');
        if (open >= 0) description = description.left(open).trimmed();
        out << description + " (" + patterns + ")";
    }
    return out;
}

}  // namespace kalvex::app
