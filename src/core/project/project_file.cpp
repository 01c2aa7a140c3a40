#include "core/project/project_file.h"

#include "core/base/kvx_error.h"
#include "core/base/save_file.h"
#include "core/plan/layout_texts.h"
#include "core/plan/plan_settings.h"
#include "core/project/field_reader.h"
#include "core/speech/speech_texts.h"
#include "core/system/system_texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <span>

namespace kvx {

namespace {

constexpr qsizetype kHeaderKept = 50;
// Well above the largest file the writer makes (18 fields of at most 65535
// characters, 1.2 MB): anything larger is not a project, and reading it would
// keep the window frozen for seconds.
constexpr qint64 kMaxProjectFileBytes = 2 * 1024 * 1024;
const QString kLineEnd = QStringLiteral("\r\n");

// A field as the user knows it, for messages.
struct FieldName {
    ProjectField field;
    const char* label;
};

constexpr FieldName kDescriptionFields[] = {{ProjectField::Description, "Project description"}};
constexpr FieldName kLoudspeakerFields[] = {{ProjectField::LoudspeakerType, "Loudspeaker type"},
                                            {ProjectField::Angle1, "Opening angle @ 1 kHz"},
                                            {ProjectField::Angle4, "Opening angle @ 4 kHz"},
                                            {ProjectField::Sensitivity, "Sensitivity"},
                                            {ProjectField::RatedPower, "Rated power"}};
constexpr FieldName kRoomFields[] = {{ProjectField::RoomLength, "Room length"},
                                     {ProjectField::RoomWidth, "Room width"},
                                     {ProjectField::RoomHeight, "Room height"},
                                     {ProjectField::EarHeight, "Ear height"}};
constexpr FieldName kPowerFields[] = {{ProjectField::SpeakerTap, "Speaker tap"},
                                      {ProjectField::AmplifierTap, "Amplifier tap"},
                                      {ProjectField::SpeakerPower, "Speaker power"}};
constexpr FieldName kResultFields[] = {{ProjectField::Distance, "Mutual distance"},
                                       {ProjectField::Speakers, "Number of speakers"},
                                       {ProjectField::Difference1, "Difference level @ 1 kHz"},
                                       {ProjectField::Difference4, "Difference level @ 4 kHz"},
                                       {ProjectField::Level, "Sound pressure level"}};

// A group of settings as one record of quoted fields.
struct SettingsRecord {
    int fieldCount = 0;
    // What the record holds, for messages ("a system setting").
    const char* what = "";
    // The record's fields, in their fixed order; none when the settings are
    // the default, so that every project without them stays as it always was.
    QStringList (*write)(const ProjectSettings& settings) = nullptr;
    // Takes the record's fields into the settings; a message for each field
    // that cannot be used, which keeps its default.
    Messages (*read)(const QStringList& fields, ProjectSettings& settings,
                     const LocalTexts& texts) = nullptr;
};

// A record's unusable fields as the messages the window shows, under the
// title of its settings.
Messages settingProblems(const QStringList& problems, const QString& title) {
    Messages messages;
    for (const QString& problem : problems)
        messages.append({problem, MsgStyle::Exclamation, title});
    return messages;
}

QStringList systemRecord(const ProjectSettings& settings) {
    return settings.system.isDefault() ? QStringList() : systemSettingsFields(settings.system);
}

Messages readSystemRecord(const QStringList& fields, ProjectSettings& settings,
                          const LocalTexts& texts) {
    return settingProblems(readSystemSettingsFields(fields, settings.system, texts),
                           texts.text(SystemText::SettingsTitle));
}

QStringList planRecord(const ProjectSettings& settings) {
    return settings.plan.isDefault() ? QStringList() : planSettingsFields(settings.plan);
}

Messages readPlanRecord(const QStringList& fields, ProjectSettings& settings,
                        const LocalTexts& texts) {
    return settingProblems(readPlanSettingsFields(fields, settings.plan, texts),
                           texts.text(PlanSettingsText::SettingsTitle));
}

QStringList layoutRecord(const ProjectSettings& settings) {
    return settings.layout.isDefault() ? QStringList() : layoutSettingsFields(settings.layout);
}

Messages readLayoutRecord(const QStringList& fields, ProjectSettings& settings,
                          const LocalTexts& texts) {
    return settingProblems(readLayoutSettingsFields(fields, settings.layout, texts),
                           texts.text(LayoutText::SettingsTitle));
}

QStringList speechRecord(const ProjectSettings& settings) {
    return settings.speech.isDefault() ? QStringList() : speechSettingsFields(settings.speech);
}

Messages readSpeechRecord(const QStringList& fields, ProjectSettings& settings,
                          const LocalTexts& texts) {
    return settingProblems(readSpeechSettingsFields(fields, settings.speech, texts),
                           texts.text(SpeechText::SettingsTitle));
}

struct Section {
    // The English id of a header in the user's language; 0 for a header that
    // is the same in every language (fixedHeader).
    int headerId = 0;
    const char* fixedHeader = "";
    // The window's fields of the section; the description is a line of its own.
    std::span<const FieldName> fields;
    SettingsRecord settings;

    bool isLine() const {
        return fields.size() == 1 && fields[0].field == ProjectField::Description;
    }
    int fieldCount() const { return fields.empty() ? settings.fieldCount : int(fields.size()); }
};

// Every section in the order the file is written: the window's groups, then
// the optional settings in a fixed order.
const Section kSections[] = {
    {1057, "", kDescriptionFields, {}},
    {1058, "", kLoudspeakerFields, {}},
    {1059, "", kRoomFields, {}},
    {1060, "", kPowerFields, {}},
    {1061, "", kResultFields, {}},
    // Not translated: a project keeps its settings in any language.
    {0, "[System]", {}, {7, "a system setting", systemRecord, readSystemRecord}},
    {0, "[Plan]", {}, {1, "a plan setting", planRecord, readPlanRecord}},
    {0, "[Layout]", {}, {2, "a layout setting", layoutRecord, readLayoutRecord}},
    {0, "[Speech]", {}, {2, "a speech setting", speechRecord, readSpeechRecord}},
};

// What is wrong with the file itself, as opposed to what the fields' own
// handlers may raise while the file's texts are put in.
class FormatError : public KvxError {
public:
    using KvxError::KvxError;
};

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

KvxError readError(const QString& path, const QString& reason) {
    return KvxError(QStringLiteral("The project file \"%1\" cannot be read: %2.")
                        .arg(nativePath(path), reason));
}

KvxError saveError(const QString& path, const QString& reason) {
    return KvxError(
        QStringLiteral("The project was not saved to \"%1\": %2.").arg(nativePath(path), reason));
}

// Why text cannot be stored in a project file, or nothing when it can.
std::optional<QString> unstorable(const QString& text, bool quoted) {
    if (text.contains(u'\r') || text.contains(u'\n'))
        return QStringLiteral("a line break");
    if (text.size() > FieldReader::kMaxFieldLength)
        return QStringLiteral("more than %1 characters").arg(FieldReader::kMaxFieldLength);
    if (quoted && text.contains(u'"'))
        return QStringLiteral("a double quote");
    QStringEncoder encoder(kCodePage);
    QStringDecoder decoder(kCodePage);
    const QByteArray bytes = encoder.encode(text);
    const QString back = decoder.decode(bytes);
    if (encoder.hasError() || back != text) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (i >= back.size() || back.at(i) != text.at(i)) {
                const qsizetype length = text.at(i).isHighSurrogate() ? 2 : 1;
                return QStringLiteral("the character \"%1\"").arg(text.mid(i, length));
            }
        }
        return QStringLiteral("a character");
    }
    return std::nullopt;
}

// A header in the language of texts; empty where the string table has none.
QString headerText(const LocalTexts& texts, int id) {
    if (const auto text = texts.strings.find(id + texts.languageOffset))
        return *text;
    return texts.strings.find(id).value_or(QString());
}

QString quotedRecord(const QStringList& fields) {
    QStringList quoted;
    for (const QString& field : fields)
        quoted << u'"' + field + u'"';
    return quoted.join(u',');
}

// The section's lines, or none for settings at their defaults. Throws
// KvxError for a text the format cannot hold.
QStringList sectionLines(const Section& section, const QString& path, const ProjectFields& fields,
                         const ProjectSettings& settings, const LocalTexts& texts) {
    if (section.fields.empty()) {
        const QStringList record = section.settings.write(settings);
        if (record.isEmpty())
            return {};
        for (const QString& field : record) {
            if (const auto why = unstorable(field, true)) {
                throw saveError(path,
                                QStringLiteral("%1 holds %2, which a project file cannot hold")
                                    .arg(QLatin1String(section.settings.what), *why));
            }
        }
        return {QLatin1String(section.fixedHeader), quotedRecord(record)};
    }
    QStringList record;
    for (const FieldName& name : section.fields) {
        const QString& text = fields[size_t(name.field)];
        // A text the format cannot hold would read back as something else.
        if (const auto why = unstorable(text, !section.isLine())) {
            throw saveError(path, section.isLine()
                                      ? QStringLiteral("the project description holds %1, which a "
                                                       "project file cannot hold")
                                            .arg(*why)
                                      : QStringLiteral("the field \"%1\" holds %2, which a "
                                                       "project file cannot hold")
                                            .arg(QLatin1String(name.label), *why));
        }
        record << text;
    }
    return {headerText(texts, section.headerId),
            section.isLine() ? record.constFirst() : quotedRecord(record)};
}

bool atEnd(FieldReader& reader) {
    try {
        return reader.atEnd();
    } catch (const FieldReadError& e) {
        throw FormatError(e.message());
    }
}

QStringList readValues(FieldReader& reader, const Section& section, const QString& header) {
    QStringList values;
    try {
        if (section.isLine()) {
            values << reader.readLine();
        } else {
            for (int i = 0; i < section.fieldCount(); ++i)
                values << reader.readField();
        }
    } catch (const FieldReadError& e) {
        switch (e.kind()) {
        case FieldReadError::Kind::EndOfFile:
            throw FormatError(
                QStringLiteral("the file ends inside the section \"%1\"").arg(header));
        case FieldReadError::Kind::TooLong:
            throw FormatError(
                QStringLiteral("line %1: %2").arg(reader.lineNumber()).arg(e.message()));
        case FieldReadError::Kind::Device:
            break;
        }
        throw FormatError(e.message());
    }
    return values;
}

// The section a header names: the header of any language the string table
// has, or of the language of texts (which may fall back to English).
const Section* sectionOf(const QString& header, const LocalTexts& texts) {
    for (const Section& section : kSections) {
        if (section.headerId == 0) {
            if (header == QLatin1String(section.fixedHeader))
                return &section;
        } else if (header == headerText(texts, section.headerId) ||
                   texts.strings.inEveryLanguage(section.headerId).contains(header)) {
            return &section;
        }
    }
    return nullptr;
}

// Reads the sections in the order they come into contents, until the end of
// the file or a header that names no section.
void readSections(FieldReader& reader, const LocalTexts& texts, ProjectFileContents& contents) {
    do {
        const qint64 headerLine = reader.lineNumber();
        const auto noHeader = [headerLine] {
            return FormatError(QStringLiteral("line %1 holds no section header").arg(headerLine));
        };
        QString header;
        try {
            header = reader.readBracketed(kHeaderKept);
        } catch (const FieldReadError& e) {
            if (e.kind() == FieldReadError::Kind::EndOfFile)
                throw noHeader();
            throw FormatError(e.message());
        }
        if (header.isEmpty())
            throw noHeader();
        const Section* section = sectionOf(header, texts);
        if (!section) {
            contents.unknownHeader = header;
            return;
        }
        const QStringList values = readValues(reader, *section, header);
        if (section->fields.empty()) {
            contents.problems << section->settings.read(values, contents.settings, texts);
        } else {
            for (qsizetype i = 0; i < values.size(); ++i)
                contents.fields.emplace_back(section->fields[size_t(i)].field, values[i]);
        }
    } while (!atEnd(reader));
}

} // namespace

void writeProjectFile(const QString& path, const ProjectFields& fields,
                      const ProjectSettings& settings, const LocalTexts& texts) {
    QStringList lines;
    for (const Section& section : kSections)
        lines << sectionLines(section, path, fields, settings, texts);
    QStringEncoder encoder(kCodePage);
    const QByteArray bytes = encoder.encode(lines.join(kLineEnd) + kLineEnd);

    // Written aside and renamed over the old file only when complete.
    if (QFileInfo(path).isDir())
        throw saveError(path, QStringLiteral("a folder has that name"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw saveError(path, file.errorString());
    if (QString reason; !writeSaveFile(file, bytes, &reason))
        throw saveError(path, reason);
}

ProjectFileContents readProjectFile(const QString& path, const LocalTexts& texts) {
    const QFileInfo info(path);
    if (info.isDir())
        throw readError(path, QStringLiteral("it is a folder"));
    // A pipe would block the window until someone writes to it, a device
    // such as /dev/zero never ends.
    if (info.exists() && !info.isFile())
        throw readError(path, QStringLiteral("it is not a regular file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw readError(path, file.errorString());
    if (file.size() > kMaxProjectFileBytes) {
        throw readError(
            path,
            QStringLiteral("at %1 bytes it is too large for a project file").arg(file.size()));
    }
    ProjectFileContents contents;
    try {
        FieldReader reader(file);
        if (atEnd(reader))
            throw FormatError(QStringLiteral("the file is empty"));
        readSections(reader, texts, contents);
    } catch (const FormatError& e) {
        throw readError(path, e.message());
    }
    return contents;
}

bool holdsProject(const QString& path, const StringTable& strings) {
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    if (info.suffix().compare(QLatin1String("kvx"), Qt::CaseInsensitive) == 0)
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QStringDecoder decoder(kCodePage);
    const QString start = decoder.decode(file.read(4096));
    qsizetype end = 0;
    while (end < start.size() && start.at(end) != u'\r' && start.at(end) != u'\n')
        ++end;
    const QString firstLine = start.left(end).trimmed();
    const QStringList headers = strings.inEveryLanguage(kSections[0].headerId);
    return std::any_of(headers.begin(), headers.end(), [&firstLine](const QString& header) {
        return !header.isEmpty() && firstLine == header.trimmed();
    });
}

} // namespace kvx
