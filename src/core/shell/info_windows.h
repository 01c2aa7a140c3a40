#pragma once

// The two information windows of the Help menu, shown modal from the main
// window: About (program, version, current data file and its date, the
// disclaimer and the distributor, in fixed English texts) and Working with
// (how the program is used, in the chosen language). A view builds one from
// the program-wide state each time it is opened and runs its Form_Load.

#include "core/ui/control.h"

namespace kvx {

class Kvx1;

class FrmAbout {
public:
    explicit FrmAbout(Kvx1& kvx);
    FrmAbout(const FrmAbout&) = delete;
    FrmAbout& operator=(const FrmAbout&) = delete;

    Kvx1& kvx;

    // No Tag: the caption "About KVX" is never translated.
    Control form{ControlKind::Form, QStringLiteral("frmAbout")};
    Control lblVersion{ControlKind::Label, QStringLiteral("lblVersion")};
    Control lblFileDate{ControlKind::Label, QStringLiteral("lblFileDate"), QStringLiteral("1108")};
    Control lblAbout{ControlKind::Label, QStringLiteral("lblAbout")};
    Control lblInfo{ControlKind::Label, QStringLiteral("lblInfo")};
    Control lblCopyright{ControlKind::Label, QStringLiteral("lblCopyright")};
    Control Image1{ControlKind::PictureBox, QStringLiteral("Image1")};
    Control Image2{ControlKind::PictureBox, QStringLiteral("Image2")};
    Control Close_Key{ControlKind::CommandButton, QStringLiteral("Close_Key")};

    // Every control in window order, for the translation walk (the form excluded).
    ControlList controls() const;

    // Translates, centres the window on the screen and fills the labels.
    void Form_Load();
};

class FrmWorking {
public:
    explicit FrmWorking(Kvx1& kvx);
    FrmWorking(const FrmWorking&) = delete;
    FrmWorking& operator=(const FrmWorking&) = delete;

    Kvx1& kvx;

    // Built-in caption "Working with ...", kept where the language lacks text 1110.
    Control form{ControlKind::Form, QStringLiteral("frmWorking"), QStringLiteral("1110")};
    Control lblVersion{ControlKind::Label, QStringLiteral("lblVersion")}; // Times New Roman
    Control lbl1{ControlKind::Label, QStringLiteral("lbl1")};             // Arial
    Control lbl3{ControlKind::Label, QStringLiteral("lbl3")};             // Arial
    Control Image1{ControlKind::PictureBox, QStringLiteral("Image1")};
    Control cmdClose{ControlKind::CommandButton, QStringLiteral("cmdClose"),
                     QStringLiteral("1106")};

    ControlList controls() const;

    // Translates, centres the window on the screen and fills the labels.
    void Form_Load();
};

} // namespace kvx
