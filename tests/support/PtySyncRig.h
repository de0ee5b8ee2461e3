#pragma once

// Whole synchronisations between the main window over a real store and the
// scripted device on the other end of a pseudo-terminal pair, in one thread: the
// window's port is polled whenever the device waits or has written a chunk. And
// the check that both sides hold the same events, each once, each linked once.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/db/Connection.h"
#include "platform/serial/TtySerialPort.h"
#include "tests/exchange/peer/DevicePeer.h"
#include "tests/exchange/peer/ScriptedDevice.h"
#include "tests/support/ComDevices.h"
#include "tests/support/LinkRig.h"
#include "tests/support/TempFolder.h"

namespace wendra::test {

class PtySyncRig {
public:
    static DateTime at(int y, int mo, int d, int h = 0, int mi = 0) { return DateTime::ymd(y, mo, d, h, mi, 0); }

    PtySyncRig() {
        EXPECT_TRUE(line.ok()) << "no pseudo-terminal";
        EXPECT_TRUE(line.linkAs(links.path(), 5));
        form = &rig.start(5);
        EXPECT_TRUE(port.isOpen()) << port.lastError().description;
    }

    clsDataQVR& store() { return *form->store(); }

    // A local event saved through the window, as the editor saves it, shaped first
    // (its rules, its dates); its key.
    std::string addLocal(const std::string& description, DateTime start, DateTime changed, bool allDay = false,
                         const std::function<void(clsCalEvent&)>& shape = {}) {
        clsCalEvent ev;
        ev.setDescription(description);
        ev.setEventStart(start);
        ev.setAllDayEvent(allDay);
        ev.setLastModified(changed);
        if (shape) shape(ev);
        EXPECT_EQ(form->doSave(ev, SaveMode::UnlessStoredNewer, false), SaveResult::Saved);
        return ev.WendraWinId();
    }
    // A rule of the event, as the editor adds one.
    static clsCalRRule& addRule(clsCalEvent& ev, int frequency, const char* byDay = "", const char* byMonth = "") {
        clsCalRRule& r = ev.addRRule();
        r.setIsValid(true);
        r.setFrequency(frequency);
        r.setByDay(byDay);
        r.setByMonth(byMonth);
        ev.setIsRecurring(true);
        return r;
    }
    // The local event with this description.
    clsCalEvent local(const std::string& description) {
        auto events = store().syncEvents();
        if (events)
            for (clsCalEvent ev = events->GetFirstEvent(); !events->EndOfEvents(); ev = events->GetNextEvent())
                if (ev.Description() == description) return ev;
        ADD_FAILURE() << "no local event " << description;
        return clsCalEvent();
    }
    // Changes a local event as the editor would, at `changed`.
    template <typename Change>
    void edit(const std::string& description, DateTime changed, Change change) {
        clsCalEvent ev = local(description);
        change(ev);
        ev.setLastModified(changed);
        EXPECT_EQ(form->doSave(ev, SaveMode::UnlessStoredNewer, false), SaveResult::Saved);
    }
    void remove(const std::string& description) {
        edit(description, at(2026, 3, 10, 8), [](clsCalEvent& ev) { ev.setUpdateRequest(clsCalEvent::kRequestDeleteEvent); });
    }

    // One exchange, played to its end; then whatever is still on the line is taken.
    bool sync(peer::ScriptedDevice& device) {
        peer::ExchangePacing pacing;
        pacing.pump = [this] { port.poll(std::chrono::milliseconds(0)); };
        pacing.patience = std::chrono::milliseconds(2000);
        const bool done = peer::playExchange(line, device, pacing);
        settle(device);
        return done;
    }
    void settle(peer::ScriptedDevice& device) {
        for (int quiet = 0; quiet < 5;) {
            quiet = port.poll(std::chrono::milliseconds(2)) == 0 ? quiet + 1 : 0;
            while (const auto reply = line.receiveReply(std::chrono::milliseconds(0))) device.answer(*reply);
        }
    }

    // "description @ start" of every event on each side, sorted; and what is
    // wrong with the links between them (empty when each local event is linked
    // live, once, to a device event of its own text, and each device event to one).
    std::vector<std::string> localEvents() {
        std::vector<std::string> out;
        auto events = store().syncEvents();
        if (events)
            for (clsCalEvent ev = events->GetFirstEvent(); !events->EndOfEvents(); ev = events->GetNextEvent())
                out.push_back(ev.Description() + " @ " + formatICalDateTime(ev.EventStart(), !ev.AllDayEvent()));
        std::sort(out.begin(), out.end());
        return out;
    }
    static std::vector<std::string> deviceEvents(const peer::ScriptedDevice& device) {
        std::vector<std::string> out;
        for (const auto& [id, ev] : device.events) out.push_back(ev.summary() + " @ " + ev.value("DTSTART"));
        std::sort(out.begin(), out.end());
        return out;
    }
    std::vector<std::string> linkProblems(const peer::ScriptedDevice& device) {
        std::string uid = device.programUid();
        const int calendar = store().RegisterXCalendar(uid);
        std::vector<std::string> problems;
        db::Connection raw;
        if (!raw.openFile(rig.dir / db::kDatabaseFileName)) return {"the file cannot be read"};
        const std::string live = " AND (Status = 0 OR isnull(Status))";
        auto events = store().syncEvents();
        if (events)
            for (clsCalEvent ev = events->GetFirstEvent(); !events->EndOfEvents(); ev = events->GetNextEvent()) {
                auto rs = raw.execute("SELECT XID FROM XData WHERE XCalendarID = " + std::to_string(calendar) +
                                      " AND WendraWinID = " + ev.WendraWinId() + live);
                std::vector<std::string> ids;
                for (; rs && !rs->eof(); rs->moveNext()) ids.push_back(nzString(rs->value("XID")));
                if (ids.size() != 1) {
                    problems.push_back(ev.Description() + ": " + std::to_string(ids.size()) + " live links");
                    continue;
                }
                const auto held = device.events.find(ids[0]);
                if (held == device.events.end()) problems.push_back(ev.Description() + ": linked to " + ids[0] + ", which the device lacks");
                else if (held->second.summary() != ev.Description())
                    problems.push_back(ev.Description() + ": linked to " + ids[0] + ", " + held->second.summary());
            }
        for (const auto& [id, ev] : device.events) {
            auto rs = raw.execute("SELECT count(*) AS n FROM XData WHERE XCalendarID = " + std::to_string(calendar) +
                                  " AND XID = '" + id + "'" + live);
            const db::Value n = rs ? rs->value("n") : db::Value{};
            if (nzInt(n, -1) != 1) problems.push_back(id + ": " + std::to_string(nzInt(n, -1)) + " live links");
        }
        return problems;
    }
    // Part way through: not everything may have gone across yet, but nothing is held
    // twice and no link is wrong.
    void expectNothingTwice(const peer::ScriptedDevice& device) {
        for (const auto& side : {localEvents(), deviceEvents(device)})
            EXPECT_EQ(std::adjacent_find(side.begin(), side.end()), side.end()) << "an event held twice";
        std::vector<std::string> wrong = linkProblems(device);
        std::erase_if(wrong, [](const std::string& p) { return p.ends_with(": 0 live links"); });
        EXPECT_EQ(wrong, std::vector<std::string>{});
    }
    void expectInStep(const peer::ScriptedDevice& device) {
        const std::vector<std::string> here = localEvents();
        EXPECT_EQ(here, deviceEvents(device));
        EXPECT_EQ(std::adjacent_find(here.begin(), here.end()), here.end()) << "an event held twice";
        EXPECT_EQ(linkProblems(device), std::vector<std::string>{});
    }

    TempFolder links;
    ComDevices env{links.path()};
    TtySerialPort port;  // the program's own mapping: WENDRA_COM_DEVICES
    peer::DevicePeer line{42};
    LinkRig rig{port};
    frmMain* form = nullptr;
};

}  // namespace wendra::test
