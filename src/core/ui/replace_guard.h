#pragma once

// The one guard of every file KVX writes that is not the project's own Save
// (reports, the plan's exports, catalogues, a building's exports): a file
// that holds a project or a building is replaced only when the user says so,
// after the file dialog's own question, with No as the answer Return gives.

#include <QString>

namespace kvx {

class Kvx1;

// What would take the project's place, for the question's words.
// A building saved under another name takes the file's place as a whole.
enum class Replacement { Report, Export, Building };

// True when path may be written: it holds no project or building, or the
// user answered Yes. title is the title of the command that writes.
bool mayReplace(const Kvx1& kvx, const QString& path, const QString& title,
                Replacement with = Replacement::Report);

} // namespace kvx
