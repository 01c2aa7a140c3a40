#pragma once

// The file a save dialog offers: a name the user can keep, in the folder
// every dialog of the program starts in (Kvx1::dialogFolder).

#include <QString>

namespace kvx {

class Kvx1;

// The English id of "Untitled", the name of a file that has none yet.
constexpr int kUntitledText = 1535;

// text made fit to be a file's name on every system the program runs on:
// characters that a file name cannot hold become spaces, runs of spaces one,
// no dot or space at either end, a name that Windows keeps for a device gets
// a "_", at most 100 characters. Empty when nothing is left.
QString fileNameOf(const QString& text);

// The name offered for a file, without its extension: the base name of
// currentFile (the project's or the building's file), else a name made from
// description (unless it is still the prompt to type one), else "Untitled" in
// the user's language.
QString offeredName(const Kvx1& kvx, const QString& currentFile, const QString& description);

// That name with extension (no dot), in the folder the program's dialogs
// start in for currentFile.
QString offeredPath(const Kvx1& kvx, const QString& currentFile, const QString& description,
                    const QString& extension);

} // namespace kvx
