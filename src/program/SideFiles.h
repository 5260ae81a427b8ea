#pragma once
#include <QString>

// Files the side commands use: the exported picture, the manuals, the credits and the
// remote-support program, all looked for beside the program.
namespace zeltra::side {

// The picture of a layout file: its extension replaced by ".JPEG" ("keys.bin" -> "keys.JPEG",
// "keys" -> "keys.JPEG"); empty when no layout file is known.
QString jpegPathFor(const QString& layoutFile);
// A name chosen in the save dialog, with ".JPEG" added unless it already ends in a JPEG
// extension.
QString withJpegExtension(const QString& path);

// The credits file: the program's own name with ".crd", in the program's folder.
QString creditsPath(const QString& programFile);
// Its text, at most CreditsLimit bytes of it; empty when it cannot be read.
constexpr qint64 CreditsLimit = 64 * 1024;
QString readCredits(const QString& path);

// The remote-support program in `programDir` (which ends in a separator): a native
// executable "qvhelp2" when there is one, else "qvhelp2.exe" when it exists, else empty.
inline constexpr char SupportFile[] = "qvhelp2.exe";
struct SupportProgram {
    QString path;
    bool native = false; // start it directly; otherwise it is handed to the opener
};
SupportProgram findSupportProgram(const QString& programDir);

} // namespace zeltra::side
