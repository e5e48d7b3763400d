#pragma once

#include "NamedControls.h"
#include "PersonalCriteria.h"
#include "PersonalLabel.h"
#include "PersonalSearch.h"
#include "ResultPage.h"

#include <memory>
#include <optional>

class Application;
namespace db {
class WorkingDatabase;
}

class AlphabetBar;
class WildcardSwitch;

namespace personal_page {
enum class Field { Surname, FirstName, Firm, Street, HouseNumber, Town, PostalCode, Phone };
enum class Button { Search, Reset, Export, Print, Stop, Previous, Next, Import, Close };
enum class Image { AllRecords, Edit, New, Delete, DeleteMarked, CopyAddress, CopyNumber, CopyAll };
} // namespace personal_page

// The page of the personal contacts: search boxes along the top with the
// record label at their right, the buttons and the record pictures under the
// boxes, the alphabet bar, the contacts grid and the status line. A listing
// (search, letter or all records) and its paging run through PersonalSearch;
// this class moves the widgets around it.
class PersonalPage
    : public ResultPage,
      public NamedControls<personal_page::Field, 8, personal_page::Button, 9, personal_page::Image, 8> {
    Q_OBJECT

  public:
    explicit PersonalPage(QWidget* parent = nullptr);
    ~PersonalPage() override;

    // Connects the page to the program: its listings read the personal
    // database that services give, its copy-number image offers the numbers in
    // picker. Missing hooks of services get the program's own (the shared stop
    // request, the window's event processing, the page's status line).
    void attach(Application& app, PersonalSearch::Services services, NumberPicker* picker);
    // The working database of the listing, once the scratch folder is chosen.
    void setWorkingDatabase(db::WorkingDatabase* results);
    PersonalSearch* search() const { return m_search.get(); }

    // The page's actions, as its buttons, images and shortcuts start them.
    void startSearch() override;
    void listLetter(QChar letter);
    void listAll();
    void nextPage() override;
    void resetPage() override;
    void refreshLabel() override;
    void copyNumber() override;
    void copyAddress() override;
    // "upravit záznam", "přidat záznam", "smazat záznam" and "smazat
    // označené", as the pictures, the grid's menu and its keys start them.
    void editRecord();
    void addRecord();
    void deleteRecord();
    void deleteMarked();
    // Builds the grid's columns anew in the default set.
    void restoreDefaultColumns();
    // The contact editor changed the working table or the page moved under
    // it: the page shows the buttons, counts and label of its present row.
    // boxesEmptied: an addition started a fresh working table.
    void editorChanged(bool boxesEmptied);

    AlphabetBar* alphabetBar() const { return m_alphabet; }

  signals:
    // The contact editor is to open on the current row (a double click on it,
    // the edit picture).
    void editRequested();
    // "přidat záznam": the contact editor adds a record and shows it.
    void addRequested();

  private:
    void buildControls() override;
    void buildLayout() override;
    void adjustNarrowBoxes() override;
    void connectActions();
    void buildContextMenu();
    // Runs a listing or a forward move of the search with the page's steps
    // around it: list gets the steps and gives the search's outcome.
    template <typename List> auto runListing(List list);
    void beginListing();
    void beginFill();
    void showFilled(const PersonalSearch::Paging& paging);
    void showPaging(const PersonalSearch::Paging& paging);
    void updateStatus();
    personal_criteria::Fields readFields() const;
    void writeFields(const personal_criteria::Fields& fields);
    bool sortable() const override;
    desktop_links::Links currentLinks() const override;
    void markToggled() override;

    AlphabetBar* m_alphabet = nullptr;

    std::unique_ptr<PersonalSearch> m_search;
    // The record the label shows.
    std::optional<personal_label::PersonalRecord> m_current;
};
