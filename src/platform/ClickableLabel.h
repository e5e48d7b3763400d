#pragma once

#include <QLabel>

// A label that reports a click of the left mouse button, for the images and
// status parts that act like buttons.
//
// Made a control (makeControl), it is also reached with Tab (a click does
// not take the focus from where the user works), shows a focus frame, is set
// off by Space or Enter as by a click, and assistive technology presents it
// in its role with its name: a push button, a link, or a check box or radio
// button with its checked state. Otherwise it presents itself as the text or
// picture it shows.
class ClickableLabel : public QLabel {
    Q_OBJECT

  public:
    enum class Role { Text, Button, CheckBox, RadioButton, Link };

    explicit ClickableLabel(QWidget* parent = nullptr);

    void makeControl(Role role, const QString& accessibleName);
    Role role() const { return m_role; }
    // The state a check box or radio button reports.
    virtual bool isChecked() const { return m_checked; }
    void setChecked(bool checked);
    // What a click does.
    void click() { emit clicked(); }

  signals:
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // Where the focus frame is drawn.
    virtual QRect focusFrame() const { return rect(); }
    // Tells assistive technology that the checked state changed.
    void announceChecked();

  private:
    bool m_pressed = false;
    Role m_role = Role::Text;
    bool m_checked = false;
};
