// kvx-cli's command line from a script or a user: whatever the arguments,
// reading them ends with an invocation that can be run or a usage error that
// says what is wrong, and never runs anything. The input is the argument list
// after the program's name, each argument ended by a zero byte.

#include "support.h"

#include "cli/command_line.h"

#include <cmath>

using namespace kvx;
using namespace kvx::cli;
using namespace kvx::fuzz;

namespace {

QStringList argumentsOf(const uint8_t* data, size_t size) {
    QStringList arguments{QStringLiteral("kvx-cli")};
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QByteArray& piece : bytes.split('\0'))
        arguments << QString::fromUtf8(piece);
    // A trailing zero ends the last argument rather than starting an empty one.
    if (bytes.endsWith('\0'))
        arguments.removeLast();
    return arguments;
}

void checkFinite(const std::optional<double>& value, const char* what) {
    if (value && !std::isfinite(*value))
        propertyFailed("an option's number is no finite number", QString::fromLatin1(what));
}

void checkPath(const std::optional<QString>& path, const char* what) {
    if (path && path->isEmpty())
        propertyFailed("an empty path was taken", QString::fromLatin1(what));
}

// What a command needs before it can run, and numbers a run can work with.
void checkInvocation(const Invocation& invocation) {
    using Command = Invocation::Command;
    switch (invocation.command) {
    case Command::Help:
        if (invocation.helpText.trimmed().isEmpty())
            propertyFailed("help without a text");
        return;
    case Command::Version:
        return;
    case Command::Report:
    case Command::CatalogueBuild:
        if (invocation.output.isEmpty())
            propertyFailed("a command that writes has no output");
        [[fallthrough]];
    case Command::CatalogueList:
    case Command::Building:
        if (invocation.file.isEmpty())
            propertyFailed("a command that reads a file has none");
        break;
    case Command::Calc:
    case Command::Plan:
    case Command::System:
    case Command::Speech:
        break;
    }
    checkFinite(invocation.pageWidth, "--page-width");
    if (invocation.pageWidth && *invocation.pageWidth <= 0)
        propertyFailed("a page width of no width");
    checkFinite(invocation.margin, "--margin");
    if (invocation.samples < 0 || invocation.samples % 2 != 0)
        propertyFailed("an odd or negative sample count", QString::number(invocation.samples));
    if (invocation.inputs.difference &&
        (*invocation.inputs.difference < 0 || *invocation.inputs.difference > 120))
        propertyFailed("a slider position off the slider",
                       QString::number(*invocation.inputs.difference));
    for (const auto& [value, what] : {std::pair{invocation.system.ambient, "--ambient"},
                                      {invocation.system.above, "--above"},
                                      {invocation.system.amplifier, "--amplifier"},
                                      {invocation.system.cableLength, "--cable-length"},
                                      {invocation.system.dropLimit, "--drop-limit"},
                                      {invocation.speech.reverberation, "--reverberation"},
                                      {invocation.speech.target, "--target"}})
        checkFinite(value, what);
    checkPath(invocation.savePath, "--save");
    checkPath(invocation.reportPath, "--report");
    checkPath(invocation.bomPath, "--bom");
    checkPath(invocation.dataDir, "--data-dir");
    if (invocation.date && !invocation.date->isValid())
        propertyFailed("a date that is no date");
}

} // namespace

// No application object: kvx-cli reads its command line before it makes one.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QStringList arguments = argumentsOf(data, size);
    Invocation first;
    try {
        first = parseCommandLine(arguments);
    } catch (const UsageError& error) {
        if (error.message().trimmed().isEmpty())
            propertyFailed("a usage error that says nothing", arguments.join(u' '));
        return 0;
    }
    checkInvocation(first);
    // Reading is all it does: the same arguments give the same command again.
    const Invocation second = parseCommandLine(arguments);
    if (second.command != first.command || second.file != first.file ||
        second.output != first.output || second.helpText != first.helpText)
        propertyFailed("the same arguments read otherwise", arguments.join(u' '));
    return 0;
}
