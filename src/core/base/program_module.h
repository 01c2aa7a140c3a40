#pragma once

// A module of the program: a shared library loaded on first use instead of
// with the program, so that what most starts never need costs them nothing.

#include <QString>
#include <QtGlobal>

namespace kvx {

// The function entry of the module fileName: beside the program in the build
// folder, else in the installed program's library folder. Never unloaded:
// what it makes may outlive any caller. nullptr, and the loader's reason in
// whyNot, when the module is missing or lacks entry.
QFunctionPointer loadProgramModule(const QString& programFolder, const QString& fileName,
                                   const char* entry, QString* whyNot);

} // namespace kvx
