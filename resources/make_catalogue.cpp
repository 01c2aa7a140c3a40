// Writes a loudspeaker data file from its CSV source, with the same checks and
// the same writer as the command line's catalogue build: the build uses it for
// the shipped catalogue.
#include "core/catalogue/catalogue_csv.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_catalogue IN.csv OUT.lsp\n");
        return 2;
    }
    // A build tool: its messages are for the developer, in English.
    const kvx::LocalTexts english{kvx::StringTable::builtIn(), kvx::LanguageOffsets::English,
                                  QLocale::c()};
    const kvx::CatalogueBuild build = kvx::buildCatalogue(QString::fromLocal8Bit(argv[1]),
                                                          QString::fromLocal8Bit(argv[2]), english);
    for (const QString& message : build.messages)
        std::fprintf(stderr, "%s\n", qPrintable(message));
    return build.outcome == kvx::CatalogueBuild::Outcome::Written ? 0 : 1;
}
