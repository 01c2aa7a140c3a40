#pragma once

// The command line's side of the one guard of every file KVX writes that is
// not a project's own save (core/ui/replace_guard.h): -o, --report and --bom
// refuse to replace a file that holds a project or a building, or the file
// the command reads, unless --overwrite is given.

#include <QString>

namespace kvx::cli {

struct Invocation;

// True when the command may write path; else the reason is complained of
// (the file named) and the command ends with Exit::Failure.
bool mayWriteOutput(const QString& path, const Invocation& invocation);

} // namespace kvx::cli
