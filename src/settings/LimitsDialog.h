#pragma once

#include "Limits.h"

#include <QDialog>
#include <array>

class Application;
class QLineEdit;
class QPushButton;

// The dialog "Limity a nastavení parametrů" (objectName "Form5"): the six
// limits of Application::limits() in edit fields named as Limits::fieldName()
// ("Maxim_o" … "vyhled_v"), in the group boxes "zobrazené záznamy" and
// "vyhledané záznamy". The limits model holds the values: every change of a
// field goes through its validation, and every change of the model shows in
// the fields.
//
// Buttons: "BitBtn1" "&Uložit" (the default button, so Enter saves) and
// "BitBtn2" "&Zpět". Esc closes keeping whatever the fields hold.
class LimitsDialog : public QDialog {
    Q_OBJECT
  public:
    explicit LimitsDialog(Application& app, QWidget* parent = nullptr);

    QLineEdit* field(Limits::List list, Limits::Kind kind) const;

  signals:
    // "&Uložit" filled the empty fields; the pages' summary labels
    // (Limits::summary) should be rewritten.
    void saved();

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void save();
    void back();
    void showModelText(Limits::List list, Limits::Kind kind);

    Limits& m_limits;
    std::array<QLineEdit*, 6> m_fields{};
    // The displayed-records texts when the dialog was opened, for "&Zpět".
    std::array<QString, 3> m_openedDisplayed;
};
