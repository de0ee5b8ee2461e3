#pragma once

#include <functional>
#include <string>

#include "editor/CancelFlag.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"
#include "platform/ui/Services.h"
#include "store/clsCalEvent.h"
#include "store/clsSettings.h"

namespace wendra {

// What the two "Hide / Delete" dialogs share: the event's details, the
// recommendation of hiding or deleting from the date involved, the check box
// that overrides it, "More Info", and the action button that marks the event.
//
// The dialogs change the event in memory only and report the result to their
// caller (its FlagCancel); the caller saves the event. frmDeleteSingle serves a
// one-off event, frmDeleteMult (frmDeleteMult.h) a repeating one.
class HideDeleteForm : public ui::Form {
public:
    // The event to hide or delete; it must outlive the showing. Until one is set
    // the dialog closes again at once, as cancelled.
    void setCalEvent(clsCalEvent& event) { event_ = &event; }
    // Whoever opened the dialog: it learns the result through its FlagCancel.
    void setCaller(CancelFlagOwner& caller) { caller_ = &caller; }
    // True unless the last showing ended with the action (the close box is a cancel).
    bool cancelled() const { return cancelled_; }

    // The recommendation as it stands: delete when the date involved is still to
    // come, hide when it has passed.
    bool recommendsDelete() const { return recommendDelete_; }
    // What the action button does now: the recommendation, switched when the
    // override box is ticked (in standalone mode it cannot be).
    bool deletes() const;

    // The help topic of the dialog, and the request to show it ("More Info", F1).
    int HelpContextID() const;
    void showHelp();
    std::function<void(int topic)> onHelp;

    ui::Label Label2{"Label2", "Desc:"};
    ui::Label lblDesc{"lblDesc"};
    ui::Label Label3{"Label3", "Starts:"};
    ui::Label lblDate{"lblDate"};
    ui::Label Label4{"Label4", "Occurs:"};
    ui::Label lblOccurs{"lblOccurs", "Once"};
    ui::Label Label1{"Label1", "Recommended :"};
    // Shows the recommended mode: "imgDelete" or "imgHide".
    ui::Picture imgRecommend{"imgRecommend"};
    ui::Frame frameWarning{"frameWarning", "Overide recommended delete mode ?"};
    ui::Label Label6{"Label6", "Override recommended mode ?"};
    ui::Label Label5{"Label5", "Change to:"};
    // Its caption names the mode the user may switch to.
    ui::CheckBox chkChange{"chkChange", "Hide"};
    ui::CommandButton cmdMoreInfo{"cmdMoreInfo", "&More Info"};
    ui::Frame frameButtons{"frameButtons"};
    ui::CommandButton cmdHide{"cmdHide", "&Delete"};
    ui::CommandButton cmdCancel{"cmdCancel", "&Cancel"};

protected:
    // recommendTop: where the "Recommended :" row stands; the buttons and the
    // override frame follow below it.
    HideDeleteForm(std::string name, ui::Services services, const clsSettings& settings, int helpStandalone,
                   int helpShared, int recommendTop);

    void formLoad() override;
    void formMouseMove() override;

    // The dialog's own part of the load, after the shared labels.
    virtual void loadDetails() = 0;
    // The date the recommendation judges.
    virtual DateTime judgedDate() const = 0;
    virtual void deleteEvent() = 0;
    virtual void hideEvent() = 0;
    // Standalone mode's captions beyond the dialog's own.
    virtual void standaloneCaptions() {}

    void setRecommendedMode();
    clsCalEvent& event() const { return *event_; }
    bool standalone() const { return settings_.ModeWendraWin(); }
    // The pointer moved over a part of the dialog that is no button.
    void offButtons() { highlight(nullptr); }

private:
    void designLayout();
    void act();
    void cancel();
    void report(bool cancelled);
    void highlight(const ui::CommandButton* on);

    ui::Services services_;
    const clsSettings& settings_;
    int helpStandalone_;
    int helpShared_;
    int recommendTop_;
    int designHeight_ = 0;
    clsCalEvent* event_ = nullptr;
    CancelFlagOwner* caller_ = nullptr;
    bool cancelled_ = true;
    bool recommendDelete_ = true;
};

// Hides or deletes a one-off event: UpdateRequest 1 deletes it, 3 hides it.
class frmDeleteSingle final : public HideDeleteForm {
public:
    static constexpr const char* kFormName = "frmDeleteSingle";
    frmDeleteSingle(ui::Services services, const clsSettings& settings);

protected:
    void loadDetails() override;
    DateTime judgedDate() const override;
    void deleteEvent() override;
    void hideEvent() override;
};

}  // namespace wendra
