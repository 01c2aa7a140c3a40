#pragma once

// What the core says to the user: a message box's text, buttons and icon, and
// title. Code that only works things out (the acoustic model) returns its
// messages with its results; the window model shows them through Platform and
// the command line prints them, in the order they came.

#include <QList>
#include <QString>

namespace kvx {

// The button that closed a message box.
enum class MsgResult { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

// Message box styles: buttons and icon.
namespace MsgStyle {
constexpr int OkOnly = 0;
constexpr int Critical = 16;
constexpr int YesNoCancelQuestion = 35;
constexpr int YesNoQuestion = 36;
constexpr int Exclamation = 48;
constexpr int Information = 64;
// Added to a style: the second button is the default (No in Yes/No).
constexpr int DefaultButton2 = 256;
} // namespace MsgStyle

// Title shown by a message box given no title of its own.
inline const QString kDefaultMessageTitle = QStringLiteral("Kvx32");

struct Message {
    QString text;
    int style = MsgStyle::OkOnly;
    QString title;
};
using Messages = QList<Message>;

} // namespace kvx
