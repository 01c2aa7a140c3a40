#pragma once

#include <QString>

namespace kvx::cli {

// Text to standard output or standard error, in UTF-8, as it stands.
void writeOut(const QString& text);
void writeErr(const QString& text);
// "kvx-cli: message" and a line end, to standard error.
void complain(const QString& message);

} // namespace kvx::cli
