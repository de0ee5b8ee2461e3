#include "platform/outlook/FaultyCalendar.h"

#include "platform/outlook/Errors.h"

namespace wendra::outlook {

namespace {

using Plan = std::shared_ptr<FaultPlan>;

// Every object keeps its inner one and the plan; each member enters the plan
// under its name before it calls through.
template <class Interface>
class Faulty : public Interface {
protected:
    Faulty(std::shared_ptr<Interface> inner, Plan plan) : in(std::move(inner)), plan(std::move(plan)) {}
    template <class F>
    decltype(auto) call(const char* member, F&& f) {
        plan->enter(member);
        return f(*in);
    }
    std::shared_ptr<Interface> in;
    Plan plan;
};

template <class Wrapper, class Interface>
std::shared_ptr<Interface> wrap(std::shared_ptr<Interface> inner, const Plan& plan) {
    if (!inner) return nullptr;
    return std::make_shared<Wrapper>(std::move(inner), plan);
}

class FUserProperty final : public Faulty<UserProperty> {
public:
    FUserProperty(std::shared_ptr<UserProperty> i, Plan p) : Faulty(std::move(i), std::move(p)) {}
    std::string Name() override { return call("UserProperty.Name", [](auto& o) { return o.Name(); }); }
    int Type() override { return call("UserProperty.Type", [](auto& o) { return o.Type(); }); }
    PropertyValue Value() override { return call("UserProperty.Value", [](auto& o) { return o.Value(); }); }
    void setValue(const PropertyValue& v) override { call("UserProperty.setValue", [&](auto& o) { o.setValue(v); }); }
};

class FUserProperties final : public Faulty<UserProperties> {
public:
    FUserProperties(std::shared_ptr<UserProperties> i, Plan p) : Faulty(std::move(i), std::move(p)) {}
    int Count() override { return call("UserProperties.Count", [](auto& o) { return o.Count(); }); }
    std::shared_ptr<UserProperty> Item(int i) override {
        return wrap<FUserProperty>(call("UserProperties.Item", [&](auto& o) { return o.Item(i); }), plan);
    }
    std::shared_ptr<UserProperty> Find(const std::string& n) override {
        return wrap<FUserProperty>(call("UserProperties.Find", [&](auto& o) { return o.Find(n); }), plan);
    }
    std::shared_ptr<UserProperty> Add(const std::string& n, int t) override {
        return wrap<FUserProperty>(call("UserProperties.Add", [&](auto& o) { return o.Add(n, t); }), plan);
    }
};

std::shared_ptr<AppointmentItem> wrapItem(std::shared_ptr<AppointmentItem> inner, const Plan& plan);

class FException final : public Faulty<Exception> {
public:
    FException(std::shared_ptr<Exception> i, Plan p) : Faulty(std::move(i), std::move(p)) {}
    bool Deleted() override { return call("Exception.Deleted", [](auto& o) { return o.Deleted(); }); }
    DateTime OriginalDate() override { return call("Exception.OriginalDate", [](auto& o) { return o.OriginalDate(); }); }
    std::shared_ptr<outlook::AppointmentItem> AppointmentItem() override {
        return wrapItem(call("Exception.AppointmentItem", [](auto& o) { return o.AppointmentItem(); }), plan);
    }
};

class FExceptions final : public Faulty<Exceptions> {
public:
    FExceptions(std::shared_ptr<Exceptions> i, Plan p) : Faulty(std::move(i), std::move(p)) {}
    int Count() override { return call("Exceptions.Count", [](auto& o) { return o.Count(); }); }
    std::shared_ptr<Exception> Item(int i) override {
        return wrap<FException>(call("Exceptions.Item", [&](auto& o) { return o.Item(i); }), plan);
    }
};

#define WENDRA_FAULTY_PROPERTY(Class, Type, Name)                                                  \
    Type Name() override { return call(#Class "." #Name, [](auto& o) { return o.Name(); }); }      \
    void set##Name(Type v) override {                                                              \
        call(#Class ".set" #Name, [&](auto& o) { o.set##Name(v); });                                \
    }

class FPattern final : public Faulty<RecurrencePattern> {
public:
    FPattern(std::shared_ptr<RecurrencePattern> i, Plan p) : Faulty(std::move(i), std::move(p)) {}
    WENDRA_FAULTY_PROPERTY(RecurrencePattern, int, RecurrenceType)
    WENDRA_FAULTY_PROPERTY(RecurrencePattern, int, Interval)
    WENDRA_FAULTY_PROPERTY(RecurrencePattern, int, DayOfWeekMask)
    WENDRA_FAULTY_PROPERTY(RecurrencePattern, int, Instance)
    WENDRA_FAULTY_PROPERTY(RecurrencePattern, int, DayOfMonth)
    WENDRA_FAULTY_PROPERTY(RecurrencePattern, int, MonthOfYear)
    WENDRA_FAULTY_PROPERTY(RecurrencePattern, DateTime, PatternStartDate)
    WENDRA_FAULTY_PROPERTY(RecurrencePattern, DateTime, PatternEndDate)
    WENDRA_FAULTY_PROPERTY(RecurrencePattern, bool, NoEndDate)
    WENDRA_FAULTY_PROPERTY(RecurrencePattern, int, Occurrences)
    WENDRA_FAULTY_PROPERTY(RecurrencePattern, DateTime, StartTime)
    WENDRA_FAULTY_PROPERTY(RecurrencePattern, DateTime, EndTime)
    WENDRA_FAULTY_PROPERTY(RecurrencePattern, long, Duration)
    std::shared_ptr<outlook::Exceptions> Exceptions() override {
        return wrap<FExceptions>(call("RecurrencePattern.Exceptions", [](auto& o) { return o.Exceptions(); }), plan);
    }
    std::shared_ptr<AppointmentItem> GetOccurrence(DateTime d) override {
        return wrapItem(call("RecurrencePattern.GetOccurrence", [&](auto& o) { return o.GetOccurrence(d); }), plan);
    }
};

class FItem final : public Faulty<AppointmentItem> {
public:
    FItem(std::shared_ptr<AppointmentItem> i, Plan p) : Faulty(std::move(i), std::move(p)) {}
    std::string EntryID() override { return call("AppointmentItem.EntryID", [](auto& o) { return o.EntryID(); }); }
    std::string Subject() override { return call("AppointmentItem.Subject", [](auto& o) { return o.Subject(); }); }
    void setSubject(const std::string& s) override { call("AppointmentItem.setSubject", [&](auto& o) { o.setSubject(s); }); }
    WENDRA_FAULTY_PROPERTY(AppointmentItem, DateTime, Start)
    WENDRA_FAULTY_PROPERTY(AppointmentItem, bool, AllDayEvent)
    WENDRA_FAULTY_PROPERTY(AppointmentItem, long, Duration)
    WENDRA_FAULTY_PROPERTY(AppointmentItem, bool, ReminderSet)
    DateTime LastModificationTime() override {
        return call("AppointmentItem.LastModificationTime", [](auto& o) { return o.LastModificationTime(); });
    }
    DateTime CreationTime() override { return call("AppointmentItem.CreationTime", [](auto& o) { return o.CreationTime(); }); }
    bool IsRecurring() override { return call("AppointmentItem.IsRecurring", [](auto& o) { return o.IsRecurring(); }); }
    int RecurrenceState() override {
        return call("AppointmentItem.RecurrenceState", [](auto& o) { return o.RecurrenceState(); });
    }
    std::shared_ptr<RecurrencePattern> GetRecurrencePattern() override {
        return wrap<FPattern>(call("AppointmentItem.GetRecurrencePattern", [](auto& o) { return o.GetRecurrencePattern(); }),
                              plan);
    }
    void ClearRecurrencePattern() override {
        call("AppointmentItem.ClearRecurrencePattern", [](auto& o) { o.ClearRecurrencePattern(); });
    }
    std::shared_ptr<outlook::UserProperties> UserProperties() override {
        return wrap<FUserProperties>(call("AppointmentItem.UserProperties", [](auto& o) { return o.UserProperties(); }),
                                     plan);
    }
    void Save() override { call("AppointmentItem.Save", [](auto& o) { o.Save(); }); }
    void Delete() override { call("AppointmentItem.Delete", [](auto& o) { o.Delete(); }); }
    void Display(bool modal) override { call("AppointmentItem.Display", [&](auto& o) { o.Display(modal); }); }
    std::function<void()> keepChanges() override { return in->keepChanges(); }
};

#undef WENDRA_FAULTY_PROPERTY

std::shared_ptr<AppointmentItem> wrapItem(std::shared_ptr<AppointmentItem> inner, const Plan& plan) {
    return wrap<FItem>(std::move(inner), plan);
}

class FItems final : public Faulty<Items> {
public:
    FItems(std::shared_ptr<Items> i, Plan p) : Faulty(std::move(i), std::move(p)) {}
    int Count() override { return call("Items.Count", [](auto& o) { return o.Count(); }); }
    std::shared_ptr<AppointmentItem> Item(int i) override {
        return wrapItem(call("Items.Item", [&](auto& o) { return o.Item(i); }), plan);
    }
    std::shared_ptr<AppointmentItem> GetFirst() override {
        return wrapItem(call("Items.GetFirst", [](auto& o) { return o.GetFirst(); }), plan);
    }
    std::shared_ptr<AppointmentItem> GetNext() override {
        return wrapItem(call("Items.GetNext", [](auto& o) { return o.GetNext(); }), plan);
    }
    std::shared_ptr<AppointmentItem> Add() override { return wrapItem(call("Items.Add", [](auto& o) { return o.Add(); }), plan); }
    std::shared_ptr<Items> Restrict(const std::string& f) override {
        return wrap<FItems>(call("Items.Restrict", [&](auto& o) { return o.Restrict(f); }), plan);
    }
    void Sort(const std::string& p, bool d) override { call("Items.Sort", [&](auto& o) { o.Sort(p, d); }); }
    bool IncludeRecurrences() override { return call("Items.IncludeRecurrences", [](auto& o) { return o.IncludeRecurrences(); }); }
    void setIncludeRecurrences(bool v) override {
        call("Items.setIncludeRecurrences", [&](auto& o) { o.setIncludeRecurrences(v); });
    }
};

class FFolder final : public Faulty<MAPIFolder> {
public:
    FFolder(std::shared_ptr<MAPIFolder> i, Plan p) : Faulty(std::move(i), std::move(p)) {}
    std::string EntryID() override { return call("MAPIFolder.EntryID", [](auto& o) { return o.EntryID(); }); }
    std::shared_ptr<outlook::Items> Items() override {
        return wrap<FItems>(call("MAPIFolder.Items", [](auto& o) { return o.Items(); }), plan);
    }
};

class FNameSpace final : public Faulty<NameSpace> {
public:
    FNameSpace(std::shared_ptr<NameSpace> i, Plan p) : Faulty(std::move(i), std::move(p)) {}
    std::shared_ptr<MAPIFolder> GetDefaultFolder(int t) override {
        return wrap<FFolder>(call("NameSpace.GetDefaultFolder", [&](auto& o) { return o.GetDefaultFolder(t); }), plan);
    }
};

class FApplication final : public Faulty<Application> {
public:
    FApplication(std::shared_ptr<Application> i, Plan p) : Faulty(std::move(i), std::move(p)) {}
    std::string Name() override { return call("Application.Name", [](auto& o) { return o.Name(); }); }
    std::string Version() override { return call("Application.Version", [](auto& o) { return o.Version(); }); }
    std::shared_ptr<NameSpace> GetNamespace(const std::string& t) override {
        return wrap<FNameSpace>(call("Application.GetNamespace", [&](auto& o) { return o.GetNamespace(t); }), plan);
    }
};

}  // namespace

void FaultPlan::failOn(const std::string& member, int nth, std::optional<Error> error) {
    Rule rule{nth <= 0 ? 0 : calls(member) + nth,
              error.value_or(Error(err::kCalendarWrite, "Injected failure of " + member + ".", kErrorSource))};
    rules_.insert_or_assign(member, std::move(rule));
}

int FaultPlan::calls(const std::string& member) const {
    const auto it = calls_.find(member);
    return it == calls_.end() ? 0 : it->second;
}

void FaultPlan::enter(const char* member) {
    const int n = ++calls_[member];
    const auto rule = rules_.find(member);
    if (rule == rules_.end()) return;
    if (rule->second.at == 0) throw rule->second.error;
    if (rule->second.at == n) {
        const Error error = rule->second.error;
        rules_.erase(rule);
        throw error;
    }
}

std::shared_ptr<Application> withFaults(std::shared_ptr<Application> inner, std::shared_ptr<FaultPlan> plan) {
    return wrap<FApplication>(std::move(inner), plan);
}

std::shared_ptr<Application> FaultyAutomation::CreateObject(const std::string& progId) {
    plan_->enter("Automation.CreateObject");
    return withFaults(inner_->CreateObject(progId), plan_);
}

}  // namespace wendra::outlook
