#pragma once

#include <array>

#include "editor/frmDeleteSingle.h"

namespace wendra {

// Hides or deletes a repeating event: the occurrence the user had chosen, or
// every occurrence. The opener hands it the chosen occurrence as the list row
// holds it (its exact date-time, seconds included) and whether it is all-day.
//
// Deleting marks the event (MarkDelete: request 2 for the occurrence, 1 for the
// event); hiding sets request 4 and adds the occurrence to the hidden list, or
// request 3 for the whole event.
class frmDeleteMult final : public HideDeleteForm {
public:
    static constexpr const char* kFormName = "frmDeleteMult";
    frmDeleteMult(ui::Services services, const clsSettings& settings);

    void setChosenDate(DateTime occurrence) { chosenDate_ = occurrence; }
    void setAllDayOccur(bool allDay) { allDayOccur_ = allDay; }
    DateTime ChosenDate() const { return chosenDate_; }
    bool AllDayOccur() const { return allDayOccur_; }

    // "Chosen date only" is chosen (the other choice is every occurrence).
    bool chosenDateOnly() const { return optDelete.selected() == 0; }

    // [0] the caption, [1] the chosen occurrence.
    std::array<ui::Label, 2> lblChosenDate{ui::Label{"lblChosenDate(0)", "Chosen date:"},
                                           ui::Label{"lblChosenDate(1)"}};
    ui::OptionGroup optDelete{"optDelete", {"Chosen date only", "all occurrences"}};
    ui::Label lblDelete{"lblDelete", "Hide / Delete ?"};

protected:
    void formActivate() override;
    void loadDetails() override;
    DateTime judgedDate() const override;
    void deleteEvent() override;
    void hideEvent() override;
    void standaloneCaptions() override;

private:
    void placeOwnControls();

    DateTime chosenDate_;
    bool allDayOccur_ = false;
};

}  // namespace wendra
