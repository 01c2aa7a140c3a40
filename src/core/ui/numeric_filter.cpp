#include "core/ui/numeric_filter.h"

#include "core/base/numbers.h"

#include <algorithm>

namespace kvx {

namespace {

bool acceptable(const QString& text) {
    bool separatorSeen = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c >= u'0' && c <= u'9')
            continue;
        if ((c == u'.' || c == u',') && !separatorSeen) {
            separatorSeen = true;
            continue;
        }
        if ((c == u'+' || c == u'-') && i == 0)
            continue;
        return false;
    }
    return true;
}

} // namespace

void CheckNumericEntry(Kvx1& kvx, Control& field, bool lengthField, Units units) {
    const QString text = trimSpaces(field.text());
    // Only a length in feet takes more: a second separator in 9.5' 6.5" is
    // for readLength to judge when the length is read.
    const bool feet = lengthField && units == Units::Imperial;
    if (feet ? std::all_of(text.cbegin(), text.cend(),
                           [](QChar c) {
                               return (c >= u'0' && c <= u'9') || c == u'.' || c == u',' ||
                                      c == u'+' || c == u'-' ||
                                      acceptsLengthCharacter(c, Units::Imperial);
                           })
             : acceptable(text)) {
        // Only ever raised here: typing back the remembered text must not
        // forget another field's unsaved change.
        if (kvx.IsChanged(text))
            kvx.Modified = true;
        return;
    }
    if (feet) {
        kvx.platform.messageBox(kvx.localText(UnitsText::ImperialFilterHint), MsgStyle::OkOnly);
        kvx.platform.setFocus(field);
        return;
    }
    kvx.platform.messageBox(
        QStringLiteral("Invalid Character. Use: ") + QChar(10) +
            QStringLiteral(" +/-, 0...9, one decimal separator (dot or comma)."),
        MsgStyle::OkOnly);
    kvx.platform.setFocus(field);
}

} // namespace kvx
