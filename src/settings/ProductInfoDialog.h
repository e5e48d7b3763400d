#pragma once

#include <QDialog>

class Application;
class QLabel;

// The window "O produktu" (objectName "Form3"): the heading "Label1", the
// maker's address and numbers, three links ("LinkInfo" the product page,
// "LinkMail" the e-mail address for orders and comments, "LinkQuestions" the
// questions page) opened through the shell on a click or with Enter or Space
// once Tab reached them, the people who made
// the product, and "BitBtn1" "&Zpět", which closes like Esc.
class ProductInfoDialog : public QDialog {
    Q_OBJECT
  public:
    explicit ProductInfoDialog(Application& app, QWidget* parent = nullptr);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QLabel* addLink(const QString& name, const QString& text, const QString& address);

    Application& m_app;
    QLabel* m_heading = nullptr;
};
