#pragma once
#include "model/LayoutData.h"
#include "model/LayoutWords.h"

#include <QStringList>

// `zeltra-cli show`: a layout in words, one line per item.
namespace zeltra::cli {

// The image of the model's current kind: keys with their functions, then the tables of that
// kind. Nothing for a kind without an image.
QStringList layoutText(const LayoutData& model);

// One monitor format record: its name, its fields in words and its trims.
QString formatText(const MonitorImage& image, int record);

// Bytes as upper-case hex pairs separated by blanks.
QString hexBytes(std::span<const std::uint8_t> bytes);

using words::printable;

} // namespace zeltra::cli
