#pragma once

#include <array>

class ClickableLabel;
class QLineEdit;
class QPushButton;
class WildcardSwitch;

// A result page's own controls, reached by the page's names for them: the
// search boxes (some with a wildcard switch beside them), the buttons and the
// pictures. The page creates them in the arrays, in the order of its names.
template <typename FieldName, int FieldCount, typename ButtonName, int ButtonCount, typename ImageName,
          int ImageCount>
class NamedControls {
  public:
    using Field = FieldName;
    using Button = ButtonName;
    using Image = ImageName;

    QLineEdit* field(Field which) const { return m_fields[int(which)]; }
    // The wildcard switch beside a box; null for the boxes without one.
    WildcardSwitch* wildcardSwitch(Field which) const { return m_switches[int(which)]; }
    QPushButton* button(Button which) const { return m_buttons[int(which)]; }
    ClickableLabel* image(Image which) const { return m_images[int(which)]; }

  protected:
    std::array<QLineEdit*, FieldCount> m_fields{};
    std::array<WildcardSwitch*, FieldCount> m_switches{};
    std::array<QPushButton*, ButtonCount> m_buttons{};
    std::array<ClickableLabel*, ImageCount> m_images{};
};
