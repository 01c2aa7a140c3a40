#pragma once

// The language window LangSelect: the first window of every run. When the
// configuration file exists it closes unseen; on a first start it records the
// default loudspeaker data file, asks for the language of the user interface
// and stores the choice. Its texts are fixed English texts, never translated.

#include "core/ui/control.h"

#include <QList>

namespace kvx {

class Kvx1;

class LangSelect {
public:
    explicit LangSelect(Kvx1& kvx);
    ~LangSelect();
    LangSelect(const LangSelect&) = delete;
    LangSelect& operator=(const LangSelect&) = delete;

    Kvx1& kvx;

    // The window itself (caption and outer size in twips).
    Control form{ControlKind::Form, QStringLiteral("LangSelect")};
    // The frame around the options; the options' positions are inside it.
    Control Frame1{ControlKind::Frame, QStringLiteral("Frame1")};
    // Six option buttons, owned: English, Deutsch, Nederlands, Francais,
    // Italiano, Espanol. Espanol is disabled (there are no Spanish texts).
    QList<Control*> LanSel;
    Control OK_Key{ControlKind::CommandButton, QStringLiteral("OK_Key")};

    // The controls in tab order: Frame1, LanSel(0) to LanSel(5), OK_Key.
    ControlList controls() const;

    // True when the window must be shown (first start: the default data file
    // has just been written); false when the configuration file exists and
    // the window unloads unseen, writing nothing.
    bool Form_Load();

    // A click on an option: it becomes the only selected one. A disabled
    // option or an index out of range changes nothing.
    void select(int index);
    // The selected option, -1 when none is.
    int selectedIndex() const;

    // Stores the selected language in the configuration file and sets
    // kvx.LanguageOffset; with nothing selected nothing is written and the
    // offset stays as it was. Loading the main window is the caller's next step.
    void OK_Key_Click();

    // The option of a language offset, -1 for none.
    static int optionOf(int offset);
    // The language offset of an option; 0 (English) for an index out of range.
    static int offsetOf(int option);
};

} // namespace kvx
