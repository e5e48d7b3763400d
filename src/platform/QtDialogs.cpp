#include "ScriptedDialogs.h"
#include "ToolWindow.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QIdentityProxyModel>
#include <QInputDialog>
#include <QLocale>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QRegularExpression>

namespace platform {

namespace {

QMessageBox::Icon qtIcon(Dialogs::Icon icon) {
    switch (icon) {
    case Dialogs::Icon::None:
        return QMessageBox::NoIcon;
    case Dialogs::Icon::Information:
        return QMessageBox::Information;
    case Dialogs::Icon::Question:
        return QMessageBox::Question;
    case Dialogs::Icon::Warning:
        return QMessageBox::Warning;
    case Dialogs::Icon::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

// Qt's file model writes the sizes and the times of the files in the
// system's locale; the dialogs show them in the program's, as the rest of the
// dialog's texts.
class ProgramLocaleColumns : public QIdentityProxyModel {
  public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        // The columns of QFileSystemModel.
        constexpr int kSizeColumn = 1, kTimeColumn = 3;
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files) return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        if (index.column() == kTimeColumn)
            return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
        if (index.column() == kSizeColumn && !files->isDir(source))
            return QLocale().formattedDataSize(files->size(source));
        return QIdentityProxyModel::data(index, role);
    }
};

std::optional<Dialogs::FileResult> runFileDialog(QWidget* owner, const Dialogs::FileOptions& options,
                                                 bool save) {
    QFileDialog dialog(owner, options.title, options.folder);
    dialog.setProxyModel(new ProgramLocaleColumns(&dialog));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = QtDialogs::nameFilters(options.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        if (options.filterIndex >= 1 && options.filterIndex <= filters.size())
            dialog.selectNameFilter(filters[options.filterIndex - 1]);
    }
    QString suffix = options.defaultExtension;
    while (suffix.startsWith(u'.'))
        suffix.remove(0, 1);
    if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.confirmOverwrite);
    if (!options.fileName.isEmpty()) dialog.selectFile(options.fileName);

    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty()) return std::nullopt;
    Dialogs::FileResult result;
    result.path = files.first();
    const auto selected = filters.indexOf(dialog.selectedNameFilter());
    result.filterIndex = selected >= 0 ? int(selected) + 1 : 1;
    return result;
}

} // namespace

QStringList QtDialogs::nameFilters(const QString& filter) {
    QStringList result;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(u';', Qt::SkipEmptyParts))
            if (!p.trimmed().isEmpty()) patterns << p.trimmed();
        if (patterns.isEmpty()) continue;
        const QString joined = patterns.join(u' ');
        const QString description = parts[i].trimmed();
        // Qt reads the patterns from the parentheses at the end, so a description
        // that already ends with them needs no second pair.
        if (description.isEmpty())
            result << joined;
        else if (description.endsWith(u'(' + joined + u')'))
            result << description;
        else
            result << description + QStringLiteral(" (") + joined + u')';
    }
    return result;
}

QString QtDialogs::shownText(const QString& text) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n\r|\r"));
    return QString(text).replace(lineBreak, QStringLiteral("\n"));
}

Dialogs::Answer QtDialogs::message(QWidget* owner, const QString& caption, const QString& text, Icon icon,
                                   Buttons buttons) {
    QMessageBox box(owner);
    box.setWindowTitle(caption);
    box.setTextFormat(Qt::PlainText);
    box.setText(shownText(text));
    box.setIcon(qtIcon(icon));
    // A short message makes a narrow box: it is kept wide enough to show its
    // caption whole in the title bar.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const QMargins margins = grid->contentsMargins();
        const int room = captionRoom(caption) - margins.left() - margins.right();
        grid->addItem(new QSpacerItem(room, 0, QSizePolicy::Fixed, QSizePolicy::Fixed), grid->rowCount(), 0,
                      1, grid->columnCount());
    }

    struct Choice {
        QAbstractButton* button;
        Answer answer;
    };
    QList<Choice> choices;
    const auto add = [&](QMessageBox::StandardButton standard, const QString& label, Answer answer) {
        QPushButton* button = box.addButton(standard);
        button->setText(label);
        choices.append({button, answer});
        return button;
    };
    switch (buttons) {
    case Buttons::Ok:
        box.setDefaultButton(add(QMessageBox::Ok, QStringLiteral("OK"), Answer::Ok));
        box.setEscapeButton(choices.first().button);
        break;
    case Buttons::OkCancel:
        box.setDefaultButton(add(QMessageBox::Ok, QStringLiteral("OK"), Answer::Ok));
        box.setEscapeButton(add(QMessageBox::Cancel, QStringLiteral("Storno"), Answer::Cancel));
        break;
    case Buttons::YesNo:
        box.setDefaultButton(add(QMessageBox::Yes, QStringLiteral("Ano"), Answer::Yes));
        box.setEscapeButton(add(QMessageBox::No, QStringLiteral("Ne"), Answer::No));
        break;
    }

    box.exec();
    const QAbstractButton* clicked = box.clickedButton();
    for (const Choice& c : choices)
        if (c.button == clicked) return c.answer;
    // Closed without a button: the escape button's answer.
    return choices.last().answer;
}

QString QtDialogs::selectFolder(QWidget* owner, const QString& title) {
    QFileDialog dialog(owner, title);
    dialog.setProxyModel(new ProgramLocaleColumns(&dialog));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles().value(0);
}

std::optional<Dialogs::FileResult> QtDialogs::openFile(QWidget* owner, const FileOptions& options) {
    return runFileDialog(owner, options, false);
}

std::optional<Dialogs::FileResult> QtDialogs::saveFile(QWidget* owner, const FileOptions& options) {
    return runFileDialog(owner, options, true);
}

bool QtDialogs::print(QWidget* owner, QPrinter& printer) {
    QPrintDialog dialog(&printer, owner);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<QString> QtDialogs::input(QWidget* owner, const QString& caption, const QString& prompt,
                                        const QString& text) {
    QInputDialog dialog(owner);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(text);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Storno"));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue();
}

} // namespace platform
