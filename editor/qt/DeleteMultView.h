#pragma once

#include <memory>
#include <vector>

#include "editor/frmDeleteMult.h"
#include "editor/qt/DeleteSingleView.h"

class QRadioButton;

namespace wendra {

// The window of frmDeleteMult: the shared window with the chosen occurrence and
// the choice between it and every occurrence.
class DeleteMultView final : public HideDeleteView {
public:
    DeleteMultView(frmDeleteMult& form, QWidget* parent = nullptr);
    ~DeleteMultView() override;

    QLabel* lblChosenDate() const { return lblChosenDate_; }
    QRadioButton* optDelete(int index) const { return options_.at(static_cast<std::size_t>(index)); }

private:
    QLabel* lblChosenDate_;
    std::vector<QRadioButton*> options_;
    std::unique_ptr<ui::qt::OptionGroupBinder> optionBinder_;
};

// Makes the runner show frmDeleteMult in its view.
void registerDeleteMultView(ui::qt::QtDialogRunner& runner);

}  // namespace wendra
