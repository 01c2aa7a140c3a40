#pragma once

// The About and Working windows of the Help menu: modal dialogs built from
// their models after the models' load, placed where the model centred them.

#include <QDialog>

namespace kvx {
class Control;
class FrmAbout;
class FrmWorking;
class Kvx1;
} // namespace kvx

namespace kvx::app {

class Binder;
class Dispatcher;

class AboutView : public QDialog {
    Q_OBJECT
public:
    AboutView(FrmAbout& model, Dispatcher& dispatcher, QWidget* parent = nullptr);

private:
    Binder* m_binder;
};

class WorkingView : public QDialog {
    Q_OBJECT
public:
    WorkingView(FrmWorking& model, Dispatcher& dispatcher, QWidget* parent = nullptr);

private:
    Binder* m_binder;
};

// Sizes a dialog to its model's outer size in twips (larger when its content
// needs more) and places it where the model's position puts its centre.
void placeLikeModel(QDialog& dialog, const Control& form);

// Loads the model, shows its window modal and returns when it is closed.
void showAboutWindow(Kvx1& kvx, Dispatcher& dispatcher, QWidget* parent);
void showWorkingWindow(Kvx1& kvx, Dispatcher& dispatcher, QWidget* parent);

} // namespace kvx::app
