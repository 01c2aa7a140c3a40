#include "core/ui/translation.h"

#include "core/base/kvx_error.h"
#include "core/ui/main_window.h"
#include "core/ui/main_window/catalogue_selection.h"

#include <limits>
#include <optional>

namespace kvx {

namespace {

// A Tag or caption that is a whole number ("1003", blanks around allowed).
// Anything else cannot be added to the offset: the step fails.
std::optional<int> wholeNumber(const QString& text) {
    bool ok = false;
    const int number = text.trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return number;
}

// The leading digits of a Tag (blanks before them skipped); 0 when it does
// not start with digits. Too large a number cannot be an id: nullopt.
std::optional<int> leadingNumber(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    qint64 number = 0;
    for (; i < text.size() && text[i].isDigit() && text[i].unicode() < 128; ++i) {
        number = number * 10 + (text[i].unicode() - '0');
        if (number > std::numeric_limits<int>::max())
            return std::nullopt;
    }
    return int(number);
}

// The text of an id in the current block, or nothing: no fallback here, a
// control without its text keeps what it shows.
std::optional<QString> blockText(const Kvx1& kvx, std::optional<int> englishId) {
    if (!englishId)
        return std::nullopt;
    const qint64 id = qint64(*englishId) + kvx.LanguageOffset;
    if (id < std::numeric_limits<int>::min() || id > std::numeric_limits<int>::max())
        return std::nullopt;
    return kvx.strings.find(int(id));
}

void translateControl(const Kvx1& kvx, Control& control) {
    switch (control.kind()) {
    case ControlKind::Label:
        if (const auto text = blockText(kvx, wholeNumber(control.tag())))
            control.setText(*text);
        break;
    case ControlKind::Menu:
        // Only a caption that still holds its id is turned into a text.
        if (const auto text = blockText(kvx, wholeNumber(control.text())))
            control.setText(*text);
        break;
    case ControlKind::TextBox:
    case ControlKind::ComboBox:
        if (const auto text = blockText(kvx, wholeNumber(control.tag())))
            control.setToolTip(*text);
        break;
    default: {
        const std::optional<int> id = leadingNumber(control.tag());
        if (id && *id > 0) {
            if (const auto text = blockText(kvx, id))
                control.setText(*text);
        }
        break;
    }
    }
}

// A step whose change runs a handler that fails is passed over like a
// missing text; the walk goes on.
template <typename Step>
void skipOnFailure(Step&& step) {
    try {
        step();
    } catch (const KvxError&) {
    }
}

} // namespace

void LoadGlobalTexts(Kvx1& kvx, FrmKvx& window) {
    GlobalTexts& texts = kvx.texts;
    texts.ProgramTitle = kvx.localText(1052);
    texts.VersionText = kvx.localText(1053);
    texts.NewProjectName = kvx.localText(1054);
    texts.DescriptionPrompt = kvx.localText(1004);
    texts.UserTypeName = kvx.localText(kUserTypeTextId);
    texts.SectionProjectDescription = kvx.localText(1057);
    texts.SectionLoudspeakerData = kvx.localText(1058);
    texts.SectionRoomData = kvx.localText(1059);
    texts.SectionPowerSettings = kvx.localText(1060);
    texts.SectionCalculatedData = kvx.localText(1061);

    // The next translation of the window turns these ids into texts. A menu
    // whose text the block lacks would keep its bare number there, so it gets
    // the English text at once.
    for (const auto& [menu, id] : window.menuTextIds()) {
        const bool inBlock = kvx.strings.contains(id + kvx.LanguageOffset);
        menu->setText(inBlock ? QString::number(id) : kvx.localText(id));
    }
}

void TranslateControls(const Kvx1& kvx, Control& window, const ControlList& controls) {
    skipOnFailure([&] {
        if (const auto text = blockText(kvx, wholeNumber(window.tag())))
            window.setText(*text);
    });
    for (Control* control : controls) {
        if (control)
            skipOnFailure([&] { translateControl(kvx, *control); });
    }
}

void TranslateControls(const Kvx1& kvx, FrmKvx& window) {
    TranslateControls(kvx, window.form, window.controls());
}

} // namespace kvx
