#include "tests/support/ScriptedOutlook.h"

#include "store/modFuncs.h"

namespace wendra::test {

bool ScriptedOutlook::OpenData() {
    ++opens;
    if (whileConnecting) whileConnecting();
    return connects;
}

bool ScriptedOutlook::Find(clsCalEvent& ev, int calendar, const std::string& rowKey, const std::string& entryId) {
    calls.push_back("Find " + gridKeyValue(rowKey, Tag::Desc) + " in " + std::to_string(calendar) + " as " + entryId);
    if (!found) return false;
    ev = item;
    return true;
}

bool ScriptedOutlook::findOccur(clsCalEvent&, DateTime when) {
    calls.push_back("findOccur");
    askedOccurrence = when;
    return occurrenceFound;
}

std::string ScriptedOutlook::getXID(const clsCalEvent& ev) {
    calls.push_back("getXID " + ev.Description());
    return xid;
}

bool ScriptedOutlook::Save(clsCalEvent& ev, const std::string& entryId) {
    calls.push_back("Save " + ev.Description() + " " + entryId + " stored as " + ev.WendraWinId());
    return saveAnswer;
}

bool ScriptedOutlook::displayAddForm(clsCalEvent& ev) {
    calls.push_back("displayAddForm");
    if (whileOpen) whileOpen();
    if (!formSaves) return false;
    ev = item;
    return true;
}

bool ScriptedOutlook::displayEditForm(clsCalEvent&, bool occurrence) {
    calls.push_back(occurrence ? "displayEditForm occurrence" : "displayEditForm series");
    if (whileOpen) whileOpen();
    return formSaves;
}

}  // namespace wendra::test
