#include "core/ui/control.h"

#include <algorithm>

namespace kvx {

QString typeName(ControlKind kind) {
    switch (kind) {
    case ControlKind::Form:
        return QStringLiteral("Form");
    case ControlKind::Label:
        return QStringLiteral("Label");
    case ControlKind::TextBox:
        return QStringLiteral("TextBox");
    case ControlKind::ComboBox:
        return QStringLiteral("ComboBox");
    case ControlKind::CommandButton:
        return QStringLiteral("CommandButton");
    case ControlKind::Frame:
        return QStringLiteral("Frame");
    case ControlKind::HScrollBar:
        return QStringLiteral("HScrollBar");
    case ControlKind::Menu:
        return QStringLiteral("Menu");
    case ControlKind::PictureBox:
        return QStringLiteral("PictureBox");
    case ControlKind::OptionButton:
        return QStringLiteral("OptionButton");
    }
    return {};
}

Control::Control(ControlKind kind, QString name, QString tag, QObject* parent)
    : QObject(parent)
    , m_kind(kind)
    , m_name(std::move(name))
    , m_tag(std::move(tag)) {
    setObjectName(m_name);
}

void Control::fire(const Handler& handler) {
    if (handler)
        handler();
}

void Control::setTag(const QString& tag) {
    m_tag = tag;
}

void Control::setText(const QString& text) {
    if (text == m_text)
        return;
    m_text = text;
    touch();
    fire(onChange);
}

void Control::setEnabled(bool enabled) {
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    touch();
}

void Control::setToolTip(const QString& toolTip) {
    if (toolTip == m_toolTip)
        return;
    m_toolTip = toolTip;
    touch();
}

void Control::setForeColor(Rgb colour) {
    if (colour == m_foreColor)
        return;
    m_foreColor = colour;
    touch();
}

void Control::setBackColor(Rgb colour) {
    if (colour == m_backColor)
        return;
    m_backColor = colour;
    touch();
}

void Control::addItem(const QString& item) {
    m_items.append(item);
    touch();
}

void Control::addItems(const QStringList& items) {
    m_items.append(items);
    touch();
}

void Control::clearItems() {
    m_items.clear();
    m_listIndex = -1;
    touch();
}

void Control::setValue(int value) {
    value = std::clamp(value, m_minimum, m_maximum);
    if (value == m_value)
        return;
    m_value = value;
    touch();
    fire(onChange);
}

void Control::setRange(int minimum, int maximum) {
    m_minimum = minimum;
    m_maximum = maximum;
    touch();
    setValue(m_value);
}

void Control::setSteps(int smallChange, int largeChange) {
    m_smallChange = smallChange;
    m_largeChange = largeChange;
    touch();
}

void Control::setChecked(bool checked) {
    if (checked == m_checked)
        return;
    m_checked = checked;
    touch();
}

void Control::setLeft(double twips) {
    m_left = twips;
    touch();
}

void Control::setTop(double twips) {
    m_top = twips;
    touch();
}

void Control::setSize(double widthTwips, double heightTwips) {
    m_width = widthTwips;
    m_height = heightTwips;
    touch();
}

void Control::userSetText(const QString& text) {
    setText(text);
}

void Control::userPick(int index) {
    if (index < 0 || index >= m_items.size())
        return;
    m_listIndex = index;
    setText(m_items.at(index));
    fire(onClick);
}

void Control::userClick() {
    fire(onClick);
}

void Control::userFocus() {
    fire(onGotFocus);
}

void Control::userSetValue(int value) {
    setValue(value);
}

} // namespace kvx
