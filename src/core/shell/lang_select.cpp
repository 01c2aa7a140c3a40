#include "core/shell/lang_select.h"

#include "core/shell/kvx1.h"
#include "core/shell/string_table.h"

#include <QFileInfo>

#include <iterator>

namespace kvx {

namespace {

struct LanguageOption {
    const char* caption;
    const char* storedName; // the value of the "Language" key
    int offset;
    int left;
    int top;
};

// In the order of the option array; the positions are inside the frame.
constexpr LanguageOption kOptions[] = {
    {"English", "English", LanguageOffsets::English, 480, 600},
    {"Deutsch", "German", LanguageOffsets::German, 2040, 1320},
    {"Nederlands", "Dutch", LanguageOffsets::Dutch, 480, 1320},
    {"Francais", "French", LanguageOffsets::French, 480, 960},
    {"Italiano", "Italian", LanguageOffsets::Italian, 2040, 600},
    {"Espanol", "Spanish", LanguageOffsets::Spanish, 2040, 960},
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
    kvx.keepSetting(QStringLiteral("Current lsp file"), QStringLiteral("Filename"),
                    QStringLiteral("Basic.lsp"));
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
        kvx.LanguageOffset = kOptions[i].offset;
        kvx.keepSetting(QStringLiteral("Configuration"), QStringLiteral("Language"),
                        QString::fromLatin1(kOptions[i].storedName));
    }
}

} // namespace kvx
