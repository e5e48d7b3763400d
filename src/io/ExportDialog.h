#pragma once

#include "AddressChoiceGroup.h"
#include "Export.h"

#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The export format window of the persons and firms pages (Form7): the four
// output formats, the column width typed into the fixed-width option's
// caption, and "&Export". It is created once and kept, so its choices stay as
// the user left them for the whole run. Enter presses "&Export", Escape
// closes; only "&Export" accepts.
class ExportDialog : public QDialog {
    Q_OBJECT

  public:
    explicit ExportDialog(QWidget* parent = nullptr);

    io::ExportFormat format() const;
    void setFormat(io::ExportFormat format);
    // The column width exactly as typed.
    QString width() const;
    // The address the personal export takes; the record's own default in the
    // persons and firms window, which has no choice.
    io::AddressChoice address() const;

    QGroupBox* formatGroup() const { return m_formatGroup; }
    QRadioButton* formatOption(io::ExportFormat format) const;
    QLineEdit* widthField() const { return m_width; }
    QPushButton* exportButton() const { return m_export; }
    // The address choice; null in the persons and firms window.
    io::AddressChoiceGroup* addressGroup() const { return m_address; }

  protected:
    // The personal export window (Form11) adds the address choice.
    enum class Kind { Directory, Personal };
    ExportDialog(Kind kind, QWidget* parent);

    void showEvent(QShowEvent* event) override;

  private:
    void placeWidthField();

    QGroupBox* m_formatGroup = nullptr;
    QButtonGroup* m_formats = nullptr;
    QLineEdit* m_width = nullptr;
    QPushButton* m_export = nullptr;
    io::AddressChoiceGroup* m_address = nullptr;
};
