#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

class Application;
class QWidget;

// The program's help: HTML pages in the DATA folder with one anchor
// "context-N" per help context number, opened through the shell; and the page
// of questions and answers.
class Help {
  public:
    // The help contexts of the program's windows and pages.
    enum Context {
        DirectoryContext = 7, // persons and firms pages, export and print windows
        PersonalContext = 10, // personal page, columns
        InformationContext = 91,
        SettingsContext = 12, // disc copy, limits
        ProductContext = 82,
        ContactContext = 11,
        ShortcutsContext = 96,
        NumberContext = 8,
        ImportContext = 137,
    };

    explicit Help(Application& app);

    // The context of a window or page by its objectName ("Form5", "osoby" …);
    // 0 for one without help of its own.
    int contextOf(const QString& objectName) const { return m_contexts.value(objectName, 0); }
    // The objectNames of the windows and pages that have a context of their own.
    static QStringList windowNames();
    // Gives a window or page a context, or changes it.
    void setContext(const QString& objectName, int context) { m_contexts.insert(objectName, context); }
    // The context of the nearest of widget and its ancestors that has one; 0 when none has.
    int contextFor(const QWidget* widget) const;

    QString contentsPath() const;              // program folder + "DATA/napoveda.html"
    QString contextAddress(int context) const; // its file URL with "#context-N"
    QString localQuestionsPath() const;        // program folder + "Dotazy/index.htm"

    // Each returns what the shell answered.
    bool openContents();
    bool openContext(int context);
    // The local questions page when it exists, otherwise the maker's web page.
    bool openQuestions();
    // F1: the context of the focused widget's window or page; the contents
    // when none of them has one.
    bool openForWidget(QWidget* focused);

  private:
    Application& m_app;
    QHash<QString, int> m_contexts;
};
