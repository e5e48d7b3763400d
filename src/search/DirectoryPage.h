#pragma once

#include "DirectoryPageDescription.h"
#include "DirectorySearch.h"
#include "NamedControls.h"
#include "ResultPage.h"

#include <memory>
#include <optional>

class Application;
namespace db {
class WorkingDatabase;
}

class QComboBox;
class QLabel;
class WildcardSwitch;

namespace directory_page {
enum class Field { Name, SecondName, Street, HouseNumber, Town, PostalCode, Phone };
enum class Button { Search, Reset, Export, Print, Stop, Previous, Next, Close };
enum class Image { CopyAll, CopyNumber, CopyAddress, Transfer };
} // namespace directory_page

// The persons page and the firms page of the directory search: search boxes
// along the top with the record label at their right, the buttons under the
// boxes, the result grid filling the rest and the status line at the foot.
// Which of the two pages it is depends only on the DirectoryPageDescription.
class DirectoryPage
    : public ResultPage,
      public NamedControls<directory_page::Field, 7, directory_page::Button, 8, directory_page::Image, 4> {
    Q_OBJECT

  public:
    // The found and marked counts as the status line shows them.
    static QString countsText(int found, int marked);

    explicit DirectoryPage(const DirectoryPageDescription& description, QWidget* parent = nullptr);
    ~DirectoryPage() override;

    // Connects the page to the program: its searches run on the directory
    // connection that services give, its copy-number image offers the numbers
    // in picker.
    void attach(Application& app, DirectorySearch::Services services, NumberPicker* picker);
    // The working database of the results and the phone buffer, once they exist.
    void setWorkingDatabases(db::WorkingDatabase* results, db::WorkingDatabase* phoneBuffer);
    DirectorySearch* search() const { return m_search.get(); }

    // The page's actions, as its buttons, images and shortcuts start them.
    void startSearch() override;
    void countMatches();
    void nextPage() override;
    void resetPage() override;
    void refreshLabel() override;
    void copyNumber() override;
    void copyAddress() override;
    // The grid's column set: the compact one, or every column again at the
    // full set's widths; each call switches to the other.
    void switchColumnSet();
    bool showsCompactColumns() const { return m_compactColumns; }

    const DirectoryPageDescription& description() const { return m_page; }

    QComboBox* regionBox() const { return m_region; }
    QLabel* endIndicator() const { return m_endIndicator; }

  signals:
    // The current record, or the marked ones, are to go into the personal contacts.
    void transferRequested();
    void transferMarkedRequested();
    // The pointer entered or left the result grid.
    void pointerOverGrid(bool over);

  private:
    void buildControls() override;
    void buildLayout() override;
    void adjustNarrowBoxes() override;
    void leavingPage() override;
    desktop_links::Links currentLinks() const override;
    void connectActions();
    void showEndState(DirectorySearch::EndState state);
    void updateStatus();
    search_criteria::SearchFields readFields() const;
    void writeFields(const search_criteria::SearchFields& fields);
    bool runSearch(bool countOnly);

    DirectoryPageDescription m_page;
    QComboBox* m_region = nullptr;
    QLabel* m_endIndicator = nullptr;

    std::unique_ptr<DirectorySearch> m_search;
    bool m_compactColumns = false;
    // The record the label shows and its additional numbers.
    std::optional<record_label::LabelRecord> m_current;
    QList<record_label::ExtraNumber> m_extras;
};
