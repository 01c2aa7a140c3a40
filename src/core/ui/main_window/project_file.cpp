// The project file: ten lines of Windows-1252 text with CR LF line ends, five
// localized section headers, each followed by the description line or a
// record of quoted fields. Texts are stored as the fields show them.

#include "core/base/save_file.h"
#include "core/project/field_reader.h"
#include "core/system/system_texts.h"
#include "core/ui/main_window.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <functional>
#include <optional>

namespace kvx {

namespace {

constexpr qsizetype kHeaderKept = 50;
// Well above the largest file the writer makes (18 fields of at most 65535
// characters, 1.2 MB): anything larger is not a project, and reading it twice
// would keep the window frozen for seconds.
constexpr qint64 kMaxProjectFileBytes = 2 * 1024 * 1024;
const QString kLineEnd = QStringLiteral("\r\n");

enum Section {
    DescriptionSection,
    LoudspeakerSection,
    RoomSection,
    PowerSection,
    ResultsSection,
    SystemSection
};
constexpr std::array<int, 6> kSectionFields = {1, 5, 4, 3, 5, 7};
// Not translated: a project keeps its system settings in any language.
const QString kSystemHeader = QStringLiteral("[System]");
const QString kSpreadLoad = QStringLiteral("spread");
const QString kFarEndLoad = QStringLiteral("end");

// A field as the user knows it, for messages.
struct NamedField {
    const Control* control;
    const char* label;
};

using SectionSink = std::function<void(Section, const QStringList&)>;

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

bool atEnd(FieldReader& reader) {
    try {
        return reader.atEnd();
    } catch (const FieldReadError& e) {
        throw FormatError(e.message());
    }
}

QStringList readSection(FieldReader& reader, Section section, const QString& header) {
    QStringList values;
    try {
        if (section == DescriptionSection) {
            values << reader.readLine();
        } else {
            for (int i = 0; i < kSectionFields[section]; ++i)
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

// Reads the sections in the order they come and hands each to sink (which may
// be empty). Returns the header text that matched no section header, which
// ends the reading, or nothing when the file ended after a whole section.
std::optional<QString> readSections(FieldReader& reader, const QStringList& headers,
                                    const SectionSink& sink) {
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
        const qsizetype index = headers.indexOf(header);
        if (index < 0)
            return header;
        const auto section = Section(index);
        const QStringList values = readSection(reader, section, header);
        if (sink)
            sink(section, values);
    } while (!atEnd(reader));
    return std::nullopt;
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

QString quotedRecord(const QList<NamedField>& fields) {
    QStringList quoted;
    for (const NamedField& f : fields)
        quoted << u'"' + f.control->text() + u'"';
    return quoted.join(u',');
}

} // namespace

void FrmKvx::WriteProjectFile(const QString& path) {
    QString description = txtDescription.text();
    if (description == kvx.texts.DescriptionPrompt)
        description.clear();

    const QList<NamedField> loudspeaker = {{&lstLsp, "Loudspeaker type"},
                                           {&txtAngle1, "Opening angle @ 1 kHz"},
                                           {&txtAngle4, "Opening angle @ 4 kHz"},
                                           {&txtSensitivity, "Sensitivity"},
                                           {&txtMaxPower, "Rated power"}};
    const QList<NamedField> room = {{&txtRoomLength, "Room length"},
                                    {&txtRoomWidth, "Room width"},
                                    {&txtRoomHeight, "Room height"},
                                    {&txtEarHeight, "Ear height"}};
    const QList<NamedField> power = {
        {&lstLspTap, "Speaker tap"}, {&lstAmpTap, "Amplifier tap"}, {&lblPower, "Speaker power"}};
    const QList<NamedField> results = {{&lblDistance, "Mutual distance"},
                                       {&lblNrofSpeakers, "Number of speakers"},
                                       {&lblLevelDif1, "Difference level @ 1 kHz"},
                                       {&txtLevelDif4, "Difference level @ 4 kHz"},
                                       {&lblLevel, "Sound pressure level"}};

    // A text the format cannot hold would read back as something else.
    if (const auto why = unstorable(description, false)) {
        throw saveError(path, QStringLiteral("the project description holds %1, which a project "
                                             "file cannot hold")
                                  .arg(*why));
    }
    for (const auto* record : {&loudspeaker, &room, &power, &results}) {
        for (const NamedField& f : *record) {
            if (const auto why = unstorable(f.control->text(), true)) {
                throw saveError(path, QStringLiteral("the field \"%1\" holds %2, which a project "
                                                     "file cannot hold")
                                          .arg(QString::fromLatin1(f.label), *why));
            }
        }
    }

    QStringList lines = {kvx.texts.SectionProjectDescription, description,
                         kvx.texts.SectionLoudspeakerData,    quotedRecord(loudspeaker),
                         kvx.texts.SectionRoomData,           quotedRecord(room),
                         kvx.texts.SectionPowerSettings,      quotedRecord(power),
                         kvx.texts.SectionCalculatedData,     quotedRecord(results)};
    // Only a project that uses them carries the system settings, so that
    // every other project stays as it always was.
    if (!systemSettings.isDefault()) {
        const QStringList fields = systemSettingsFields(systemSettings);
        for (const QString& field : fields) {
            if (const auto why = unstorable(field, true)) {
                throw saveError(path, QStringLiteral("a system setting holds %1, which a project "
                                                     "file cannot hold")
                                          .arg(*why));
            }
        }
        QStringList quoted;
        for (const QString& field : fields)
            quoted << u'"' + field + u'"';
        lines << kSystemHeader << quoted.join(u',');
    }
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

    m_projectName = QFileInfo(path).fileName();
    showProjectCaption();
    kvx.Modified = false;
}

bool FrmKvx::ReadProjectFile(const QString& path) {
    const QStringList headers = {
        kvx.texts.SectionProjectDescription, kvx.texts.SectionLoudspeakerData,
        kvx.texts.SectionRoomData,           kvx.texts.SectionPowerSettings,
        kvx.texts.SectionCalculatedData,     kSystemHeader};
    // A file without the section has the default settings.
    SystemSettings settings;
    QStringList settingProblems;
    const auto apply = [&](Section section, const QStringList& v) {
        switch (section) {
        case DescriptionSection:
            txtDescription.setText(v[0]);
            break;
        case LoudspeakerSection:
            lstLsp.setText(v[0]);
            txtAngle1.setText(v[1]);
            txtAngle4.setText(v[2]);
            txtSensitivity.setText(v[3]);
            txtMaxPower.setText(v[4]);
            break;
        case RoomSection:
            txtRoomLength.setText(v[0]);
            txtRoomWidth.setText(v[1]);
            txtRoomHeight.setText(v[2]);
            txtEarHeight.setText(v[3]);
            break;
        case PowerSection:
            lstLspTap.setText(v[0]);
            lstAmpTap.setText(v[1]);
            lblPower.setText(v[2]);
            break;
        case ResultsSection:
            lblDistance.setText(v[0]);
            lblNrofSpeakers.setText(v[1]);
            lblLevelDif1.setText(v[2]);
            txtLevelDif4.setText(v[3]);
            lblLevel.setText(v[4]);
            break;
        case SystemSection:
            settingProblems << readSystemSettingsFields(v, settings, kvx.localTexts());
            break;
        }
    };

    std::optional<QString> unknownHeader;
    {
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
        try {
            // The first pass proves the whole file readable, so that a damaged
            // file leaves the window as it was.
            FieldReader check(file);
            if (atEnd(check))
                throw FormatError(QStringLiteral("the file is empty"));
            readSections(check, headers, {});
            if (!file.seek(0))
                throw FormatError(file.errorString());
            FieldReader reader(file);
            try {
                unknownHeader = readSections(reader, headers, apply);
            } catch (...) {
                // Part of the file is in the window now: it is neither the
                // old project nor this file.
                kvx.Modified = true;
                throw;
            }
        } catch (const FormatError& e) {
            throw readError(path, e.message());
        }
    }

    if (settings != systemSettings) {
        systemSettings = settings;
        m_settingsObservers.notify();
    }
    // A value that is not a number costs that setting, never the project.
    for (const QString& problem : settingProblems) {
        kvx.platform.messageBox(problem, MsgStyle::Exclamation,
                                kvx.localText(kSystemSettingsTitleId));
    }

    if (unknownHeader) {
        kvx.platform.messageBox(QStringLiteral("Error in project file: ") + QChar(13) +
                                    QStringLiteral("Last Record read: ") + *unknownHeader,
                                MsgStyle::Critical, QStringLiteral("Fatal Error"));
        mnuNew_Click();
        return false;
    }
    m_projectName = QFileInfo(path).fileName();
    showProjectCaption();
    kvx.Modified = false;
    return true;
}

} // namespace kvx
