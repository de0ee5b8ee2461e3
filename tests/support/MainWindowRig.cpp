#include "tests/support/MainWindowRig.h"

#include <gtest/gtest.h>

#include "platform/db/Connection.h"
#include "platform/db/Schema.h"
#include "store/clsDataQVR.h"
#include "store/clsSettings.h"
#include "store/modFuncs.h"

namespace wendra::test {

MainWindowRig::MainWindowRig(Setup setup) : clock(setup.now) {
    EXPECT_FALSE(dir.path().empty());
    if (setup.database) makeDatabase();
    if (setup.installed) preset("Main", "Installed", "True");
}

MainWindowRig::~MainWindowRig() { form.reset(); }

std::filesystem::path MainWindowRig::database() const { return folder() / db::kDatabaseFileName; }

void MainWindowRig::makeDatabase() {
    std::string error;
    EXPECT_TRUE(db::createDatabaseFile(database(), &error)) << error;
}

std::string MainWindowRig::store(clsCalEvent ev) {
    clsSettings settings{settingsStore, folder().string() + "/"};
    clsDataQVR data{settings, StoreOptions::mainProgram(folder().string())};
    EXPECT_TRUE(data.OpenData()) << data.lastError();
    ev.setLastModified(clock.now());
    EXPECT_TRUE(data.Save(ev, SaveMode::Always)) << data.lastError();
    return ev.WendraWinId();
}

void MainWindowRig::raw(std::string_view sql) {
    db::Connection connection;
    ASSERT_TRUE(connection.openFile(database()));
    ASSERT_TRUE(connection.execute(sql).has_value()) << connection.lastError();
}

frmMainCollaborators MainWindowRig::collaborators() {
    return frmMainCollaborators{services.value_or(ui.services()),
                                otherSettings != nullptr ? *otherSettings : settingsStore,
                                folder(),
                                otherOutlook != nullptr ? *otherOutlook : outlook,
                                port,
                                sound,
                                claimSingleInstance,
                                offerGadgetInstall};
}

frmMain& MainWindowRig::start(bool expectRunning) {
    form.reset();
    form = std::make_unique<frmMain>(collaborators());
    form->show();
    if (expectRunning) {
        EXPECT_EQ(form->startup(), frmMain::Startup::Running);
    }
    settingsStore.windowSettingsSaves = 0;
    return *form;
}

void MainWindowRig::close() {
    if (form) form->requestClose();
    form.reset();
}

std::vector<int> MainWindowRig::rowsOf(std::string_view desc) const {
    std::vector<int> rows;
    for (int r = form->msGrid.fixedRows(); r < form->msGrid.rows(); ++r)
        if (gridKeyValue(form->msGrid.textMatrix(r, grdKey), Tag::Desc) == desc) rows.push_back(r);
    return rows;
}

int MainWindowRig::rowOf(std::string_view desc, int nth) const {
    const std::vector<int> rows = rowsOf(desc);
    return nth >= 0 && static_cast<std::size_t>(nth) < rows.size() ? rows[static_cast<std::size_t>(nth)] : -1;
}

std::vector<std::string> MainWindowRig::gridTexts() const {
    std::vector<std::string> rows;
    for (int r = 0; r < form->msGrid.rows(); ++r) {
        std::string line;
        for (int c = 0; c < kListColumns; ++c) line += form->msGrid.textMatrix(r, c) + "|";
        rows.push_back(line);
    }
    return rows;
}

std::optional<clsCalEvent> MainWindowRig::stored(const std::string& id) {
    clsCalEvent ev;
    if (!form->store()->Find(ev, clsDataQVR::kLocalCalendarId, id)) return std::nullopt;
    return ev;
}

std::vector<std::string> MainWindowRig::messages() const {
    std::vector<std::string> texts;
    for (const auto& m : ui.messages.calls()) texts.push_back(m.text);
    return texts;
}

int MainWindowRig::counter() const { return form->settings()->getUpdateVersion(); }

}  // namespace wendra::test
