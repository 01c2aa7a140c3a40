#pragma once

// The language window LangSelect on screen: six option buttons in a frame
// and OK, at the model's positions in twips. OK asks the program to go on;
// closing the window by its frame (or Escape) ends the program.

#include <QDialog>

class QRadioButton;

namespace kvx {
class LangSelect;
}

namespace kvx::app {

class Binder;
class Dispatcher;

class LangSelectView : public QDialog {
    Q_OBJECT
public:
    LangSelectView(LangSelect& model, Dispatcher& dispatcher, QWidget* parent = nullptr);

    Binder& binder() { return *m_binder; }
    QRadioButton* option(int index) const { return m_options.value(index); }

Q_SIGNALS:
    // OK was pressed: the choice is to be stored and the main window loaded.
    void okPressed();
    // The window was closed without OK.
    void closedWithoutChoice();

protected:
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    LangSelect& m_model;
    Binder* m_binder;
    QList<QRadioButton*> m_options;
    bool m_chosen = false;
};

} // namespace kvx::app
