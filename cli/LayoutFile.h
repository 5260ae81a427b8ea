#pragma once
#include "model/LayoutData.h"

#include <QString>

// Layout files as zeltra-cli reads and writes them. Each returns an error line, empty when
// it worked; on an error the model is left as it was.
namespace zeltra::cli {

// A file to send or show: exactly one machine (484 bytes) or monitor (364 bytes) image. The
// window takes shorter and longer files too; a script gets told instead of sending a
// layout whose tail is whatever memory held.
QString loadLayout(const QString& path, LayoutData& model);
// The same checks, giving the file's bytes as they are.
QString readImageFile(const QString& path, QByteArray& image);

// What an upload into `path` starts from: the file when it exists (it must hold a layout of
// `kind`), the start-up defaults otherwise. Bytes that are never read back keep these values.
// A folder that cannot take the file is an error here, before anything is read.
QString uploadBase(const QString& path, std::int32_t kind, LayoutData& model);

// Writes the model's current image beside `path` and renames it over it.
QString saveLayout(const QString& path, const LayoutData& model);

} // namespace zeltra::cli
