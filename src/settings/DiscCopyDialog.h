#pragma once

#include <QDialog>

class Application;
class QPushButton;

// The window "Kopírování" (objectName "Form2"): copies the directory database
// from the disc to the hard disk through DiscCopy. Buttons: "button15"
// "&Kopie" starts the copy, "BitBtn1" " &Zpět" (like Esc) closes doing nothing.
class DiscCopyDialog : public QDialog {
    Q_OBJECT
  public:
    explicit DiscCopyDialog(Application& app, QWidget* parent = nullptr);

    // Shows the copy as done: button15 reads " Hotovo" and is disabled. Called
    // at construction and on every show when the program already works with a
    // database on the hard disk, and after a successful copy.
    void markDone();

  signals:
    // The program works with the copy from now on (Application::directoryDbPath
    // names it): the directory database is to be reopened there.
    void databaseCopied(const QString& path);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void copy();

    Application& m_app;
    QPushButton* m_copyButton = nullptr;
};
