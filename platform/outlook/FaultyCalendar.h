#pragma once

// The test double of the object model: wraps a real one (the calendar file
// over a temporary folder) and makes chosen members fail, so a caller's error
// paths can be driven through the one interface it sees. Members are named
// "Class.Member" ("AppointmentItem.Save", "Items.Restrict",
// "RecurrencePattern.GetOccurrence", "Automation.CreateObject").

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/outlook/ObjectModel.h"

namespace wendra::outlook {

class FaultPlan {
public:
    // The nth call from now on (1 = the next one) raises `error`; nth 0 makes every call raise.
    void failOn(const std::string& member, int nth = 1, std::optional<Error> error = std::nullopt);
    void clear(const std::string& member) { rules_.erase(member); }
    // How many calls a member had.
    int calls(const std::string& member) const;

    // Counts a call and raises when the plan says so.
    void enter(const char* member);

private:
    struct Rule {
        int at = 1;  // the call count at which to fail; 0 every call
        Error error;
    };
    std::map<std::string, int> calls_;
    std::map<std::string, Rule> rules_;
};

std::shared_ptr<Application> withFaults(std::shared_ptr<Application> inner, std::shared_ptr<FaultPlan> plan);

class FaultyAutomation final : public Automation {
public:
    FaultyAutomation(std::shared_ptr<Automation> inner, std::shared_ptr<FaultPlan> plan)
        : inner_(std::move(inner)), plan_(std::move(plan)) {}
    std::shared_ptr<Application> CreateObject(const std::string& progId) override;

private:
    std::shared_ptr<Automation> inner_;
    std::shared_ptr<FaultPlan> plan_;
};

}  // namespace wendra::outlook
