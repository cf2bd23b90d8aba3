// What the fuzz targets share: scratch files for the readers, and the checks every document
// that a reader accepted must pass.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "core/Document.h"
#include "core/Options.h"
#include "files/OpenCommand.h"

namespace kalvex::fuzz {

/// Writes `bytes` to `name` in this process's scratch folder (in memory when /dev/shm exists)
/// and returns its path.
std::string WriteScratch(const std::string& name, std::string_view bytes);

/// Splits a fuzz input into a parameter text (up to the first NUL) and binary data (after
/// it); without a NUL everything is text.
std::pair<std::string_view, std::string_view> SplitAtNul(const std::uint8_t* data,
                                                         std::size_t size);

/// The two documents a run needs: the one read from the input and the one its written files
/// read back into.
enum class Slot { kInput, kReadBack };

/// Reads `path` as the open command does (the reader its name chooses, then ObsFreq) into the
/// document of `slot`, fresh but for its buffers, which are allocated once: 16 MB allocated
/// and cleared per run would slow fuzzing a hundredfold. Throws what the reader throws.
core::Document& Open(Slot slot, const std::string& path, const core::Options& opts = {},
                     const files::ArrayChooser& choose = nullptr);

/// Aborts when a document a reader accepted holds something no later step may meet: a point
/// count outside 1..65,536, a value that is not finite (intensities, their absolute values,
/// calibration, the axis up to its last point, the observe frequency, the peak table, the
/// bias), or more than 30 peaks.
void CheckOpened(const core::Document& doc);

/// What the window does with an opened document: the automatic bias (set as "Auto" does) and
/// the picture of the spectrum and its axis on a canvas that keeps nothing.
void ShowOpened(core::Document& doc);

/// Writes the document in each format that has a reader (.spc, its peaks as .sp2, .dat) and
/// reads each back: aborts when one is refused for a reason the writer should have avoided or
/// reads back different; also renders the .sp3 table and the .par report.
void CheckWritersReadBack(const core::Document& doc);

/// Opens `path` into the kInput document; when the reader accepts it, CheckOpened,
/// ShowOpened and CheckWritersReadBack. Returns the document, or nullptr when the reader
/// refused the file with a message (what it must do with bad input).
core::Document* OpenAndCheck(const std::string& path, const core::Options& opts = {},
                             const files::ArrayChooser& choose = nullptr);

/// Aborts with `what` on the error stream.
[[noreturn]] void Fail(const std::string& what);

}  // namespace kalvex::fuzz
