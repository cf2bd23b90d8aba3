#include "app/output/AskPictureFile.h"

#include "app/shell/Prompter.h"

namespace kalvex::app {

std::optional<output::PictureTarget> AskPictureFile(
    QWidget* parent, Prompter& prompter, const std::string& folder, const std::string& file_name,
    int filter_index, const char* filter, std::span<const output::PictureFormat> formats) {
    const FileChoice choice = prompter.SaveFile(
        parent, QString::fromStdString(folder), QString::fromStdString(file_name),
        QtNameFilters(filter), filter_index, [formats](int index, const QString& name) {
            return QString::fromStdString(
                output::RenameForFilter(name.toStdString(), index, formats));
        });
    if (choice.Path.isEmpty()) return std::nullopt;
    return output::PictureTargetFor(choice.Path.toStdString(), choice.FilterIndex, formats);
}

}  // namespace kalvex::app
