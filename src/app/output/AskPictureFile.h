// The save dialog of every picture command: the proposed file, the type list, the answer.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "output/PictureRules.h"

class QWidget;

namespace kalvex::app {

class Prompter;

/// Asks for a picture file: starts in `folder` with `file_name` and filter `filter_index`
/// (1-based) of `filter` ("description|*.ext|..."), whose entries are `formats`; a change of
/// type renames the file's extension. Returns the file and format to write (a name without a
/// picture extension gets the chosen type's), or nothing when the user cancels.
std::optional<output::PictureTarget> AskPictureFile(QWidget* parent, Prompter& prompter,
                                                    const std::string& folder,
                                                    const std::string& file_name, int filter_index,
                                                    const char* filter,
                                                    std::span<const output::PictureFormat> formats);

}  // namespace kalvex::app
