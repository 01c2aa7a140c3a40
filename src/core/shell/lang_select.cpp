#include "core/shell/lang_select.h"

#include "core/base/string_table.h"
#include "core/ui/kvx1.h"

#include <QFileInfo>

#include <iterator>

namespace kvx {

namespace {

struct LanguageOption {
    const char* caption;
    LanguageName language;
    int left;
    int top;
};

// In the order of the option array; the positions are inside the frame.
constexpr LanguageOption kOptions[] = {
    {"English", kLanguageNames[0], 480, 600},     {"Deutsch", kLanguageNames[4], 2040, 1320},
    {"Nederlands", kLanguageNames[1], 480, 1320}, {"Francais", kLanguageNames[2], 480, 960},
    {"Italiano", kLanguageNames[3], 2040, 600},   {"Espanol", kLanguageNames[5], 2040, 960},
};
constexpr int kSpanish = 5;
constexpr double kOptionWidth = 1215;
constexpr double kOptionHeight = 255;

} // namespace

LangSelect::LangSelect(Kvx1& kvx_)
    : kvx(kvx_) {
    form.setText(QStringLiteral("Language selection window"));
    form.setSize(4095, 3105);

    Frame1.setText(QStringLiteral("Language"));
    Frame1.setLeft(120);
    Frame1.setTop(120);
    Frame1.setSize(3735, 1815);

    for (int i = 0; i < int(std::size(kOptions)); ++i) {
        auto* option = new Control(ControlKind::OptionButton, QStringLiteral("LanSel(%1)").arg(i));
        option->setText(QString::fromLatin1(kOptions[i].caption));
        option->setLeft(kOptions[i].left);
        option->setTop(kOptions[i].top);
        option->setSize(kOptionWidth, kOptionHeight);
        LanSel.append(option);
    }
    // There are no Spanish texts to switch to.
    LanSel[kSpanish]->setEnabled(false);

    OK_Key.setText(QStringLiteral("OK"));
    OK_Key.setLeft(1320);
    OK_Key.setTop(2040);
    OK_Key.setSize(1215, 375);

    for (int i = 0; i < LanSel.size(); ++i)
        LanSel[i]->onClick = [this, i] { select(i); };
    OK_Key.onClick = [this] { OK_Key_Click(); };
}

LangSelect::~LangSelect() {
    qDeleteAll(LanSel);
}

ControlList LangSelect::controls() const {
    ControlList list{const_cast<Control*>(&Frame1)};
    list += LanSel;
    list.append(const_cast<Control*>(&OK_Key));
    return list;
}

bool LangSelect::Form_Load() {
    // The configuration file is the sign that the first start has happened.
    if (QFileInfo(kvx.iniPath()).isFile())
        return false;
    kvx.keepSetting(Configuration::DataFileSection, Configuration::DataFileKey,
                    Configuration::DefaultDataFile);
    return true;
}

void LangSelect::select(int index) {
    if (index < 0 || index >= LanSel.size() || !LanSel[index]->isEnabled())
        return;
    for (int i = 0; i < LanSel.size(); ++i)
        LanSel[i]->setChecked(i == index);
}

int LangSelect::selectedIndex() const {
    for (int i = 0; i < LanSel.size(); ++i) {
        if (LanSel[i]->isChecked())
            return i;
    }
    return -1;
}

void LangSelect::OK_Key_Click() {
    for (int i = 0; i < LanSel.size(); ++i) {
        if (!LanSel[i]->isChecked())
            continue;
        kvx.LanguageOffset = kOptions[i].language.offset;
        kvx.keepSetting(Configuration::LanguageSection, Configuration::LanguageKey,
                        QString::fromLatin1(kOptions[i].language.name));
    }
}

int LangSelect::offsetOf(int option) {
    return option >= 0 && option < int(std::size(kOptions)) ? kOptions[option].language.offset
                                                            : LanguageOffsets::English;
}

int LangSelect::optionOf(int offset) {
    for (int i = 0; i < int(std::size(kOptions)); ++i) {
        if (kOptions[i].language.offset == offset && i != kSpanish)
            return i;
    }
    return -1;
}

} // namespace kvx
