#pragma once

// The presentation model of a window: each control is a small observable object
// holding exactly the properties the program uses. The window models own their
// controls and install the event handlers; a view shows the properties and
// forwards the user's own actions (type, pick, click, focus, slide) to the
// user*() functions below. Changes made by the program fire the same events
// as changes made by the user, as the handlers expect.

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace kvx {

// A colour as 0xRRGGBB; the core has no QColor.
using Rgb = quint32;
constexpr Rgb rgb(int r, int g, int b) {
    return (Rgb(r) << 16) | (Rgb(g) << 8) | Rgb(b);
}
constexpr Rgb kBlack = rgb(0, 0, 0);
constexpr Rgb kWhite = rgb(255, 255, 255);
constexpr Rgb kRed = rgb(255, 0, 0);
constexpr Rgb kLightYellow = rgb(255, 255, 224);

// Kinds by the type names that the translation walk tells apart.
enum class ControlKind {
    Form,
    Label,
    TextBox,
    ComboBox,
    CommandButton,
    Frame,
    HScrollBar,
    Menu,
    PictureBox,
    OptionButton,
};

QString typeName(ControlKind kind);

class Control : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void()>;

    Control(ControlKind kind, QString name, QString tag = {}, QObject* parent = nullptr);

    ControlKind kind() const { return m_kind; }
    QString typeName() const { return kvx::typeName(m_kind); }
    const QString& name() const { return m_name; }

    const QString& tag() const { return m_tag; }
    void setTag(const QString& tag);

    // Text of a text box or combo box, caption of everything else.
    const QString& text() const { return m_text; }
    void setText(const QString& text);

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    const QString& toolTip() const { return m_toolTip; }
    void setToolTip(const QString& toolTip);

    Rgb foreColor() const { return m_foreColor; }
    void setForeColor(Rgb colour);
    Rgb backColor() const { return m_backColor; }
    void setBackColor(Rgb colour);

    // Combo box list.
    const QStringList& items() const { return m_items; }
    void addItem(const QString& item);
    // Appends many items at once: views refresh once, not once per item.
    void addItems(const QStringList& items);
    void clearItems();
    // List position of the last pick, -1 when the text was set otherwise.
    int listIndex() const { return m_listIndex; }

    // Slider value and range.
    int value() const { return m_value; }
    void setValue(int value);
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    void setRange(int minimum, int maximum);
    int smallChange() const { return m_smallChange; }
    int largeChange() const { return m_largeChange; }
    void setSteps(int smallChange, int largeChange);

    // Option button state.
    bool isChecked() const { return m_checked; }
    void setChecked(bool checked);

    // Geometry in twips, for windows (left, top, width, height).
    double left() const { return m_left; }
    double top() const { return m_top; }
    double width() const { return m_width; }
    double height() const { return m_height; }
    void setLeft(double twips);
    void setTop(double twips);
    void setSize(double widthTwips, double heightTwips);

    // Event handlers, installed by the window model that owns the control.
    Handler onChange;   // text, caption or slider value changed
    Handler onClick;    // button or menu click, list pick, mouse click into a field
    Handler onGotFocus; // the control received the input focus

    // What the user does; each runs the handlers the platform would run.
    void userSetText(const QString& text); // an edit of the text box (the whole new text)
    void userPick(int index);              // a pick from the combo box's list
    void userClick();
    void userFocus();
    void userSetValue(int value); // a slider move

Q_SIGNALS:
    // Any property changed: views refresh from the model.
    void updated();

private:
    void fire(const Handler& handler);
    void touch() { Q_EMIT updated(); }

    ControlKind m_kind;
    QString m_name;
    QString m_tag;
    QString m_text;
    QString m_toolTip;
    bool m_enabled = true;
    Rgb m_foreColor = kBlack;
    Rgb m_backColor = kWhite;
    QStringList m_items;
    int m_listIndex = -1;
    int m_value = 0;
    int m_minimum = 0;
    int m_maximum = 32767;
    int m_smallChange = 1;
    int m_largeChange = 1;
    bool m_checked = false;
    double m_left = 0;
    double m_top = 0;
    double m_width = 0;
    double m_height = 0;
};

// Controls in the order the window lists them (the order translation walks).
using ControlList = QList<Control*>;

} // namespace kvx
