#include "editor/frmDeleteMult.h"

#include "platform/clock/Clock.h"
#include "store/modFuncs.h"

namespace wendra {

frmDeleteMult::frmDeleteMult(ui::Services services, const clsSettings& settings)
    : HideDeleteForm(kFormName, services, settings, 7, 9, 1860) {
    placeOwnControls();
    for (ui::Control* c : std::initializer_list<ui::Control*>{&lblChosenDate[0], &lblChosenDate[1], &lblDelete})
        c->onMouseMove = [this] { offButtons(); };
    // Another choice asks afresh what to recommend, with the override cleared.
    optDelete.onClick = [this](int) {
        chkChange.setChecked(false);
        setRecommendedMode();
    };
}

void frmDeleteMult::placeOwnControls() {
    lblChosenDate[0].setGeometry({120, 1060, 1550, 255});
    lblChosenDate[1].setGeometry({1750, 1060, 3850, 255});
    lblDelete.setGeometry({120, 1420, 1550, 255});
    optDelete[0].setGeometry({1750, 1400, 1900, 285});
    optDelete[1].setGeometry({3750, 1400, 1850, 285});
}

void frmDeleteMult::loadDetails() {
    lblDelete.setCaption("Hide / Delete ?");
    lblChosenDate[1].setCaption(formatLongDate(chosenDate_, !allDayOccur_, false));
    const clsCalRRule* rule = event().RRule(1);
    lblOccurs.setCaption(rule != nullptr ? frequencyText(rule->Frequency(), rule->isMonthEnd(), rule->Interval())
                                         : frequencyText(clsCalRRule::kNone, false, 1));
    // The narrower choice first; choosing it also applies the recommendation,
    // so the action is sound even before the dialog is first activated.
    optDelete.select(0);
}

void frmDeleteMult::formActivate() {
    if (isLoaded() && optDelete.selected() >= 0) setRecommendedMode();
}

DateTime frmDeleteMult::judgedDate() const {
    if (chosenDateOnly()) return chosenDate_;
    // The end of the series. A counted rule's end is worked out on a copy, so the
    // event's rule is untouched when the dialog is cancelled.
    DateTime end;
    if (const clsCalRRule* rule = event().RRule(1)) {
        clsCalRRule copy = *rule;
        end = event().calcDurationUntil(copy);
    }
    if (end.isNull()) end = now().addYears(1);
    return end;
}

void frmDeleteMult::deleteEvent() { event().MarkDelete(!chosenDateOnly(), chosenDate_, allDayOccur_); }

void frmDeleteMult::hideEvent() {
    if (chosenDateOnly()) {
        event().setUpdateRequest(clsCalEvent::kRequestHideOccurrence);
        event().AddHidden(chosenDate_, allDayOccur_);
    } else {
        event().setUpdateRequest(clsCalEvent::kRequestHideEvent);
    }
    event().setLastModified(now());
}

void frmDeleteMult::standaloneCaptions() { lblDelete.setCaption("Delete"); }

}  // namespace wendra
